// Import of _vorlen: the module objects with their entry tables, and reading, assigning and
// releasing module variables.
#include <algorithm>
#include <cstring>
#include <memory>

#define PY_ARRAY_UNIQUE_SYMBOL vorlen_ARRAY_API
#include <numpy/arrayobject.h>

#include "engine.hpp"

namespace vorlen::py {

PyObject* error_class = nullptr;

namespace {

// Library modules in the order of the module docstring.
constexpr const char* module_names[] = {
    "types", "jobdata", "debugdata", "materialdata", "sectiondata", "nodaldata", "elementdata",
    "impactdata", "loaddata", "damagedata", "bukdata", "shokriehdata", "datahandling",
    "errorhandling", "boxbeamio", "utility", "math", "signalprocessing", "imageprocessing",
    "stringhandling", "listhandling", "permcollection", "interaction", "nlcollection",
    "isscollection", "micromechanic", "lamina", "laminate", "resin", "elasticity", "truss3",
    "tria6", "quad4", "quad8", "hex8", "elementhandling", "sublaminate", "gpcollection",
    "fbcollection", "mccollection", "delcollection", "cccollection", "damage", "evocollection",
    "fracture", "dic", "degradation", "dg8", "delisio", "iohandling", "fatigue", "prony",
    "wrapper", "toplevel"};

struct FragmentRecord {
    const char* module;
    int key;
    size_t seq;
    std::vector<Entry> entries;
};

std::vector<FragmentRecord>& registry() {
    static std::vector<FragmentRecord> r;
    return r;
}

}  // namespace

Fragment::Fragment(const char* module, int key, std::vector<Entry> entries) {
    auto& r = registry();
    r.push_back({module, key, r.size(), std::move(entries)});
}

namespace {
// The module definitions built at import, whose compiled routines the capsules are checked by.
std::vector<const ModuleDef*>& built() {
    static std::vector<const ModuleDef*> defs;
    return defs;
}
}  // namespace

const Routine* bound_routine(const void* address) {
    for (const ModuleDef* def : built())
        for (const Routine& r : def->routines)
            if (r.address == address) return &r;
    return nullptr;
}

namespace {

ModuleDef* build_def(const char* name) {
    auto def = std::make_unique<ModuleDef>();
    def->name = name;
    std::vector<const FragmentRecord*> frags;
    for (const auto& f : registry())
        if (std::strcmp(f.module, name) == 0) frags.push_back(&f);
    std::sort(frags.begin(), frags.end(), [](auto* a, auto* b) {
        return a->key != b->key ? a->key < b->key : a->seq < b->seq;
    });
    for (auto* f : frags)
        for (const Entry& e : f->entries) def->entries.push_back(&e);
    for (const Entry* e : def->entries) {
        def->vars.push_back({e, {-1, -1, -1, -1, -1, -1, -1, -1}});
        if (e->kind == EntryKind::routine) {
            def->routine_of.push_back(static_cast<int>(def->routines.size()));
            def->routines.emplace_back();
            if (!compile(*e, name, def->routines.back())) return nullptr;
        } else {
            def->routine_of.push_back(-1);
        }
    }
    built().push_back(def.get());
    return def.release();
}

// An attribute name as Python holds it: its length counts, so a name with a NUL character is
// none of the names below (nor the part before the NUL).
struct Name {
    const char* text;
    Py_ssize_t len;
    bool is(const char* s) const {
        return std::strlen(s) == static_cast<size_t>(len) && std::memcmp(s, text, len) == 0;
    }
};

bool name_of(PyObject* name, Name& out) {
    out.text = PyUnicode_AsUTF8AndSize(name, &out.len);
    return out.text != nullptr;
}

int find_entry(const ModuleDef* def, const Name& name) {
    for (size_t k = 0; k < def->entries.size(); ++k)
        if (name.is(def->entries[k]->name)) return static_cast<int>(k);
    return -1;
}

void release_block(PyObject* capsule) {
    block::release(static_cast<Block*>(PyCapsule_GetPointer(capsule, "vorlen.block")));
}

PyObject* scalar_array(const Entry& e) {
    int flags = e.kind == EntryKind::constant ? NPY_ARRAY_FARRAY_RO : NPY_ARRAY_FARRAY;
    const int type = e.kind == EntryKind::text ? NPY_STRING : numpy_type(e.type);
    const int itemsize = e.kind == EntryKind::text ? e.textlen : 0;
    return PyArray_New(&PyArray_Type, 0, nullptr, type, nullptr, e.storage, itemsize, flags, nullptr);
}

// Reads an allocatable array: asks its extent routine and views its storage, or None.
PyObject* read_array(VarState& v) {
    const Entry& e = *v.entry;
    for (auto& x : v.ext) x = -1;
    Block* blk = nullptr;
    void* data = e.extent(e.storage, v.ext, &blk);
    if (!data) {
        for (auto& x : v.ext) x = -1;
        Py_RETURN_NONE;
    }
    return array_view(e, v.ext, data, blk);
}

int assign_array(VarState& v, PyObject* value) {
    const Entry& e = *v.entry;
    Block* blk = nullptr;
    if (value == Py_None) {
        e.release(e.storage);
        for (auto& x : v.ext) x = -1;
        return 0;
    }
    auto* arr = reinterpret_cast<PyArrayObject*>(
        convert_for_assignment(value, numpy_type(e.type), e.rank));
    if (!arr) return -1;
    i64 s[8];
    for (int d = 0; d < e.rank; ++d) s[d] = PyArray_DIM(arr, d);
    void* data = e.extent(e.storage, s, &blk);
    if (data) std::memcpy(data, PyArray_DATA(arr), static_cast<size_t>(PyArray_NBYTES(arr)));
    else for (auto& x : v.ext) x = -1;
    Py_DECREF(arr);
    return 0;
}

int assign_scalar(const Entry& e, PyObject* value) {
    PyArrayObject* arr = reinterpret_cast<PyArrayObject*>(PyArray_FromAny(
        value, PyArray_DescrFromType(numpy_type(e.type)), 0, 0,
        NPY_ARRAY_CARRAY_RO | NPY_ARRAY_FORCECAST, nullptr));
    if (!arr) return -1;
    if (PyArray_SIZE(arr) != 1) {
        PyErr_Format(error_class, "%s takes one value, got %zd", e.name,
                     static_cast<Py_ssize_t>(PyArray_SIZE(arr)));
        Py_DECREF(arr);
        return -1;
    }
    std::memcpy(e.storage, PyArray_DATA(arr), e.type == 'd' ? sizeof(double) : sizeof(i32));
    Py_DECREF(arr);
    return 0;
}

int assign_text(const Entry& e, PyObject* value) {
    PyObject* bytes = nullptr;
    if (PyUnicode_Check(value)) {
        bytes = PyUnicode_AsASCIIString(value);
        if (!bytes) return -1;
    } else {
        bytes = PyBytes_FromObject(value);
        if (!bytes) return -1;
    }
    const Py_ssize_t n = std::min<Py_ssize_t>(PyBytes_GET_SIZE(bytes), e.textlen);
    char* dst = static_cast<char*>(e.storage);
    std::memcpy(dst, PyBytes_AS_STRING(bytes), static_cast<size_t>(n));
    std::memset(dst + n, ' ', static_cast<size_t>(e.textlen - n));
    Py_DECREF(bytes);
    return 0;
}

std::string listing(ModuleDef* def) {
    std::string s;
    for (size_t k = 0; k < def->entries.size(); ++k) {
        const Entry& e = *def->entries[k];
        if (e.kind == EntryKind::routine) {
            s += def->routines[def->routine_of[k]].doc + "\n";
            continue;
        }
        s += std::string(e.name) + " : '" + e.type + "'-";
        if (e.kind != EntryKind::array) {
            s += "scalar\n";
            continue;
        }
        s += "array(";
        for (int d = 0; d < e.rank; ++d) s += (d ? "," : "") + std::to_string(def->vars[k].ext[d]);
        s += ")";
        if (def->vars[k].ext[0] < 0) s += ", not allocated";
        s += "\n";
    }
    return s;
}

PyObject* get_attribute(PyObject* op, PyObject* name) {
    auto* self = reinterpret_cast<ModuleObject*>(op);
    if (PyObject* v = PyDict_GetItemWithError(self->dict, name)) {
        Py_INCREF(v);
        return v;
    }
    if (PyErr_Occurred()) return nullptr;
    Name n;
    if (!name_of(name, n)) return nullptr;
    if (self->index < 0) {
        const int k = find_entry(self->def, n);
        if (k >= 0 && self->def->entries[k]->kind == EntryKind::array)
            return read_array(self->def->vars[k]);
    }
    if (n.is("__dict__")) {
        Py_INCREF(self->dict);
        return self->dict;
    }
    if (n.is("__doc__") && self->index < 0) {
        PyObject* doc = PyUnicode_FromString(listing(self->def).c_str());
        if (!doc || PyDict_SetItem(self->dict, name, doc) < 0) return nullptr;
        return doc;
    }
    if (n.is("_cpointer") && self->index >= 0) {
        const Entry& e = *self->def->entries[self->index];
        PyObject* cap = PyCapsule_New(e.address, nullptr, nullptr);
        if (!cap || PyDict_SetItem(self->dict, name, cap) < 0) return nullptr;
        return cap;
    }
    return PyObject_GenericGetAttr(op, name);
}

int set_attribute(PyObject* op, PyObject* name, PyObject* value) {
    auto* self = reinterpret_cast<ModuleObject*>(op);
    Name nm;
    if (!name_of(name, nm)) return -1;
    const int k = self->index < 0 ? find_entry(self->def, nm) : -1;
    if (k >= 0) {
        const Entry& e = *self->def->entries[k];
        const char* n = e.name;
        if (!value) {
            PyErr_Format(PyExc_AttributeError, "cannot delete %s of %s", n, self->def->name.c_str());
            return -1;
        }
        switch (e.kind) {
        case EntryKind::routine:
            PyErr_Format(PyExc_AttributeError, "routine %s of %s cannot be overwritten", n,
                         self->def->name.c_str());
            return -1;
        case EntryKind::constant:
            PyErr_Format(PyExc_AttributeError, "%s of %s is a constant", n, self->def->name.c_str());
            return -1;
        case EntryKind::array: return assign_array(self->def->vars[k], value);
        case EntryKind::scalar: return assign_scalar(e, value);
        case EntryKind::text: return assign_text(e, value);
        }
    }
    if (!value) {
        if (PyDict_DelItem(self->dict, name) == 0) return 0;
        if (PyErr_ExceptionMatches(PyExc_KeyError)) {
            PyErr_Clear();
            PyErr_Format(PyExc_AttributeError, "%s has no attribute %R", self->def->name.c_str(),
                         name);
        }
        return -1;
    }
    return PyDict_SetItem(self->dict, name, value);
}

PyObject* getattro(PyObject* op, PyObject* name) {
    return guarded<PyObject*>(nullptr, [&] { return get_attribute(op, name); });
}

int setattro(PyObject* op, PyObject* name, PyObject* value) {
    return guarded(-1, [&] { return set_attribute(op, name, value); });
}

PyObject* vectorcall(PyObject* op, PyObject* const* args, size_t nargsf, PyObject* kw) {
    auto* self = reinterpret_cast<ModuleObject*>(op);
    if (self->index < 0) {
        PyErr_Format(PyExc_TypeError, "module %s is not callable", self->def->name.c_str());
        return nullptr;
    }
    return guarded<PyObject*>(nullptr, [&] { return call_routine(self, args, nargsf, kw); });
}

void dealloc(PyObject* op) {
    auto* self = reinterpret_cast<ModuleObject*>(op);
    Py_XDECREF(self->dict);
    PyObject_Free(op);
}

PyObject* repr(PyObject* op) {
    auto* self = reinterpret_cast<ModuleObject*>(op);
    if (self->index >= 0)
        return PyUnicode_FromFormat("<_vorlen routine %s.%s>", self->def->name.c_str(),
                                    self->def->entries[self->index]->name);
    return PyUnicode_FromFormat("<_vorlen module %s>", self->def->name.c_str());
}

ModuleObject* new_object(ModuleDef* def, int index) {
    auto* self = PyObject_New(ModuleObject, &ModuleType);
    if (!self) return nullptr;
    self->def = def;
    self->index = index;
    self->vectorcall = vectorcall;
    self->dict = PyDict_New();
    if (!self->dict) {
        Py_DECREF(self);
        return nullptr;
    }
    return self;
}

PyObject* build_module_object(const char* name) {
    ModuleDef* def = build_def(name);
    if (!def) return nullptr;
    ModuleObject* mod = new_object(def, -1);
    if (!mod) return nullptr;
    for (size_t k = 0; k < def->entries.size(); ++k) {
        const Entry& e = *def->entries[k];
        PyObject* value = nullptr;
        if (e.kind == EntryKind::routine) {
            ModuleObject* r = new_object(def, static_cast<int>(k));
            if (!r) return nullptr;
            PyObject* nm = PyUnicode_FromFormat("function %s", e.name);
            PyObject* doc = PyUnicode_FromString(def->routines[def->routine_of[k]].doc.c_str());
            if (!nm || !doc || PyDict_SetItemString(r->dict, "__name__", nm) < 0 ||
                PyDict_SetItemString(r->dict, "__doc__", doc) < 0)
                return nullptr;
            Py_DECREF(nm);
            Py_DECREF(doc);
            value = reinterpret_cast<PyObject*>(r);
        } else if (e.kind != EntryKind::array) {
            value = scalar_array(e);
        } else {
            continue;
        }
        if (!value || PyDict_SetItemString(mod->dict, e.name, value) < 0) return nullptr;
        Py_DECREF(value);
    }
    return reinterpret_cast<PyObject*>(mod);
}

std::string module_doc(const std::vector<ModuleObject*>& mods) {
    std::string s = "This module '_vorlen' is the composite mechanics library, version 1.26.4.\n"
                    "Functions:\n"
                    "Library modules and their members:\n";
    for (auto* m : mods) {
        s += "  " + m->def->name + " --- ";
        for (size_t k = 0; k < m->def->entries.size(); ++k) {
            s += (k ? "," : "") + std::string(m->def->entries[k]->name);
            if (m->def->entries[k]->kind == EntryKind::routine) s += "()";
        }
    }
    return s + ".";
}

}  // namespace

PyObject* array_view(const Entry& e, i64* ext, void* data, Block* blk) {
    npy_intp dims[8];
    for (int d = 0; d < e.rank; ++d) dims[d] = ext[d];
    PyObject* arr = PyArray_New(&PyArray_Type, e.rank, dims, numpy_type(e.type), nullptr, data, 0,
                                NPY_ARRAY_FARRAY, nullptr);
    if (!arr) return nullptr;
    block::retain(blk);
    PyObject* owner = PyCapsule_New(blk, "vorlen.block", release_block);
    if (!owner) {
        block::release(blk);
        Py_DECREF(arr);
        return nullptr;
    }
    if (PyArray_SetBaseObject(reinterpret_cast<PyArrayObject*>(arr), owner) < 0) {
        Py_DECREF(arr);
        return nullptr;
    }
    return arr;
}

PyTypeObject ModuleType = [] {
    PyTypeObject t;
    std::memset(&t, 0, sizeof t);
    Py_SET_REFCNT(&t, 1);
    t.tp_name = "_vorlen.module";
    t.tp_basicsize = sizeof(ModuleObject);
    t.tp_dealloc = dealloc;
    t.tp_vectorcall_offset = offsetof(ModuleObject, vectorcall);
    t.tp_repr = repr;
    t.tp_call = PyVectorcall_Call;
    t.tp_getattro = getattro;
    t.tp_setattro = setattro;
    t.tp_flags = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_HAVE_VECTORCALL;
    t.tp_doc = "A library module of _vorlen, or one of its routines.";
    return t;
}();

}  // namespace vorlen::py

namespace {
PyModuleDef vorlen_module = {PyModuleDef_HEAD_INIT, "_vorlen", nullptr, -1, nullptr,
                             nullptr, nullptr, nullptr, nullptr};  // no per-interpreter state
}

namespace {
PyObject* build_vorlen() {
    using namespace vorlen::py;
    PyObject* m = PyModule_Create(&vorlen_module);
    if (!m) return nullptr;
    import_array();
    if (PyType_Ready(&ModuleType) < 0) return nullptr;
    std::vector<ModuleObject*> mods;
    for (const char* name : module_names) {
        PyObject* o = build_module_object(name);
        if (!o) {
            Py_DECREF(m);
            return nullptr;
        }
        mods.push_back(reinterpret_cast<ModuleObject*>(o));
    }
    PyObject* doc = PyUnicode_FromString(module_doc(mods).c_str());
    if (PyModule_AddStringConstant(m, "__version__", "1.26.4") < 0 ||
        PyModule_AddObject(m, "__doc__", doc) < 0 ||
        PyModule_AddStringConstant(m, "__numpy_version__", "1.26.4") < 0)
        return nullptr;
    error_class = PyErr_NewException("_vorlen.error", nullptr, nullptr);
    if (!error_class || PyModule_AddObjectRef(m, "__vorlen_error", error_class) < 0) return nullptr;
    for (auto it = mods.rbegin(); it != mods.rend(); ++it)
        if (PyModule_AddObject(m, (*it)->def->name.c_str(), reinterpret_cast<PyObject*>(*it)) < 0)
            return nullptr;
    return m;
}
}  // namespace

PyMODINIT_FUNC PyInit__vorlen(void) {
    return vorlen::py::guarded<PyObject*>(nullptr, build_vorlen);
}
