// The process-ending paths of the library, in one place.
#pragma once
#include <cstddef>
#include <string_view>

namespace vorlen::fatal {

// Prints "Error allocating <bytes> bytes" to standard error and ends the process.
[[noreturn]] void allocation_failed(std::size_t bytes);
// Prints "Integer overflow when calculating the amount of memory to allocate" and ends the process.
[[noreturn]] void allocation_overflow();
// Writes one free-format record (a leading blank, then the text) to standard output and ends
// the process. Always a non-zero exit status: this path reports a failure.
[[noreturn]] void stop_with_message(const char* text, std::size_t len, int status = 1);
// Prints "Error in formatted output: <reason> in format <format>" to standard error and ends
// the process: a format that cannot write its item.
[[noreturn]] void format_error(std::string_view reason, std::string_view format);
// Flushes standard output and error and ends the process with `status`.
[[noreturn]] void stop(int status);

}  // namespace vorlen::fatal
