#include "base/alloc.hpp"

#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

#include "base/fatal.hpp"

namespace vorlen::block {

namespace {
constexpr std::size_t header = 64;  // keeps the data 64-byte aligned
}

i64 try_count(const i64* ext, int rank, std::size_t elsize) {
    i64 n = 1;
    for (int d = 0; d < rank; ++d) {
        const i64 e = ext[d] < 0 ? 0 : ext[d];
        if (e != 0 && n > std::numeric_limits<i64>::max() / e) return -1;
        n *= e;
    }
    if (elsize != 0 && static_cast<std::size_t>(n) >
                           (std::numeric_limits<std::size_t>::max() - header) / elsize / 2)
        return -1;
    return n;
}

i64 count(const i64* ext, int rank, std::size_t elsize) {
    const i64 n = try_count(ext, rank, elsize);
    if (n < 0) fatal::allocation_overflow();
    return n;
}

Block* try_create(i64 n, std::size_t elsize) {
    const std::size_t bytes = static_cast<std::size_t>(n) * elsize;
    void* mem = std::aligned_alloc(header, header + ((bytes + header - 1) / header) * header);
    if (!mem) return nullptr;
    std::memset(static_cast<char*>(mem) + header, 0, bytes);
    return ::new (mem) Block{1, bytes};
}

Block* create(i64 n, std::size_t elsize) {
    Block* b = try_create(n, elsize);
    if (!b) fatal::allocation_failed(static_cast<std::size_t>(n) * elsize);
    return b;
}

void release(Block* b) {
    if (b && --b->refs == 0) std::free(b);
}

}  // namespace vorlen::block
