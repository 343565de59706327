// The call wrapper of every routine object: parse, convert and check the arguments in the
// compiled order, call the library routine, write back and pack the results.
#include <complex>
#include <cstdint>
#include <cstring>
#include <type_traits>

#define NO_IMPORT_ARRAY
#define PY_ARRAY_UNIQUE_SYMBOL vorlen_ARRAY_API
#include <numpy/arrayobject.h>

#include "engine.hpp"

namespace vorlen::py {

// Every slot of the routine's arguments not given, without array or text, its value zero.
CallState::CallState(const Routine& rt) : r(rt) {
    static_assert(std::is_trivially_copyable_v<Slot>);
    std::memset(s, 0, r.args.size() * sizeof(Slot));
}

CallState::~CallState() {
    for (int k : r.arrays) Py_XDECREF(s[k].array);
}

namespace {

// Text storage of one call: a stack buffer, with the heap for long texts (each heap block
// starts with the link to the one allocated before it).
struct Texts {
    char buf[2048];
    size_t used = 0;
    void* heap = nullptr;
    char* get(size_t n) {
        if (used + n <= sizeof buf) {
            char* p = buf + used;
            used += n;
            return p;
        }
        if (n > PY_SSIZE_T_MAX - sizeof(void*)) return nullptr;
        void* block = PyMem_Malloc(sizeof(void*) + n);
        if (!block) return nullptr;
        std::memcpy(block, &heap, sizeof heap);
        heap = block;
        return static_cast<char*>(block) + sizeof(void*);
    }
    ~Texts() {
        while (heap) {
            void* next;
            std::memcpy(&next, heap, sizeof next);
            PyMem_Free(heap);
            heap = next;
        }
    }
};

}  // namespace

namespace {
// shape(a, dim): 1 beyond the rank, 0 for an array not (yet) there.
inline i64 extent_of(PyArrayObject* a, int dim) {
    return !a ? 0 : dim < PyArray_NDIM(a) ? PyArray_DIM(a, dim) : 1;
}

inline i64 operand(const Expr::Step& step, const CallState& st) {
    switch (step.op) {
    case Expr::num: return step.value;
    case Expr::arg: {
        const Slot& sl = st.s[step.value];
        const char t = st.r.args[step.value].type;
        return t == 'b' ? sl.v.b : t == 'i' ? sl.v.i : static_cast<i64>(sl.v.d);
    }
    case Expr::shape: return extent_of(st.s[step.value].array, step.dim);
    case Expr::size: {  // of a text: its length
        const Slot& sl = st.s[step.value];
        if (sl.array) return PyArray_SIZE(sl.array);
        return st.r.args[step.value].type == 's' ? sl.textlen : 0;
    }
    default: return 0;
    }
}
}  // namespace

// An expression of one step (most extents) without the call of eval.
inline i64 value(const Expr& x, const CallState& st, bool& ok) {
    return x.steps.size() == 1 ? operand(x.steps[0], st) : eval(x, st, ok);
}

namespace {
// Extent d of array argument a, as the call finds it.
inline i64 extent(const Arg& a, int d, const CallState& st) {
    const Extent& x = a.extents[d];
    if (x.how == Extent::fixed) return x.value;
    if (x.how == Extent::argument) return st.s[x.value].v.i;
    bool ok = true;
    return value(a.dims[d], st, ok);
}
}  // namespace

i64 eval(const Expr& x, const CallState& st, bool& ok) {
    if (x.steps.size() == 1) return operand(x.steps[0], st);
    i64 stack[32];
    int top = 0;
    for (const auto& step : x.steps) {
        if (top >= 30) {
            ok = false;
            return 0;
        }
        switch (step.op) {
        case Expr::num:
        case Expr::arg:
        case Expr::shape:
        case Expr::size: stack[top++] = operand(step, st); break;
        case Expr::neg: stack[top - 1] = -stack[top - 1]; break;
        case Expr::abs: stack[top - 1] = stack[top - 1] < 0 ? -stack[top - 1] : stack[top - 1]; break;
        default: {
            if (top < 2) {
                ok = false;
                return 0;
            }
            const i64 b = stack[--top], a = stack[top - 1];
            i64& out = stack[top - 1];
            switch (step.op) {
            case Expr::add: out = a + b; break;
            case Expr::sub: out = a - b; break;
            case Expr::mul: out = a * b; break;
            case Expr::div: out = b == 0 ? 0 : a / b; break;
            case Expr::eq: out = a == b; break;
            case Expr::ne: out = a != b; break;
            case Expr::lt: out = a < b; break;
            case Expr::le: out = a <= b; break;
            case Expr::gt: out = a > b; break;
            case Expr::ge: out = a >= b; break;
            case Expr::land: out = a && b; break;
            case Expr::lor: out = a || b; break;
            default: break;
            }
        }
        }
    }
    return top == 1 ? stack[0] : (ok = false, 0);
}

int numpy_type(char t) {
    switch (t) {
    case 'i': return NPY_INT32;
    case 'd': return NPY_FLOAT64;
    case 'D': return NPY_COMPLEX128;
    case 'c': return NPY_STRING;
    default: return NPY_INT8;
    }
}

// Element descriptor of an argument type (a new reference): single characters are 'S1'.
PyArray_Descr* element_descr(char t) {
    if (t != 'c') return PyArray_DescrFromType(numpy_type(t));
    PyArray_Descr* d = PyArray_DescrNewFromType(NPY_STRING);
    if (d) d->elsize = 1;
    return d;
}

namespace {

const char* type_name(char t) {
    switch (t) {
    case 'd': return "float64";
    case 'i': return "int32";
    case 'D': return "complex128";
    case 'c': return "S1";
    default: return "int8";
    }
}

// "1st", "2nd", "3rd", "4th", ... by the last digit only ("11st", "12nd").
std::string ordinal(int n) {
    const char* suffix[] = {"th", "st", "nd", "rd", "th", "th", "th", "th", "th", "th"};
    return std::to_string(n) + suffix[n % 10];
}

std::string position(const Arg& a) {
    return ordinal(a.ordinal) + (a.optional ? " keyword" : " argument");
}

}  // namespace

// Raises `msg` with the class of the pending exception (or `fallback`), the pending exception
// becoming its cause. A class that cannot be made from a message alone gives way to
// MemoryError when it is one (numpy's _ArrayMemoryError needs a shape and a type; `except
// MemoryError` must still catch the failure), else to _vorlen.error.
[[gnu::cold]] void raise_with_pending(PyObject* fallback, const std::string& msg) {
    PyObject *type, *value, *tb;
    PyErr_Fetch(&type, &value, &tb);
    if (!type) {
        PyErr_SetString(fallback, msg.c_str());
        return;
    }
    PyErr_NormalizeException(&type, &value, &tb);
    Py_XDECREF(tb);
    PyObject* text = PyUnicode_FromString(msg.c_str());
    PyObject* exc = text ? PyObject_CallOneArg(type, text) : nullptr;
    if (!exc || !PyExceptionInstance_Check(exc)) {
        PyErr_Clear();
        Py_XDECREF(exc);
        PyObject* cls =
            PyErr_GivenExceptionMatches(type, PyExc_MemoryError) ? PyExc_MemoryError : error_class;
        exc = text ? PyObject_CallOneArg(cls, text) : nullptr;
    }
    Py_XDECREF(text);
    Py_DECREF(type);
    if (!exc) {
        Py_XDECREF(value);
        return;
    }
    if (value) PyException_SetCause(exc, value);
    PyErr_SetObject(reinterpret_cast<PyObject*>(Py_TYPE(exc)), exc);
    Py_DECREF(exc);
}

namespace {

[[gnu::cold]] void scalar_error(const Routine& r, const Arg& a, const char* what,
                                PyObject* fallback) {
    raise_with_pending(fallback, r.qualname + "() " + position(a) + " (" + a.name +
                                     ") can't be converted to " + what);
}

std::string array_prefix(const Routine& r, const Arg& a) {
    std::string where = a.hidden ? "hidden `" + a.name + "`" : position(a) + " `" + a.name + "`";
    return "_vorlen." + r.qualname + ": failed to create array from the " + where;
}

bool is_text(PyObject* o) { return PyUnicode_Check(o) || PyBytes_Check(o); }

}  // namespace

// 32-bit integer by the scalar rules; depth bounds the descent into nested sequences. `range`
// tells a failed 32-bit range check (whose message stands) from a failed conversion.
bool to_int(PyObject* o, i32& out, bool& range, int depth) {
    if (PyLong_Check(o)) {
        int overflow;
        long long v = PyLong_AsLongLongAndOverflow(o, &overflow);
        if (overflow || v > INT32_MAX || v < INT32_MIN) {
            if (!PyErr_Occurred()) {
                PyErr_SetString(PyExc_OverflowError, "Python int too large to convert to C int");
                range = true;
            }
            return false;
        }
        out = static_cast<i32>(v);
        return !(v == -1 && PyErr_Occurred());
    }
    if (PyObject* l = PyNumber_Long(o)) {
        bool ok = to_int(l, out, range, depth);
        Py_DECREF(l);
        return ok;
    }
    if (depth > 8) return false;
    if (PyComplex_Check(o)) {
        PyErr_Clear();
        PyObject* re = PyFloat_FromDouble(PyComplex_RealAsDouble(o));
        bool ok = re && to_int(re, out, range, depth + 1);
        Py_XDECREF(re);
        return ok;
    }
    if (is_text(o) || !PySequence_Check(o)) return false;
    PyErr_Clear();
    PyObject* item = PySequence_GetItem(o, 0);
    if (!item) return false;
    bool ok = to_int(item, out, range, depth + 1);
    Py_DECREF(item);
    return ok;
}

bool to_double(PyObject* o, double& out, int depth) {
    if (PyFloat_Check(o)) {
        out = PyFloat_AS_DOUBLE(o);
        return true;
    }
    if (PyObject* f = PyNumber_Float(o)) {
        out = PyFloat_AS_DOUBLE(f);
        Py_DECREF(f);
        return true;
    }
    if (depth > 8) return false;
    if (PyComplex_Check(o)) {
        PyErr_Clear();
        out = PyComplex_RealAsDouble(o);
        return true;
    }
    if (is_text(o) || !PySequence_Check(o)) return false;
    PyErr_Clear();
    PyObject* item = PySequence_GetItem(o, 0);
    if (!item) return false;
    bool ok = to_double(item, out, depth + 1);
    Py_DECREF(item);
    return ok;
}

namespace {

bool to_complex(PyObject* o, std::complex<double>& out, int depth = 0) {
    if (PyComplex_Check(o) || PyArray_IsScalar(o, ComplexFloating)) {
        Py_complex c = PyComplex_AsCComplex(o);
        if (c.real == -1.0 && PyErr_Occurred()) return false;
        out = {c.real, c.imag};
        return true;
    }
    if (PyFloat_Check(o)) {
        out = {PyFloat_AS_DOUBLE(o), 0.0};
        return true;
    }
    if (PyLong_Check(o) || PyArray_IsScalar(o, Number) ||
        (PyArray_Check(o) && PyArray_NDIM(reinterpret_cast<PyArrayObject*>(o)) == 0)) {
        Py_complex c = PyComplex_AsCComplex(o);
        if (c.real == -1.0 && PyErr_Occurred()) return false;
        out = {c.real, c.imag};
        return true;
    }
    if (depth > 8 || is_text(o) || !PySequence_Check(o)) return false;
    PyObject* item = PySequence_GetItem(o, 0);
    if (!item) return false;
    bool ok = to_complex(item, out, depth + 1);
    Py_DECREF(item);
    return ok;
}

// Text by the text rules into `dst` of length n (n < 0: the text's own length, allocated).
bool to_text(PyObject* o, Texts& texts, Slot& sl, int n) {
    PyObject* bytes = nullptr;
    const char* src = "";
    Py_ssize_t len = 0;
    if (o == nullptr || o == Py_None) {
    } else if (PyBytes_Check(o)) {
        src = PyBytes_AS_STRING(o), len = PyBytes_GET_SIZE(o);
    } else if (PyUnicode_Check(o) && PyUnicode_READY(o) == 0 && PyUnicode_IS_ASCII(o)) {
        // its characters are its bytes: copied once, below
        src = static_cast<const char*>(PyUnicode_DATA(o)), len = PyUnicode_GET_LENGTH(o);
    } else if (PyUnicode_Check(o)) {
        bytes = PyUnicode_AsASCIIString(o);
        if (!bytes) return false;
        src = PyBytes_AS_STRING(bytes), len = PyBytes_GET_SIZE(bytes);
    } else if (PyArray_Check(o)) {
        PyArrayObject* a = reinterpret_cast<PyArrayObject*>(o);
        if (!PyArray_ISCONTIGUOUS(a) && !PyArray_ISFORTRAN(a)) {
            PyErr_SetString(PyExc_ValueError, "array object is non-contiguous.");
            return false;
        }
        src = static_cast<const char*>(PyArray_DATA(a));
        len = PyArray_NBYTES(a);
        len = static_cast<Py_ssize_t>(strnlen(src, len));
    } else {
        PyObject* str = PyObject_Str(o);
        if (!str) return false;
        bytes = PyUnicode_AsASCIIString(str);
        Py_DECREF(str);
        if (!bytes) return false;
        src = PyBytes_AS_STRING(bytes), len = PyBytes_GET_SIZE(bytes);
    }
    if (n < 0 && len > INT32_MAX) {
        Py_XDECREF(bytes);
        PyErr_SetString(PyExc_OverflowError, "object too large for a 32-bit int");
        return false;
    }
    const i64 size = n < 0 ? len : n;
    sl.text = texts.get(static_cast<size_t>(size) + 1);
    if (!sl.text) {
        Py_XDECREF(bytes);
        PyErr_SetString(PyExc_MemoryError, "out of memory");
        return false;
    }
    const i64 take = len < size ? len : size;
    std::memcpy(sl.text, src, static_cast<size_t>(take));
    std::memset(sl.text + take, ' ', static_cast<size_t>(size - take));
    for (i64 k = take - 1; k >= 0 && sl.text[k] == '\0'; --k) sl.text[k] = ' ';
    sl.text[size] = '\0';
    sl.textlen = size;
    Py_XDECREF(bytes);
    return true;
}

inline bool suitable(PyArrayObject* a, int typenum, bool writeable) {
    return PyArray_TYPE(a) == typenum && (typenum != NPY_STRING || PyArray_ITEMSIZE(a) == 1) &&
           PyArray_IS_F_CONTIGUOUS(a) && PyArray_ISALIGNED(a) && PyArray_ISNOTSWAPPED(a) &&
           (!writeable || PyArray_ISWRITEABLE(a));
}

// Fits an array to the declared rank: missing trailing extents become 1, extents of 1 beyond
// the rank are dropped. Returns a view (or the array itself); null with an error set.
PyArrayObject* fit_rank(PyArrayObject* a, int rank, const i64* want, const Routine* r,
                        const Arg* arg) {
    auto prefix = [&] { return r ? array_prefix(*r, *arg) : std::string("value"); };
    if (!PyArray_CheckExact(a)) {
        // A subclass (np.matrix) may keep its own idea of the shape through a reshape; its
        // plain view has the extents numpy gives its data.
        PyObject* v = PyArray_View(a, nullptr, &PyArray_Type);
        Py_DECREF(a);
        if (!v) return nullptr;
        a = reinterpret_cast<PyArrayObject*>(v);
    }
    const int nd = PyArray_NDIM(a);
    if (nd == rank) return a;
    npy_intp dims[NPY_MAXDIMS];
    int m = 0;
    if (nd < rank) {
        for (int d = 0; d < nd; ++d) dims[m++] = PyArray_DIM(a, d);
        for (int d = nd; d < rank; ++d) {
            if (want[d] > 1) {
                PyErr_Format(PyExc_ValueError, "%s -- %d-th dimension must be fixed to %ld but got 1",
                             prefix().c_str(), d, static_cast<long>(want[d]));
                Py_DECREF(a);
                return nullptr;
            }
            dims[m++] = 1;
        }
    } else {
        for (int d = 0; d < nd; ++d)
            if (PyArray_DIM(a, d) != 1) {
                if (m == rank) {
                    PyErr_Format(error_class, "%s -- rank-%d array expected, got %d dimensions",
                                 prefix().c_str(), rank, nd);
                    Py_DECREF(a);
                    return nullptr;
                }
                dims[m++] = PyArray_DIM(a, d);
            }
        while (m < rank) dims[m++] = 1;
    }
    PyArray_Dims shape{dims, rank};
    PyObject* v = PyArray_Newshape(a, &shape, NPY_FORTRANORDER);
    Py_DECREF(a);
    return reinterpret_cast<PyArrayObject*>(v);
}

[[gnu::cold]] void extent_differs(const Routine& r, const Arg& a, int dim, i64 want, i64 got) {
    PyErr_Format(PyExc_ValueError, "%s -- %d-th dimension must be fixed to %ld but got %ld",
                 array_prefix(r, a).c_str(), dim, static_cast<long>(want), static_cast<long>(got));
}

[[gnu::always_inline]] inline bool check_extents(PyArrayObject* a, int rank, const i64* want,
                                                const Routine& r, const Arg& arg) {
    for (int d = 0; d < rank; ++d)
        if (want[d] != free_extent && PyArray_DIM(a, d) != want[d]) [[unlikely]] {
            extent_differs(r, arg, d, want[d], PyArray_DIM(a, d));
            return false;
        }
    return true;
}

bool make_array(const Routine& r, const Arg& a, Slot& sl, int typenum, const i64* want,
                bool overwrite) {
    PyObject* o = sl.given;
    PyArrayObject* arr = nullptr;
    if (a.inout) {
        if (!PyArray_Check(o) || !suitable(reinterpret_cast<PyArrayObject*>(o), typenum, true)) {
            PyErr_Format(error_class,
                         "%s -- an in/out argument must be a writeable column-major contiguous "
                         "numpy array of type %s",
                         array_prefix(r, a).c_str(), type_name(a.type));
            return false;
        }
        Py_INCREF(o);
        arr = reinterpret_cast<PyArrayObject*>(o);
    } else if (PyArray_Check(o) &&
               // a routine argument may write into the inputs it is handed
               suitable(reinterpret_cast<PyArrayObject*>(o), typenum,
                        a.returned || !r.callbacks.empty()) &&
               (!a.returned || overwrite)) {
        Py_INCREF(o);
        arr = reinterpret_cast<PyArrayObject*>(o);
    } else {
        int flags = NPY_ARRAY_F_CONTIGUOUS | NPY_ARRAY_ALIGNED | NPY_ARRAY_FORCECAST |
                    NPY_ARRAY_ENSUREARRAY;
        if (a.returned) flags |= NPY_ARRAY_ENSURECOPY | NPY_ARRAY_WRITEABLE;
        else if (!r.callbacks.empty()) flags |= NPY_ARRAY_WRITEABLE;
        PyArray_Descr* descr = element_descr(a.type);
        arr = descr ? reinterpret_cast<PyArrayObject*>(
                          PyArray_FromAny(o, descr, 0, 0, flags, nullptr))
                    : nullptr;
        if (!arr) {
            raise_with_pending(error_class, array_prefix(r, a));
            return false;
        }
    }
    if (PyArray_NDIM(arr) != a.rank || !PyArray_CheckExact(arr)) {
        arr = fit_rank(arr, a.rank, want, &r, &a);
        if (!arr) return false;
    }
    sl.array = arr;
    return check_extents(arr, a.rank, want, r, a);
}

bool new_array(const CallState& st, const Arg& a, Slot& sl, PyArray_Descr* descr) {
    const Routine& r = st.r;
    npy_intp dims[NPY_MAXDIMS];
    size_t size = 1;  // wraps for extents numpy refuses, used only once the array exists
    for (int d = 0; d < a.rank; ++d) {
        const i64 n = extent(a, d, st);
        if (n < 0) {
            PyErr_Format(PyExc_ValueError, "%s -- extent %d is %s", array_prefix(r, a).c_str(), d,
                         n == free_extent ? "open" : "negative");
            return false;
        }
        dims[d] = n;
        size *= static_cast<size_t>(n);
    }
    Py_INCREF(descr);  // taken by the array; flags 1 without data: column-major
    sl.array = reinterpret_cast<PyArrayObject*>(
        PyArray_NewFromDescr(&PyArray_Type, descr, a.rank, dims, nullptr, nullptr, 1, nullptr));
    if (!sl.array) {
        raise_with_pending(error_class, array_prefix(r, a));
        return false;
    }
    // zeros, and blanks for characters as for a text
    std::memset(PyArray_DATA(sl.array), a.type == 'c' ? ' ' : 0,
                size * static_cast<size_t>(PyArray_ITEMSIZE(sl.array)));
    if (!a.dfltlist.empty()) {
        const npy_intp n = PyArray_SIZE(sl.array);
        const size_t nl = a.dfltlist.size();
        if (nl > 1 && static_cast<size_t>(n) != nl) {
            PyErr_Format(error_class, "Initialization of %s %s failed (initforcomb).",
                         ordinal(a.ordinal).c_str(), a.optional ? ("keyword " + a.name).c_str() : a.name.c_str());
            return false;
        }
        char* p = static_cast<char*>(PyArray_DATA(sl.array));
        for (npy_intp k = 0; k < n; ++k) {
            const double v = a.dfltlist[nl == 1 ? 0 : k];
            if (a.type == 'd') reinterpret_cast<double*>(p)[k] = v;
            else if (a.type == 'D') reinterpret_cast<std::complex<double>*>(p)[k] = v;
            else if (a.type == 'i') reinterpret_cast<i32*>(p)[k] = static_cast<i32>(v);
            else reinterpret_cast<lgl*>(p)[k] = v != 0;
        }
    }
    return true;
}

bool convert_scalar(const Routine& r, const Arg& a, Slot& sl, CallState& st, Texts& texts) {
    PyObject* o = sl.given;
    if (a.type == 's') {
        int len = a.textlen;
        if (len == -2) {
            bool ok = true;
            const i64 v = value(a.textexpr, st, ok);
            len = static_cast<int>(v < 0 ? 0 : v > INT32_MAX ? INT32_MAX : v);
        }
        if (a.hidden && !o) {
            if (!to_text(nullptr, texts, sl, len)) return false;
            return true;
        }
        if (to_text(o, texts, sl, len)) return true;
        if (PyErr_ExceptionMatches(PyExc_OverflowError) || PyErr_ExceptionMatches(PyExc_MemoryError) ||
            (PyErr_ExceptionMatches(PyExc_ValueError) && PyArray_Check(o)))
            return false;
        raise_with_pending(error_class, "string_from_pyobj failed in converting " +
                                            (a.hidden ? "hidden" : position(a)) + "`" + a.name +
                                            "' of " + r.qualname + " to C string");
        return false;
    }
    if (a.inout && PyArray_Check(o) && !PyArray_ISWRITEABLE(reinterpret_cast<PyArrayObject*>(o))) {
        // its new value is written back after the call
        PyErr_Format(PyExc_ValueError, "%s() %s (%s) is a read-only array", r.qualname.c_str(),
                     position(a).c_str(), a.name.c_str());
        return false;
    }
    if (!o) {  // default, or zero for a hidden output
        if (a.returned && a.hidden) return true;
        bool ok = true;
        if (a.type == 'd') sl.v.d = a.dfltlist[0];
        else if (a.type == 'D')
            sl.v.z() = {a.dfltlist[0], a.dfltlist.size() > 1 ? a.dfltlist[1] : 0.0};
        else {
            const i64 v = value(a.dflt, st, ok);
            if (a.type == 'b') sl.v.b = v != 0;
            else sl.v.i = static_cast<i32>(v);
        }
        return true;
    }
    switch (a.type) {
    case 'i': {
        bool range = false;
        if (to_int(o, sl.v.i, range)) return true;
        if (!range) scalar_error(r, a, "int", error_class);
        return false;
    }
    case 'd':
        if (to_double(o, sl.v.d)) return true;
        scalar_error(r, a, "double", error_class);
        return false;
    case 'D':
        if (to_complex(o, sl.v.z())) return true;
        scalar_error(r, a, "complex_double", PyExc_TypeError);
        return false;
    default: {
        const int t = PyObject_IsTrue(o);
        if (t < 0) return false;
        sl.v.b = static_cast<lgl>(t);
        return true;
    }
    }
}

[[gnu::cold]] void check_failed(const Routine& r, const Arg& a, const Slot& sl) {
    std::string msg = "(" + a.checktext + ") failed for " +
                      (a.hidden ? "hidden" : position(a)) + " " + a.name;
    if (a.optional && a.rank == 0) {
        std::string v = a.type == 'd' ? std::to_string(sl.v.d) : std::to_string(a.type == 'b' ? sl.v.b : sl.v.i);
        msg += ": " + r.name + ":" + a.name + "=" + v;
    }
    PyErr_SetString(error_class, msg.c_str());
}

// Runs the checks that follow a step: the declared checks, then the comparison of the extents
// left free while converting with their declared values, now known.
bool checks_after(const CallState& st, const Step& step, unsigned& check, unsigned& dimcheck) {
    const Routine& r = st.r;
    for (; check < step.checks_end; ++check) {
        const int c = r.checks[check].second;
        if (r.args[c].autocheck && !st.s[c].given) continue;
        bool ok = true;
        if (!value(r.args[c].check, st, ok)) {
            check_failed(r, r.args[c], st.s[c]);
            return false;
        }
    }
    for (; dimcheck < step.dimchecks_end; ++dimcheck) {
        const auto& dc = r.dimchecks[dimcheck];
        const Arg& x = r.args[dc.arg];
        PyArrayObject* arr = st.s[dc.arg].array;
        bool ok = true;
        const i64 w = value(x.dims[dc.dim], st, ok);
        if (PyArray_DIM(arr, dc.dim) != w) [[unlikely]] {  // a negative extent fits nothing
            extent_differs(r, x, dc.dim, w, PyArray_DIM(arr, dc.dim));
            return false;
        }
    }
    return true;
}

PyObject* result_of(const Arg& a, const Slot& sl) {
    if (a.rank > 0) {
        Py_INCREF(sl.array);
        return reinterpret_cast<PyObject*>(sl.array);
    }
    switch (a.type) {
    case 'i': return PyLong_FromLong(sl.v.i);
    case 'd': return PyFloat_FromDouble(sl.v.d);
    case 'D': return PyComplex_FromDoubles(sl.v.z().real(), sl.v.z().imag());
    case 'b': return PyLong_FromLong(sl.v.b != 0);
    default: {
        i64 n = strnlen(sl.text, static_cast<size_t>(sl.textlen));
        while (n > 0 && sl.text[n - 1] == ' ') --n;
        return PyBytes_FromStringAndSize(sl.text, n);
    }
    }
}

[[gnu::cold]] PyObject* too_many(const Routine& r, Py_ssize_t given) {
    PyErr_Format(PyExc_TypeError, "%s() takes at most %zd argument%s (%zd given)",
                 r.qualname.c_str(), r.callform.size(), r.callform.size() == 1 ? "" : "s", given);
    return nullptr;
}

// One flag per argument (the overwrite flags of a call).
using Flags = std::uint64_t;
static_assert(max_args <= 64);
inline bool has(Flags f, int k) { return (f >> k) & 1; }

// The result of argument k: an array given with its overwrite flag set and used as it was is
// handed back itself.
inline PyObject* returned(const CallState& st, Flags overwrite, int k) {
    const Arg& a = st.r.args[k];
    const Slot& sl = st.s[k];
    if (a.overwrite && has(overwrite, k) && sl.given && PyArray_Check(sl.given) &&
        PyArray_DATA(reinterpret_cast<PyArrayObject*>(sl.given)) == PyArray_DATA(sl.array)) {
        Py_INCREF(sl.given);
        return sl.given;
    }
    return result_of(a, sl);
}

[[gnu::cold]] PyObject* missing(const Routine& r, size_t p) {
    PyErr_Format(PyExc_TypeError, "%s() missing required argument '%s' (pos %zd)",
                 r.qualname.c_str(), r.args[r.callform[p]].name.c_str(), p + 1);
    return nullptr;
}

// Converts the arguments in the compiled order, calls the library routine, writes back and packs
// the results. `records` are the installed records of the routine arguments; null for a routine
// without any.
PyObject* run(CallState& st, Flags overwrite, CallbackRecord* records) {
    const Routine& r = st.r;
    Texts texts;
    unsigned next_check = 0, next_dimcheck = 0;
    for (const Step& step : r.plan) {
        const int k = step.arg;
        const Arg& a = r.args[k];
        Slot& sl = st.s[k];
        switch (step.kind) {
        case Step::routine: st.ptrs[k] = records[a.cbindex].routine; break;
        case Step::hidden_out: st.ptrs[k] = &sl.v; break;
        case Step::extent:
            if (!sl.given) {
                sl.v.i = static_cast<i32>(extent_of(st.s[step.src].array, step.dim));
                st.ptrs[k] = &sl.v;
                if (step.own_check_only) {  // its check compares it with its own default
                    next_check = step.checks_end;
                    continue;
                }
                break;
            }
            [[fallthrough]];
        case Step::scalar:
            if (!convert_scalar(r, a, sl, st, texts)) return nullptr;
            st.ptrs[k] = step.type == 's' ? static_cast<void*>(sl.text) : static_cast<void*>(&sl.v);
            if (step.absent && !sl.given) {
                bool ok = true;
                if (value(a.absent, st, ok)) st.ptrs[k] = nullptr;
            }
            break;
        case Step::array: {
            bool ok;
            if (sl.given) {
                i64 found[NPY_MAXDIMS];
                const i64* want = a.fixed.data();
                if (a.fixed.empty()) {
                    for (int d = 0; d < a.rank; ++d) found[d] = extent(a, d, st);
                    want = found;
                }
                ok = make_array(r, a, sl, step.typenum, want, has(overwrite, k));
            } else {
                ok = new_array(st, a, sl, step.descr);
            }
            if (!ok) return nullptr;
            st.ptrs[k] = PyArray_DATA(sl.array);
            break;
        }
        }
        if (step.checks && !checks_after(st, step, next_check, next_dimcheck)) return nullptr;
    }

    if (!records) {
        r.call(st.ptrs);
    } else {
        for (size_t c = 0; c < r.callbacks.size(); ++c) {
            bool ok = true;
            const Expr& x = r.callbacks[c].complex_if;
            records[c].complex = x.empty() || value(x, st, ok) != 0;
            if (!mode_fits(r, records[c])) return nullptr;
        }
        if (!invoke(r, st.ptrs)) return nullptr;
    }
    if (PyErr_Occurred()) return nullptr;

    for (size_t k = 0; r.writeback && k < r.args.size(); ++k) {
        const Arg& a = r.args[k];
        if (!(a.inout && a.rank == 0) || !PyArray_Check(st.s[k].given)) continue;
        PyArrayObject* arr = reinterpret_cast<PyArrayObject*>(st.s[k].given);
        if (PyArray_SIZE(arr) < 1) continue;
        PyObject* v = result_of(a, st.s[k]);
        if (!v) return nullptr;
        const int rc = PyArray_SETITEM(arr, static_cast<char*>(PyArray_DATA(arr)), v);
        Py_DECREF(v);
        if (rc < 0) return nullptr;
    }

    const size_t nres = r.results.size();
    if (nres == 0) Py_RETURN_NONE;
    if (nres == 1) return returned(st, overwrite, r.results[0]);
    PyObject* tuple = PyTuple_New(static_cast<Py_ssize_t>(nres));
    if (!tuple) return nullptr;
    for (size_t p = 0; p < nres; ++p) {
        PyObject* v = returned(st, overwrite, r.results[p]);
        if (!v) {
            Py_DECREF(tuple);
            return nullptr;
        }
        PyTuple_SET_ITEM(tuple, static_cast<Py_ssize_t>(p), v);
    }
    return tuple;
}

// A call of a routine with routine arguments: their records live in this frame only, so that the
// call of any other routine pays nothing for them.
[[gnu::noinline]] PyObject* run_with_callbacks(CallState& st, Flags overwrite,
                                               PyObject* const* extra) {
    const Routine& r = st.r;
    // Routine arguments first: their records are installed before anything else is converted.
    CallbackRecord records[max_callbacks];
    for (size_t c = 0; c < r.callbacks.size(); ++c)
        if (!prepare_callback(r, r.callbacks[c], st.s[r.callbacks[c].arg].given, extra[c],
                              records[c]))
            return nullptr;
    return run(st, overwrite, records);
}

}  // namespace

PyObject* call_routine(ModuleObject* self, PyObject* const* args, size_t nargsf, PyObject* kw) {
    const Routine& r = self->def->routines[self->def->routine_of[self->index]];
    const Py_ssize_t npos = PyVectorcall_NARGS(nargsf);
    const size_t nform = r.callform.size();
    if (static_cast<size_t>(npos) > nform) return too_many(r, npos);
    // Positional arguments are read in place; keywords are sorted into a copy.
    PyObject* const* given = args;
    size_t ngiven = static_cast<size_t>(npos);
    PyObject* sorted[max_args];
    if (!kw) {
        if (npos < r.nrequired) return missing(r, static_cast<size_t>(npos));
    } else {
        for (size_t p = 0; p < nform; ++p)
            sorted[p] = p < static_cast<size_t>(npos) ? args[p] : nullptr;
        given = sorted;
        ngiven = nform;
        const Py_ssize_t nkw = PyTuple_GET_SIZE(kw);
        for (Py_ssize_t k = 0; k < nkw; ++k) {
            PyObject* key = PyTuple_GET_ITEM(kw, k);
            size_t p = 0;
            while (p < nform && r.kwnames[p] != key) ++p;
            if (p == nform) {
                p = 0;
                while (p < nform && PyUnicode_Compare(r.kwnames[p], key) != 0) ++p;
            }
            if (p == nform) {
                PyErr_Format(PyExc_TypeError, "'%U' is an invalid keyword argument for %s()", key,
                             r.qualname.c_str());
                return nullptr;
            }
            if (sorted[p]) {
                PyErr_Format(PyExc_TypeError,
                             "argument for %s() given by name ('%U') and position (%zd)",
                             r.qualname.c_str(), key, p + 1);
                return nullptr;
            }
            sorted[p] = args[npos + k];
        }
    }
    CallState st(r);
    Flags overwrite = 0;
    PyObject* extra[max_callbacks] = {};
    for (size_t p = 0; p < ngiven; ++p) {
        const int c = r.callform[p];
        PyObject* o = given[p];
        if (is_extra(c)) {
            if (o && !PyTuple_Check(o)) {
                PyErr_Format(
                    PyExc_TypeError, "%s() argument %s_extra_args must be tuple, not %.50s",
                    r.qualname.c_str(), r.args[r.callbacks[extra_callback(c)].arg].name.c_str(),
                    Py_TYPE(o)->tp_name);
                return nullptr;
            }
            extra[extra_callback(c)] = o;
        } else if (c >= 0) {
            if (!o && static_cast<int>(p) < r.nrequired) return missing(r, p);
            st.s[c].given = (o == Py_None && r.args[c].optional) ? nullptr : o;
        } else if (o) {
            if (!PyLong_Check(o)) {
                PyErr_Format(PyExc_TypeError, "%s() argument overwrite_%s must be int, not %.50s",
                             r.qualname.c_str(), r.args[overwrite_arg(c)].name.c_str(),
                             Py_TYPE(o)->tp_name);
                return nullptr;
            }
            const long v = PyLong_AsLong(o);
            if (v == -1 && PyErr_Occurred()) return nullptr;
            if (v != 0) overwrite |= Flags{1} << overwrite_arg(c);
        }
    }
    return r.callbacks.empty() ? run(st, overwrite, nullptr)
                               : run_with_callbacks(st, overwrite, extra);
}

PyObject* convert_for_assignment(PyObject* value, int typenum, int rank) {
    PyArrayObject* arr = reinterpret_cast<PyArrayObject*>(PyArray_FromAny(
        value, PyArray_DescrFromType(typenum), 0, 0,
        NPY_ARRAY_F_CONTIGUOUS | NPY_ARRAY_ALIGNED | NPY_ARRAY_FORCECAST | NPY_ARRAY_ENSUREARRAY,
        nullptr));
    if (!arr) return nullptr;
    i64 want[NPY_MAXDIMS];
    for (int d = 0; d < rank; ++d) want[d] = free_extent;
    return reinterpret_cast<PyObject*>(fit_rank(arr, rank, want, nullptr, nullptr));
}

}  // namespace vorlen::py
