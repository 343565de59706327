// Internal structures of the call engine: compiled signatures and the module object type.
#pragma once
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <complex>
#include <exception>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "bind.hpp"

struct tagPyArrayObject;  // numpy's PyArrayObject
struct _PyArray_Descr;    // numpy's PyArray_Descr

namespace vorlen::py {

inline constexpr int max_args = 64;  // arguments of one routine, its function value included
inline constexpr int max_rank = 32;  // numpy's limit; the per-call extent buffers have this size
inline constexpr int max_callbacks = 4;  // routine arguments of one routine
// The extent of a dimension that is not known when its array is converted.
inline constexpr i64 free_extent = INT64_MIN;

// Call form entries: an argument index, or these codes for the flags and tuples that follow.
inline int overwrite_code(int arg) { return -1 - arg; }
inline int extra_code(int callback) { return -1 - max_args - callback; }
inline bool is_extra(int code) { return code <= -1 - max_args; }
inline int overwrite_arg(int code) { return -1 - code; }
inline int extra_callback(int code) { return -1 - max_args - code; }

// Extent expression compiled to postfix form.
struct Expr {
    enum Op : int { num, arg, shape, size, add, sub, mul, div, neg, abs, eq, ne, lt, le, gt, ge, land, lor };
    struct Step {
        Op op;
        i64 value;  // num: the number; arg, shape, size: the argument index
        int dim;    // shape: the dimension
    };
    std::vector<Step> steps;
    std::string text;  // as written
    bool empty() const { return steps.empty(); }
};

// How a call finds an extent of an array argument: a plain number (free_extent for one left free
// while converting, checked afterwards), an integer argument, or its expression evaluated.
struct Extent {
    enum How : unsigned char { fixed, argument, evaluated } how;
    i64 value;  // fixed: the extent; argument: its index
};

struct Arg {
    std::string name;
    PyObject* pyname = nullptr;  // interned, for keyword matching
    bool required = false;       // passed by position among the required arguments
    bool optional = false;       // passed among the optional ones ("keyword")
    bool hidden = false;         // not passed: hidden output or hidden input
    bool returned = false;
    bool inout = false;          // changed in place
    bool overwrite = false;      // returned array input with an overwrite flag
    bool callback = false;
    int cbindex = -1;            // callback: its index in Routine::callbacks
    char type = 0;               // i d D b s c
    int textlen = 0;             // s: declared length, -1 for its own length, -2 for textexpr
    Expr textexpr;               // s(<expression>): the length, evaluated per call
    int rank = 0;
    std::vector<Expr> dims;      // empty Expr: open extent "*"
    std::vector<std::string> dimtext;
    std::vector<Extent> extents; // how a call finds each extent
    std::vector<i64> fixed;      // every extent, when all are fixed; else empty
    Expr dflt;                   // default (optional / hidden input)
    std::vector<double> dfltlist;
    std::string dflttext;
    Expr check;
    std::string checktext;
    Expr absent;                 // opt scalar: left out, passed as a null pointer where it holds
    bool autocheck = false;      // the check only compares the argument with its own default
    int ordinal = 0;             // position among required or optional arguments, from 1
    int kwpos = -1;              // position in the call form
};

// One step of the conversion of a call, in the compiled order: what it converts and which checks
// run once it is done. The kind is decided when the routine is compiled, so that the per-call
// path only converts and checks.
struct Step {
    enum Kind : unsigned char {
        routine,     // routine argument: its record gives the address
        hidden_out,  // hidden returned scalar: zero on entry, nothing to convert
        extent,      // integer input whose default is an extent of an array (src, dim)
        scalar,      // scalar or text, given or default
        array,       // array, given or made
    };
    Kind kind;
    char type;           // the argument's type
    bool absent;         // optional scalar passed as a null pointer where its condition holds
    int arg;
    int typenum;         // array: numpy's element type
    _PyArray_Descr* descr;  // array: the element descriptor of a new one (held for good)
    int src, dim;        // extent: the array argument and its dimension
    bool own_check_only;     // extent: the only check after it is its own automatic one
    bool checks;             // checks run after the step:
    unsigned checks_end;     // Routine::checks before this index
    unsigned dimchecks_end;  // likewise Routine::dimchecks
};

struct Routine;

// A routine argument: its trampoline and the compiled form of its own arguments.
struct Callback {
    int arg = -1;  // the routine's callback argument
    const CallbackHook* hook = nullptr;
    std::unique_ptr<Routine> form;  // the form items as a routine: args, call form, extents
    std::vector<int> returned;      // form arguments taken from the callable's result, in order
    bool partial = false;           // the result gives them as far as it goes
    Expr complex_if;                // empty: items of type D are always complex
    std::string trampoline;         // cb_<name>_in_<routine>__user__routines
    std::string doc;                // the Notes entry of the routine's docstring
};

struct Routine {
    std::string name, qualname, module;
    void* address = nullptr;
    Call call = nullptr;
    bool returns = false;                 // first argument is the function value
    std::vector<Arg> args;                // library order
    std::vector<int> order;               // conversion order
    std::vector<Step> plan;               // one step per argument, in conversion order
    std::vector<int> arrays;              // arguments that may hold an array during a call
    std::vector<int> callform;            // call form order: argument index, or -1 - k for
                                          // overwrite flag / extra tuple k
    std::vector<PyObject*> kwnames;       // interned names in call form order
    std::vector<int> results;             // argument indices, library order
    int nrequired = 0;                    // leading required entries of callform
    std::vector<std::pair<size_t, int>> checks;  // (position in order after which it runs, arg)
    // Extents of given arrays that were left free while converting (their extent argument takes
    // its default from the array): compared with the declared extent once that is known.
    struct DimCheck {
        size_t at;  // position in order after which it runs (after the checks there)
        int arg, dim;
    };
    std::vector<DimCheck> dimchecks;
    bool writeback = false;               // has an in/out scalar
    std::vector<Callback> callbacks;
    std::string doc;
};

// Per-call value of an argument.
struct Slot {
    union Value {
        i32 i;
        double d;
        double zc[2];
        lgl b;
        std::complex<double>& z() { return *reinterpret_cast<std::complex<double>*>(zc); }
        const std::complex<double>& z() const {
            return *reinterpret_cast<const std::complex<double>*>(zc);
        }
    } v;
    PyObject* given;            // borrowed; null when not passed
    ::tagPyArrayObject* array;  // owned
    char* text;
    i64 textlen;
};

struct CallState {
    const Routine& r;
    Slot s[max_args];
    void* ptrs[max_args];
    explicit CallState(const Routine& rt);
    ~CallState();
};

// The active record of one call of a routine with a routine argument (in the call wrapper's
// frame), installed in its trampoline's per-thread slot for the duration of the call.
struct CallbackRecord {
    const Callback* cb = nullptr;
    PyObject* callable = nullptr;  // borrowed from the call's arguments
    PyObject* args = nullptr;      // the argument tuple: nofargs slots, then the extra arguments
    Py_ssize_t nofargs = 0, siz = 0;
    bool complex = true;      // items of type D hold complex numbers in the library
    // A capsule's routine takes the items of type D as complex numbers (1) or doubles (0); -1
    // for a callable, or a form without such items.
    signed char capsule_complex = -1;
    void* routine = nullptr;  // what the library routine gets: trampoline or capsule address
    CallbackRecord** slot = nullptr;
    CallbackRecord* saved = nullptr;
    CallbackRecord() = default;
    CallbackRecord(const CallbackRecord&) = delete;
    CallbackRecord& operator=(const CallbackRecord&) = delete;
    ~CallbackRecord();  // restores the slot, releases the tuple
};

// Prepares the argument list of a callback argument and installs its record; on failure sets the
// exception of the call and returns false.
bool prepare_callback(const Routine& r, const Callback& cb, PyObject* callable, PyObject* extra,
                      CallbackRecord& rec);
// False with a TypeError when the record's capsule takes numbers of the other kind than the call
// passes it (record's `complex` set for this call).
bool mode_fits(const Routine& r, const CallbackRecord& rec);
// Calls the library routine; false when a callback failed (its exception is pending).
bool invoke(const Routine& r, void* const* ptrs);
// The bound routine at this address (its compiled declaration), or null.
const Routine* bound_routine(const void* address);

// Conversions of the scalar rules, shared with the callbacks.
bool to_int(PyObject* o, i32& out, bool& range, int depth = 0);
bool to_double(PyObject* o, double& out, int depth = 0);
// Raises `msg` with the class of the pending exception (or `fallback`), the pending exception
// becoming its cause.
void raise_with_pending(PyObject* fallback, const std::string& msg);

// Compiles a routine declaration; on error sets a Python exception and returns false.
bool compile(const Entry& e, const char* module, Routine& out);
i64 eval(const Expr& x, const struct CallState& st, bool& ok);

// The module object: one library module's entries, or a single routine.
struct ModuleObject {
    PyObject_HEAD
    PyObject* dict;
    struct ModuleDef* def;
    int index;  // the routine of a routine object; -1 for a library module
    vectorcallfunc vectorcall;
};

struct VarState {
    const Entry* entry;
    i64 ext[8];
    bool seen_allocated = false;
};

struct ModuleDef {
    std::string name;
    std::vector<const Entry*> entries;  // table order
    std::vector<Routine> routines;      // one per routine entry, table order
    std::vector<int> routine_of;        // entry index -> routine index or -1
    std::vector<VarState> vars;         // entry index -> variable state
};

// Runs f where the interpreter's C code calls in: no C++ exception may cross that boundary. A
// table or text that cannot grow (std::bad_alloc) becomes MemoryError, anything else
// SystemError; both return `failed`.
template <class R, class F>
R guarded(R failed, F&& f) noexcept {
    try {
        return f();
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    } catch (const std::exception& e) {
        PyErr_SetString(PyExc_SystemError, e.what());
    } catch (...) {
        PyErr_SetString(PyExc_SystemError, "unexpected C++ exception");
    }
    return failed;
}

extern PyObject* error_class;  // _vorlen.error
extern PyTypeObject ModuleType;

PyObject* call_routine(ModuleObject* self, PyObject* const* args, size_t nargsf, PyObject* kw);
PyObject* array_view(const Entry& e, i64* ext, void* data, Block* blk);
// Converts an object to a fresh array for assignment to a module variable.
PyObject* convert_for_assignment(PyObject* value, int typenum, int rank);
int numpy_type(char t);
// The element descriptor of an argument type (a new reference); null with an error set.
_PyArray_Descr* element_descr(char t);

}  // namespace vorlen::py
