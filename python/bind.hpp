// Declarations of what _vorlen exposes: routines (with their signatures) and module variables.
//
// A binding file (python/modules/<module>.cpp) registers one Fragment of entries for a library
// module; the fragments of a module are joined in the order of their keys. Every routine is one
// declaration: its Python name, the library routine (a C-linkage function whose arguments are
// all pointers), and one item per argument of the library routine, in the library's order:
//
//     routine<IniVectorwithZeros>("inivectorwithzeros", {"out d a(n)", "in i n"})
//
// Item:  <intent> <type> <name>[(<extents>)] [= <default>] [absent(<condition>)]
//        [check(<condition>)]
//   intent  in        required input (scalar, text or array)
//           opt       optional input; "= default" gives its value when left out. An optional
//                     extent without a default takes the extent of the first array that is
//                     declared with exactly that name as an extent, and is checked against it.
//           out       hidden output: not passed by the caller, returned (a function value is
//                     the first item, named after the routine)
//           in,out    input that is also returned: an array gets the flag overwrite_<name>
//           opt,out   optional input that is also returned (an array with its overwrite flag)
//           inout     in/out: an array changed in place (never copied), or a rank-0 scalar
//           hide      not passed by the caller; "= expression" gives its value
//           callback  a routine argument, written
//                     "callback <name>(<form items>) [complex(<c>)] [partial]" (below)
//   type    i int32, d float64, D complex128, b one-byte logical, c single character (arrays
//           only, numpy 'S1'), s<N> text of N characters, s(<expression>) text whose length
//           the expression gives (below 0 counts as 0), s* text of its own length (its length
//           follows as a separate hidden item, "hide i n = size(name)")
//   extents comma-separated expressions: integers, argument names, shape(x, k), size(x),
//           abs(x), + - * / (integer division), comparisons (1 or 0) and parentheses; * for an
//           open extent
//   default an expression, a number, or a parenthesised list of numbers for an array; a
//           complex scalar takes a number or the pair (real, imaginary)
//   absent  an optional scalar input left out (or given as None) reaches the library as absent,
//           a null pointer, where the condition holds, and takes its default elsewhere, e.g.
//           "opt d h = 2.2e-16 absent(nmflag != 1)"; the docstring shows the condition with
//           the default
//   check   a condition printed as written when it fails, e.g. check(shape(y, 0) == size(x))
//
// A declaration may end with a note: text for the "Notes" section of the docstring.
//
// Callback: the caller passes a Python callable or a capsule holding the address of a bound
// routine with the same argument list (types, ranks and extents as declared), and a tuple
// <name>_extra_args of further values for the callable. The form items describe the routine argument's own arguments in its order, as
// items do (extents name the form's own arguments):
//   in      passed to the callable: a number, a str of the declared length, or an array of its
//           own filled from the library's storage and copied back where the callable changed it
//   opt     passed at the end of the callable's arguments (the trailing extents)
//   inout   a scalar passed as a 0-dimensional array, copied back like an array
//   in,out  passed, and also taken from the callable's result: the result gives these items in
//           their order, one value (or a tuple beginning with it) for a single item, else a
//           tuple of at least as many values (further values are ignored). A result that gives
//           fewer, None or a text for a scalar, or a value that does not convert ends the call
//           with a TypeError naming the trampoline (an integer out of range: OverflowError)
// partial: the result gives the in,out items as far as it goes (None gives none, a value that is
// no tuple the first); those it leaves out keep the values the library passed, and a callable
// may write the arrays among them in place instead.
// complex(<c>): the items of type D are complex in the library only where the condition on the
// routine's arguments holds; otherwise the library holds doubles, which the callable sees as
// complex numbers and whose real parts it gives back. A capsule's routine must take the kind
// the call passes: one of the other kind is a TypeError before the library routine runs.
//
//     routine<math_bdsafe>("bdsafe", {"callback dfunc(in,out d fa, in d d0, in d a,
//         in d args(na), opt i na, in i nfun)", "in d x1", ...})
#pragma once
#include <complex>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "base/alloc.hpp"

namespace vorlen::py {

using Call = void (*)(void* const* args);

// C type code of a library argument, compared against the declared item types at import.
// Upper case for a pointer to const (an input the routine cannot change), lower case otherwise.
template <class P>
constexpr char ctype_code() {
    if constexpr (std::is_pointer_v<P> && std::is_const_v<std::remove_pointer_t<P>>) {
        constexpr char c = ctype_code<std::remove_const_t<std::remove_pointer_t<P>>*>();
        return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c;
    }
    using T = std::remove_cv_t<std::remove_pointer_t<P>>;
    if constexpr (std::is_same_v<T, std::int32_t>) return 'i';
    else if constexpr (std::is_same_v<T, double>) return 'd';
    else if constexpr (std::is_same_v<T, std::complex<double>>) return 'z';
    else if constexpr (std::is_same_v<T, std::int8_t>) return 'b';
    else if constexpr (std::is_same_v<T, char>) return 's';
    else if constexpr (std::is_same_v<T, float>) return 'f';
    else if constexpr (std::is_function_v<T>) return '@';  // a routine argument (callback)
    else return '?';
}

// Callback trampolines: one per routine argument of a bound routine, with the argument list the
// library calls it with. It finds the record of the running call in its per-thread slot.
struct CallbackRecord;
// Calls the Python side for one call of a trampoline; args are the library's argument pointers.
// A failure on the Python side unwinds to the routine's call wrapper (never further).
void run_callback(CallbackRecord* rec, void* const* args);

struct CallbackHook {
    int arg = -1;  // the routine argument among the routine's parameters
    void* trampoline = nullptr;
    CallbackRecord** (*slot)() = nullptr;  // this thread's slot
    const char* codes = nullptr;  // 'v', then one code per argument of the routine argument
};

template <auto F, int K, class Fn>
struct Trampoline;
template <auto F, int K, class... A>
struct Trampoline<F, K, void(A...)> {
    static inline thread_local CallbackRecord* current = nullptr;
    static void call(A... a) {
        void* const p[] = {const_cast<void*>(static_cast<const void*>(a))..., nullptr};
        run_callback(current, p);
    }
    static CallbackRecord** slot() { return &current; }
    static constexpr char codes[] = {'v', ctype_code<A>()..., 0};
    static_assert(((ctype_code<A>() != '?') && ...), "every argument is a pointer to a bound type");
};

// An argument pointer of the call engine as the routine's parameter type (a routine argument
// travels as the address of the trampoline or of the capsule's routine).
template <class P>
P arg_cast(void* p) {
    if constexpr (std::is_pointer_v<P> && std::is_function_v<std::remove_pointer_t<P>>)
        return reinterpret_cast<P>(p);
    else
        return static_cast<P>(p);
}

template <auto F>
struct Thunk;
template <class R, class... A, R (*F)(A...)>
struct Thunk<F> {
    static constexpr bool returns = !std::is_void_v<R>;
    static void call(void* const* a) { invoke(a, std::index_sequence_for<A...>{}); }
    template <std::size_t... I>
    static void invoke(void* const* a, std::index_sequence<I...>) {
        if constexpr (returns)
            *static_cast<R*>(a[0]) = F(arg_cast<A>(a[I + 1])...);
        else
            F(arg_cast<A>(a[I])...);
    }
    static constexpr char codes[] = {(returns ? ctype_code<R*>() : 'v'), ctype_code<A>()..., 0};
    static_assert(((ctype_code<A>() != '?') && ...), "every argument is a pointer to a bound type");

    // The trampolines of the routine arguments.
    static std::vector<CallbackHook> hooks() {
        std::vector<CallbackHook> h;
        add_hooks(h, std::index_sequence_for<A...>{});
        return h;
    }
    template <std::size_t... I>
    static void add_hooks(std::vector<CallbackHook>& h, std::index_sequence<I...>) {
        (add_hook<static_cast<int>(I), A>(h), ...);
    }
    template <int K, class P>
    static void add_hook(std::vector<CallbackHook>& h) {
        if constexpr (std::is_pointer_v<P> && std::is_function_v<std::remove_pointer_t<P>>) {
            using T = Trampoline<F, K, std::remove_pointer_t<P>>;
            h.push_back({K, reinterpret_cast<void*>(&T::call), &T::slot, T::codes});
        }
    }
};

enum class EntryKind { routine, scalar, text, constant, array };

struct Entry {
    Entry(EntryKind k, const char* n) : kind(k), name(n) {}
    EntryKind kind;
    const char* name;
    // routine
    void* address = nullptr;
    Call call = nullptr;
    // Result code ('v' for none), then one code per argument: i int32, d double, z complex,
    // b logical, s text, @ routine; upper case for a pointer to const.
    const char* ctypes = nullptr;
    std::vector<const char*> items;
    const char* note = nullptr;  // "Notes" section of the docstring
    std::vector<CallbackHook> hooks;
    // variable
    char type = 0;        // 'i', 'd' or 'S'
    int rank = 0;
    int textlen = 0;
    void* storage = nullptr;  // scalar, text or constant storage; or the Alloc object
    // Extent routine of an allocatable array: s(1..rank) in/out as in the store rules;
    // returns the storage (and its block) or null while unallocated.
    void* (*extent)(void* var, i64* s, Block** blk) = nullptr;
    // Frees an allocatable array whatever its extents (assigning None; an array allocated with
    // every extent 0 is not freed by asking its extent routine for extents 0).
    void (*release)(void* var) = nullptr;
};

template <auto F>
Entry routine(const char* name, std::vector<const char*> items, const char* note = nullptr) {
    using Th = Thunk<F>;
    Entry e(EntryKind::routine, name);
    e.address = reinterpret_cast<void*>(F);
    e.call = &Th::call;
    e.ctypes = Th::codes;
    e.items = std::move(items);
    e.note = note;
    e.hooks = Th::hooks();
    return e;
}

template <class T, int R>
void* alloc_extent(void* var, i64* s, Block** blk) {
    auto& a = *static_cast<Alloc<T, R>*>(var);
    bool differs = false;
    for (int d = 0; d < R; ++d) differs |= a.allocated() && s[d] >= 0 && s[d] != a.ext[d];
    if (differs) a.release();
    if (!a.allocated() && s[0] >= 1) {
        std::array<i64, R> e;
        for (int d = 0; d < R; ++d) e[d] = s[d] < 0 ? 0 : s[d];
        a.allocate(e);
    }
    if (a.allocated())
        for (int d = 0; d < R; ++d) s[d] = a.ext[d];
    *blk = a.blk;
    return a.data;
}

inline Entry variable(const char* name, std::int32_t& v) {
    Entry e(EntryKind::scalar, name);
    e.type = 'i', e.storage = &v;
    return e;
}
inline Entry variable(const char* name, double& v) {
    Entry e(EntryKind::scalar, name);
    e.type = 'd', e.storage = &v;
    return e;
}
inline Entry constant(const char* name, const std::int32_t& v) {
    Entry e(EntryKind::constant, name);
    e.type = 'i', e.storage = const_cast<std::int32_t*>(&v);
    return e;
}
template <std::size_t N>
Entry variable(const char* name, char (&v)[N]) {
    Entry e(EntryKind::text, name);
    e.type = 'S', e.textlen = static_cast<int>(N), e.storage = v;
    return e;
}
template <class T, int R>
Entry variable(const char* name, Alloc<T, R>& v) {
    static_assert(std::is_same_v<T, std::int32_t> || std::is_same_v<T, double>);
    static_assert(R >= 1 && R <= 8, "the module object keeps 8 extents per variable");
    Entry e(EntryKind::array, name);
    e.type = std::is_same_v<T, double> ? 'd' : 'i';
    e.rank = R, e.storage = &v, e.extent = &alloc_extent<T, R>;
    e.release = [](void* var) { static_cast<Alloc<T, R>*>(var)->release(); };
    return e;
}

// A run of entries of one library module; a module's runs are joined in the order of `key`.
struct Fragment {
    Fragment(const char* module, int key, std::vector<Entry> entries);
};

}  // namespace vorlen::py
