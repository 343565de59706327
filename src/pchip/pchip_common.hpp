// Pieces shared by the routines of the piecewise cubic Hermite package: twin names, error
// reports, the checks of a data set and the sign test. The numerics are templates over the real
// type, so that a single-precision twin is the same code with its own entry point; a twin
// reports under the double routine's name without the leading D.
#pragma once
#include <algorithm>
#include <cmath>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "base/view.hpp"
#include "pchip/xerror.hpp"

namespace vorlen::pchip {

// Name of the twin of precision T of the double routine `dname`.
template <class T>
constexpr std::string_view twin(std::string_view dname) {
    return std::is_same_v<T, double> ? dname : dname.substr(1);
}

// Message naming a routine: head + name + tail.
struct Message {
    char buf[64];
    std::size_t len = 0;
    Message(std::string_view head, std::string_view name, std::string_view tail = {}) {
        for (std::string_view s : {head, name, tail}) {
            const std::size_t n = std::min(s.size(), sizeof buf - len);
            std::memcpy(buf + len, s.data(), n);
            len += n;
        }
    }
    operator std::string_view() const { return {buf, len}; }
};

// Reports error ierr of the twin of precision T of `droutine` (library SLATEC); returns ierr.
template <class T>
i32 fail(std::string_view droutine, std::string_view messg, i32 ierr, i32 level = 1) {
    xerror::xermsg("SLATEC", twin<T>(droutine), messg, ierr, level);
    return ierr;
}

// Checks of a data set: n >= 2, incfd >= 1 and, when `order`, x strictly increasing (a NaN
// breaks the order). Returns 0 or the reported error code.
template <class T>
i32 validate(std::string_view droutine, i32 n, const T* x, i32 incfd, bool order) {
    if (n < 2) return fail<T>(droutine, "NUMBER OF DATA POINTS LESS THAN TWO", -1);
    if (incfd < 1) return fail<T>(droutine, "INCREMENT LESS THAN ONE", -2);
    if (order)
        for (i64 i = 1; i < n; ++i)
            if (!(x[i] > x[i - 1])) return fail<T>(droutine, "X-ARRAY NOT STRICTLY INCREASING", -3);
    return 0;
}

// The entry of precision T of a twin pair, so that code written once calls its own twin.
template <class T, class D, class S>
constexpr auto pick(D* dentry, S* sentry) {
    if constexpr (std::is_same_v<T, double>)
        return dentry;
    else
        return sentry;
}

// -1, 0 or +1: the product of the signs of a and b, 0 when either is 0.
template <class T>
T pchst(T a, T b) {
    if (a == 0 || b == 0) return 0;
    return std::copysign(T(1), a) * std::copysign(T(1), b);
}

}  // namespace vorlen::pchip
