// Internal structures of the call engine: compiled signatures and the module object type.
#pragma once
#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include <exception>
#include <new>
#include <string>
#include <vector>

#include "bind.hpp"

namespace vorlen::py {

inline constexpr int max_args = 64;  // arguments of one routine, its function value included
inline constexpr int max_rank = 32;  // numpy's limit; the per-call extent buffers have this size

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
    char type = 0;               // i d D b s c
    int textlen = 0;             // s: declared length, -1 for its own length, -2 for textexpr
    Expr textexpr;               // s(<expression>): the length, evaluated per call
    int rank = 0;
    std::vector<Expr> dims;      // empty Expr: open extent "*"
    std::vector<std::string> dimtext;
    std::vector<char> dimfree;   // extent left free while converting (checked afterwards)
    std::vector<i64> dimconst;   // the extent when it is a plain number, else -2
    Expr dflt;                   // default (optional / hidden input)
    std::vector<double> dfltlist;
    std::string dflttext;
    Expr check;
    std::string checktext;
    bool autocheck = false;      // the check only compares the argument with its own default
    int ordinal = 0;             // position among required or optional arguments, from 1
    int kwpos = -1;              // position in the call form
};

struct Routine {
    std::string name, qualname, module;
    void* address = nullptr;
    Call call = nullptr;
    bool returns = false;                 // first argument is the function value
    std::vector<Arg> args;                // library order
    std::vector<int> order;               // conversion order
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
    std::string doc;
};

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

}  // namespace vorlen::py
