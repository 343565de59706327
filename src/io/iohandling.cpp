// The card files of the readers: opening, key lines and the data blocks after them.
#include "io/iohandling.hpp"

#include <algorithm>
#include <cstring>

#include "base/units.hpp"

namespace vorlen::iohandling {

Card::Card(std::string_view filepath, std::string_view workspace, std::string_view name) {
    const i32 first = 1, last = 120;
    const i32 unit = GetFreeUnitNumber(&first, &last);
    if (unit < 0) return;
    // "<workspace>/<name>.vrl", cut to 256 characters as the path variable holds it
    char path[kLine];
    std::size_t n = 0;
    const std::string_view ws = io::trimmed(workspace.data(), workspace.size());
    for (std::string_view part : {ws, std::string_view("/"), name, std::string_view(".vrl")})
        for (char c : part)
            if (n < sizeof path) path[n++] = c;
    const std::string_view card = io::trimmed(path, n);
    if (io::open_read(unit, card) ||
        io::open_read(unit, io::trimmed(filepath.data(), filepath.size())))
        unit_ = unit;
}

Card::~Card() {
    if (unit_ >= 0) io::close(unit_);
}

bool Card::next() {
    const i64 n = io::read_line(unit_, line_, kCardLine);
    if (n < 0) return false;
    const std::string_view line(line_, kCardLine);
    const std::size_t comma = line.find(',');
    if (comma == std::string_view::npos) {
        key_ = line;
        option_ = {};
        return true;
    }
    key_ = line.substr(0, comma);
    option_ = line.substr(comma + 1);
    const std::size_t b = option_.find_first_not_of(' ');
    option_ = b == std::string_view::npos ? std::string_view() : option_.substr(b);
    return true;
}

std::string_view Card::option_from(i64 first) const {
    const auto k = static_cast<std::size_t>(std::max<i64>(first - 1, 0));
    return k < option_.size() ? option_.substr(k) : std::string_view();
}

template <class T>
Block<T>::Block(i32 unit) : n_(std::max<i64>(block_size(unit, "GetDataPoints"), 0)), v_(n_) {
    ok_ = read_block(unit, v_.data(), n_);
}

template class Block<double>;
template class Block<i32>;

}  // namespace vorlen::iohandling
