// Routine arguments from Python: the argument list of a callable, its per-call record in the
// trampoline's per-thread slot, the trampolines' conversions, and the unwinding on failure.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <optional>

#define NO_IMPORT_ARRAY
#define PY_ARRAY_UNIQUE_SYMBOL vorlen_ARRAY_API
#include <numpy/arrayobject.h>

#include "engine.hpp"

namespace vorlen::py {

namespace {

// Thrown by a failing trampoline, caught by the call wrapper: the library routines between are
// left at once, releasing their work arrays on the way. Nothing else throws it.
struct CallbackFailed {};

[[gnu::cold]] bool arglist_failed(const Routine& r, const Callback& cb) {
    if (!PyErr_Occurred())
        PyErr_Format(error_class, "failed in processing argument list for call-back %s.",
                     r.args[cb.arg].name.c_str());
    return false;
}

// An attribute, or null (never an error) when it cannot be had.
PyObject* attribute(PyObject* o, const char* name) {
    PyObject* v = PyObject_GetAttrString(o, name);
    if (!v) PyErr_Clear();
    return v;
}

// Parameters of a callable: tot positional ones, opt of them with defaults. Functions count
// their positional parameters, bound methods and other objects with such code one less for the
// bound instance; anything else takes `fallback`. False for an object that cannot be called.
bool parameters(PyObject* fun, Py_ssize_t fallback, Py_ssize_t& tot, Py_ssize_t& opt) {
    if (!PyCallable_Check(fun)) return false;
    // Functions and their bound methods directly (the usual case), everything else by attributes.
    PyObject* f = PyMethod_Check(fun) ? PyMethod_GET_FUNCTION(fun) : fun;
    if (PyFunction_Check(f)) {
        PyObject* d = PyFunction_GET_DEFAULTS(f);
        tot = reinterpret_cast<PyCodeObject*>(PyFunction_GET_CODE(f))->co_argcount -
              (f == fun ? 0 : 1);
        opt = d && PyTuple_Check(d) ? PyTuple_GET_SIZE(d) : 0;
        return true;
    }
    const Py_ssize_t di = PyCFunction_Check(fun) ? 0 : 1;
    tot = fallback, opt = 0;
    if (PyObject* code = attribute(fun, "__code__")) {
        if (PyObject* n = attribute(code, "co_argcount")) {
            if (PyLong_Check(n)) tot = PyLong_AsSsize_t(n) - di;
            Py_DECREF(n);
        }
        Py_DECREF(code);
    }
    if (PyObject* d = attribute(fun, "__defaults__")) {
        if (PyTuple_Check(d)) opt = PyTuple_GET_SIZE(d);
        Py_DECREF(d);
    }
    return !PyErr_Occurred();
}

bool same_steps(const Expr& a, const Expr& b) {
    return std::equal(a.steps.begin(), a.steps.end(), b.steps.begin(), b.steps.end(),
                      [](const Expr::Step& x, const Expr::Step& y) {
                          return x.op == y.op && x.value == y.value && x.dim == y.dim;
                      });
}

// A capsule must hold a bound routine whose argument list is the routine argument's, down to
// the extents of its arrays, which the routine reads and writes directly: a routine with the
// same parameter types but other extents would run past the storage the library hands it.
// Items of type D take a real or a complex routine, which `complex` tells (1 complex, 0 real,
// -1 no such items); whether the call hands it the numbers it reads is known only once the
// arguments are converted (mode_fits). A routine with real and complex such items fits no call.
bool fits(const void* address, const Callback& cb, signed char& complex) {
    const Routine* r = bound_routine(address);
    const Routine& form = *cb.form;
    if (!r || r->returns || r->args.size() != form.args.size()) return false;
    complex = -1;
    for (size_t k = 0; k < form.args.size(); ++k) {
        const Arg &w = form.args[k], &h = r->args[k];
        if (w.type == 'D' && (h.type == 'd' || h.type == 'D')) {
            const signed char c = h.type == 'D';
            if (complex >= 0 && complex != c) return false;
            complex = c;
        } else if (w.type != h.type) {
            return false;
        }
        if (w.rank != h.rank || w.textlen != h.textlen || !same_steps(w.textexpr, h.textexpr))
            return false;
        for (int d = 0; d < w.rank; ++d)
            if (w.dims[d].empty() || !same_steps(w.dims[d], h.dims[d])) return false;
    }
    return true;
}

// Calls of routines with a Python callable nested on this thread. Each level holds a few
// kilobytes of C stack (more under the sanitizers) besides Python's frames, so the nesting is
// bounded well before the stack is, also in threads with smaller stacks.
thread_local int nesting = 0;
constexpr int max_nesting = 100;

}  // namespace

bool prepare_callback(const Routine& r, const Callback& cb, PyObject* fun, PyObject* extra,
                      CallbackRecord& rec) {
    const Py_ssize_t ext = extra ? PyTuple_GET_SIZE(extra) : 0;
    const Py_ssize_t maxnofargs = static_cast<Py_ssize_t>(cb.form->callform.size());
    rec.cb = &cb;
    if (PyCapsule_CheckExact(fun)) {
        if (ext > 0) {
            std::fputs("extra arguments tuple cannot be used with PyCapsule call-back\n", stderr);
            return arglist_failed(r, cb);
        }
        void* address = PyCapsule_GetPointer(fun, PyCapsule_GetName(fun));
        if (!address) return arglist_failed(r, cb);
        if (!fits(address, cb, rec.capsule_complex)) {
            std::fprintf(stderr,
                         "The capsule given for %s holds no routine with its argument list.\n",
                         r.args[cb.arg].name.c_str());
            return arglist_failed(r, cb);
        }
        rec.routine = address;
        return true;
    }
    if (nesting >= max_nesting) {
        PyErr_Format(PyExc_RecursionError,
                     "maximum depth of %d nested routine calls from call-backs exceeded",
                     max_nesting);
        return false;
    }
    Py_ssize_t tot, opt;
    if (!parameters(fun, maxnofargs + ext, tot, opt)) {
        if (!PyErr_Occurred())
            std::fprintf(stderr,
                         "Call-back argument must be a callable or a routine capsule but got %s.\n",
                         Py_TYPE(fun)->tp_name);
        return arglist_failed(r, cb);
    }
    Py_ssize_t siz = std::min(maxnofargs + ext, tot);
    if (siz < tot - opt) {
        std::fprintf(stderr,
                     "create_cb_arglist: Failed to build argument list (siz) with enough arguments "
                     "(tot-opt) required by user-supplied function (siz,tot,opt=%zd, %zd, %zd).\n",
                     siz, tot, opt);
        return arglist_failed(r, cb);
    }
    siz = std::max<Py_ssize_t>(siz, 0);
    rec.nofargs = std::max<Py_ssize_t>(0, siz - ext);
    rec.siz = siz;
    rec.args = PyTuple_New(siz);
    if (!rec.args) return arglist_failed(r, cb);
    for (Py_ssize_t q = 0; q < siz; ++q) {
        PyObject* v = q < rec.nofargs ? Py_None : PyTuple_GET_ITEM(extra, q - rec.nofargs);
        Py_INCREF(v);
        PyTuple_SET_ITEM(rec.args, q, v);
    }
    rec.callable = fun;
    rec.routine = cb.hook->trampoline;
    rec.slot = cb.hook->slot();
    rec.saved = *rec.slot;
    *rec.slot = &rec;
    ++nesting;
    return true;
}

CallbackRecord::~CallbackRecord() {
    if (slot) *slot = saved, --nesting;
    Py_XDECREF(args);
}

namespace {

// "complex numbers" or "doubles", for the items of type D.
const char* kind(bool complex) { return complex ? "complex numbers" : "doubles"; }

[[gnu::cold]] bool other_kind(const Routine& r, const CallbackRecord& rec) {
    const Expr& when = rec.cb->complex_if;
    const std::string mode = when.empty() ? "" : " (complex numbers where " + when.text + ")";
    PyErr_Format(
        PyExc_TypeError,
        "%s() argument %s: the capsule holds a routine of %s, but this call passes it %s%s",
        r.qualname.c_str(), r.args[rec.cb->arg].name.c_str(), kind(rec.capsule_complex == 1),
        kind(rec.complex), mode.c_str());
    return false;
}

}  // namespace

bool mode_fits(const Routine& r, const CallbackRecord& rec) {
    return rec.capsule_complex < 0 || (rec.capsule_complex == 1) == rec.complex ||
           other_kind(r, rec);
}

bool invoke(const Routine& r, void* const* ptrs) {
    try {
        r.call(ptrs);
    } catch (const CallbackFailed&) {
        return false;
    }
    return true;
}

namespace {

// Bytes of one element of an item as the callable sees it, and as the library holds it.
size_t shown_size(char t) { return t == 'D' ? 16 : t == 'd' ? 8 : t == 'i' ? 4 : 1; }

// The array of a form item for the callable: the tuple's array from the last evaluation when
// nobody else holds it, else a new one; filled from the library's storage.
PyObject* array_item(PyObject* old, const Arg& a, const npy_intp* dims, const void* src,
                     bool real) {
    const int type = numpy_type(a.type);
    auto* o = reinterpret_cast<PyArrayObject*>(old);
    const bool reuse = PyArray_CheckExact(old) && Py_REFCNT(old) == 1 &&
                       PyArray_NDIM(o) == a.rank && PyArray_TYPE(o) == type &&
                       PyArray_IS_F_CONTIGUOUS(o) && PyArray_ISWRITEABLE(o) &&
                       std::equal(dims, dims + a.rank, PyArray_DIMS(o));
    PyObject* arr = old;
    if (reuse) {
        Py_INCREF(arr);
    } else {
        arr = PyArray_New(&PyArray_Type, a.rank, const_cast<npy_intp*>(dims), type, nullptr,
                          nullptr, 0, 1, nullptr);
        if (!arr) return nullptr;
    }
    auto* dst = static_cast<char*>(PyArray_DATA(reinterpret_cast<PyArrayObject*>(arr)));
    const npy_intp n = PyArray_SIZE(reinterpret_cast<PyArrayObject*>(arr));
    if (real) {  // doubles shown as complex numbers
        auto* z = reinterpret_cast<std::complex<double>*>(dst);
        for (npy_intp k = 0; k < n; ++k) z[k] = static_cast<const double*>(src)[k];
    } else {
        std::memcpy(dst, src, static_cast<size_t>(n) * shown_size(a.type));
    }
    return arr;
}

// Copies what the callable changed in an array item back to the library's storage.
void copy_back(PyObject* obj, const Arg& a, void* dst, npy_intp n, bool real) {
    auto* arr = reinterpret_cast<PyArrayObject*>(obj);
    if (PyArray_NBYTES(arr) != n * static_cast<npy_intp>(shown_size(a.type))) return;
    const char* src = static_cast<const char*>(PyArray_DATA(arr));
    if (real) {
        auto* z = reinterpret_cast<const std::complex<double>*>(src);
        auto* d = static_cast<double*>(dst);
        for (npy_intp k = 0; k < n; ++k) {
            const double re = z[k].real();
            if (std::memcmp(&d[k], &re, sizeof re) != 0) d[k] = re;
        }
        return;
    }
    const size_t bytes = static_cast<size_t>(n) * shown_size(a.type);
    if (std::memcmp(dst, src, bytes) != 0) std::memcpy(dst, src, bytes);
}

// The integer values the library passes, for the extents of the array items; gathered when an
// extent is first needed (most evaluations of a scalar form need none).
class Extents {
  public:
    Extents(const Routine& form, void* const* p) : form_(form), p_(p) {}
    // An extent of an array item: a number or an integer argument directly, else evaluated.
    i64 extent(const Expr& x) {
        if (x.steps.size() == 1 && x.steps[0].op == Expr::num) return x.steps[0].value;
        if (x.steps.size() == 1 && x.steps[0].op == Expr::arg &&
            form_.args[x.steps[0].value].type == 'i')
            return *static_cast<const i32*>(p_[x.steps[0].value]);
        bool ok = true;
        return eval(x, state(), ok);
    }
    const CallState& state() {
        if (!st_) {
            st_.emplace(form_);
            for (size_t k = 0; k < form_.args.size(); ++k) {
                const Arg& a = form_.args[k];
                if (a.rank == 0 && a.type == 'i') st_->s[k].v.i = *static_cast<const i32*>(p_[k]);
                if (a.rank == 0 && a.type == 'b') st_->s[k].v.b = *static_cast<const lgl*>(p_[k]);
            }
        }
        return *st_;
    }

  private:
    const Routine& form_;
    void* const* p_;
    std::optional<CallState> st_;
};

// A result that does not give the items the form takes from it: a TypeError naming the
// trampoline, with the exception of a failed conversion (if any) as its cause.
[[gnu::cold]] bool wrong_result(const Callback& cb, const std::string& what) {
    PyObject *type, *cause = nullptr, *tb;
    PyErr_Fetch(&type, &cause, &tb);
    if (type) {
        PyErr_NormalizeException(&type, &cause, &tb);
        if (cause && tb) PyException_SetTraceback(cause, tb);
        Py_DECREF(type);
        Py_XDECREF(tb);
    }
    PyErr_Format(PyExc_TypeError, "call-back %s returned %s", cb.trampoline.c_str(), what.c_str());
    if (cause) {
        PyObject *etype, *exc, *etb;
        PyErr_Fetch(&etype, &exc, &etb);
        PyErr_NormalizeException(&etype, &exc, &etb);
        PyException_SetCause(exc, cause);
        PyErr_Restore(etype, exc, etb);
    }
    return false;
}

// An object as a failing result names it: None, or its type.
std::string shown(PyObject* o) { return o == Py_None ? "None" : Py_TYPE(o)->tp_name; }

// What the form takes from the result: "fa", or "(fl, df)".
std::string returned_names(const Callback& cb) {
    std::string names;
    for (size_t q = 0; q < cb.returned.size(); ++q)
        names += (q ? ", " : "") + cb.form->args[cb.returned[q]].name;
    return cb.returned.size() == 1 ? names : "(" + names + ")";
}

// The values of the form items the callable returned, stored into the library's storage: one
// value (or a tuple beginning with it) for a single item, else a tuple with at least as many
// values. A result that gives fewer, or None or a text for a scalar, or a value that does not
// convert to it, fails. A partial form takes the items as far as the result goes (None gives
// none, a value that is no tuple the first); the others keep what the library passed.
bool take_result(const CallbackRecord& rec, PyObject* result, Extents& st, void* const* p) {
    const Callback& cb = *rec.cb;
    const Routine& form = *cb.form;
    Py_ssize_t want = static_cast<Py_ssize_t>(cb.returned.size());
    if (want == 0) return true;
    PyObject* const* items = &result;
    Py_ssize_t count = result == Py_None ? 0 : 1;
    if (PyTuple_Check(result))
        items = PySequence_Fast_ITEMS(result), count = PyTuple_GET_SIZE(result);
    if (cb.partial)
        want = std::min(want, count);
    else if (result == Py_None || count < want)
        return wrong_result(cb, (PyTuple_Check(result) ? "a tuple of " + std::to_string(count)
                                                        : shown(result)) +
                                    " where it must return " + returned_names(cb));
    for (Py_ssize_t q = 0; q < want; ++q) {
        const int k = cb.returned[q];
        const Arg& a = form.args[k];
        if (a.rank == 0) {
            bool ok, range = false;
            if (items[q] == Py_None || PyUnicode_Check(items[q]) || PyBytes_Check(items[q]))
                ok = false;  // no number, whatever the text reads
            else if (a.type == 'i')
                ok = to_int(items[q], *static_cast<i32*>(p[k]), range);
            else
                ok = to_double(items[q], *static_cast<double*>(p[k]));
            if (!ok) {
                if (range) return false;  // the range error of an integer stands
                return wrong_result(cb, shown(items[q]) + " for " + a.name +
                                            " where it must return a number");
            }
            continue;
        }
        npy_intp n = 1;
        for (int d = 0; d < a.rank; ++d) n *= std::max<i64>(st.extent(a.dims[d]), 0);
        auto* arr = reinterpret_cast<PyArrayObject*>(
            PyArray_FromAny(items[q], PyArray_DescrFromType(numpy_type(a.type)), 0, 0,
                            NPY_ARRAY_F_CONTIGUOUS | NPY_ARRAY_ALIGNED | NPY_ARRAY_FORCECAST |
                                NPY_ARRAY_ENSUREARRAY,
                            nullptr));
        if (arr && PyArray_SIZE(arr) != n) {
            PyErr_Format(PyExc_ValueError, "%s returned %zd values for %s where %zd are needed",
                         cb.trampoline.c_str(), static_cast<Py_ssize_t>(PyArray_SIZE(arr)),
                         a.name.c_str(), static_cast<Py_ssize_t>(n));
            Py_CLEAR(arr);
        }
        if (!arr) {
            std::fputs("rv_cb_arr is NULL\n", stderr);
            return false;
        }
        copy_back(reinterpret_cast<PyObject*>(arr), a, p[k], n, a.type == 'D' && !rec.complex);
        Py_DECREF(arr);
    }
    return true;
}

// One evaluation of the callable; false when it or a conversion failed (exception pending).
bool evaluate(CallbackRecord& rec, void* const* p) {
    const Callback& cb = *rec.cb;
    const Routine& form = *cb.form;
    Extents st(form, p);
    PyObject** items = PySequence_Fast_ITEMS(rec.args);
    npy_intp sizes[max_args];  // elements of the array items, set as they are made
    for (Py_ssize_t q = 0; q < rec.nofargs; ++q) {
        const int k = form.callform[q];
        const Arg& a = form.args[k];
        const bool real = a.type == 'D' && !rec.complex;
        PyObject* v;
        if (a.rank > 0 || a.inout) {
            npy_intp dims[max_rank];
            for (int d = 0; d < a.rank; ++d) dims[d] = std::max<i64>(st.extent(a.dims[d]), 0);
            v = array_item(items[q], a, dims, p[k], real);
            if (v) sizes[q] = PyArray_SIZE(reinterpret_cast<PyArrayObject*>(v));
        } else if (a.type == 'i') {
            v = PyLong_FromLong(*static_cast<const i32*>(p[k]));
        } else if (a.type == 'b') {
            v = PyLong_FromLong(*static_cast<const lgl*>(p[k]) != 0);
        } else if (a.type == 'd') {
            const double x = *static_cast<const double*>(p[k]);
            if (PyFloat_CheckExact(items[q]) && Py_REFCNT(items[q]) == 1) {
                // the float of the last evaluation, seen by nobody else: given the new value
                reinterpret_cast<PyFloatObject*>(items[q])->ob_fval = x;
                continue;
            }
            v = PyFloat_FromDouble(x);
        } else if (a.type == 'D') {
            const auto* z = static_cast<const double*>(p[k]);
            v = PyComplex_FromDoubles(z[0], real ? 0.0 : z[1]);
        } else {
            v = PyUnicode_DecodeLatin1(static_cast<const char*>(p[k]), a.textlen, nullptr);
        }
        if (!v) return false;
        Py_SETREF(items[q], v);
    }
    // Counted like a Python call: a callable that calls the routine again recurses on the C
    // stack, whose frames are larger than Python's.
    if (Py_EnterRecursiveCall(" while calling a Python function from a _vorlen routine"))
        return false;
    PyObject* result =
        PyObject_Vectorcall(rec.callable, items, static_cast<size_t>(rec.siz), nullptr);
    Py_LeaveRecursiveCall();
    for (Py_ssize_t q = 0; q < rec.nofargs; ++q) {
        const int k = form.callform[q];
        const Arg& a = form.args[k];
        if (a.rank > 0 || a.inout)
            copy_back(items[q], a, p[k], sizes[q], a.type == 'D' && !rec.complex);
    }
    if (!result) {
        std::fputs("capi_return is NULL\n", stderr);
        return false;
    }
    const bool ok = take_result(rec, result, st, p);
    Py_DECREF(result);
    return ok;
}

}  // namespace

void run_callback(CallbackRecord* rec, void* const* p) {
    if (!rec) return;  // only reachable inside a call that installed a record
    if (evaluate(*rec, p)) return;
    std::fprintf(stderr, "Call-back %s failed.\n", rec->cb->trampoline.c_str());
    throw CallbackFailed{};
}

}  // namespace vorlen::py
