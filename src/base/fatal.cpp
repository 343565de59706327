#include "base/fatal.hpp"

#include <cstdio>
#include <cstdlib>

namespace vorlen::fatal {

[[noreturn]] void stop(int status) {
    std::fflush(stdout);
    std::fflush(stderr);
    std::exit(status);
}

[[noreturn]] void allocation_failed(std::size_t bytes) {
    std::fprintf(stderr, "Error allocating %lu bytes\n", static_cast<unsigned long>(bytes));
    stop(1);
}

[[noreturn]] void allocation_overflow() {
    std::fputs("Integer overflow when calculating the amount of memory to allocate\n", stderr);
    stop(1);
}

[[noreturn]] void format_error(std::string_view reason, std::string_view format) {
    std::fprintf(stderr, "Error in formatted output: %.*s in format %.*s\n",
                 static_cast<int>(reason.size()), reason.data(), static_cast<int>(format.size()),
                 format.data());
    stop(1);
}

[[noreturn]] void stop_with_message(const char* text, std::size_t len, int status) {
    std::fputc(' ', stdout);
    std::fwrite(text, 1, len, stdout);
    std::fputc('\n', stdout);
    stop(status == 0 ? 1 : status);
}

}  // namespace vorlen::fatal
