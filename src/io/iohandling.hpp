// Module iohandling: the card-file primitives, the solver model-data reader and the
// integration-point report, and the step and section card readers; with the card grammar that
// the readers share.
//
// Card grammar: a reader opens "<trimmed workspace>/<Name>Card.vrl" on the first free unit
// between 1 and 120, else the solver input deck it is given; when neither opens it returns
// without a message and changes nothing. Lines are cut to 80 characters; the key is the text
// before the first comma, the option the text after it with leading blanks removed; keys are
// compared with stringhandling::match (no regard to case or trailing blanks, so a key starts
// in column 1). Sub-keys act only between the begin and end lines of a block; unknown lines are
// skipped. The data of a key are the data block after its line (iohandling_primitives.hpp). A
// reader keeps nothing between calls and closes its unit on every path.
#pragma once
#include <string_view>

#include "base/work.hpp"
#include "io/iohandling_model.hpp"
#include "io/iohandling_primitives.hpp"
#include "io/iohandling_section.hpp"
#include "io/iohandling_step.hpp"

namespace vorlen::iohandling {

// Length of a card line.
inline constexpr i64 kCardLine = 80;

// A card file connected for reading on a unit of its own, closed when the object goes.
class Card {
  public:
    // Opens "<trimmed workspace>/<name>.vrl", else the trimmed filepath.
    Card(std::string_view filepath, std::string_view workspace, std::string_view name);
    ~Card();
    Card(const Card&) = delete;
    Card& operator=(const Card&) = delete;

    bool open() const { return unit_ >= 0; }
    i32 unit() const { return unit_; }
    // Reads the next line; false at the end of the file (or a failed read).
    bool next();
    std::string_view line() const { return {line_, kCardLine}; }
    std::string_view key() const { return key_; }
    std::string_view option() const { return option_; }
    // The option from its character `first` (1-based) on.
    std::string_view option_from(i64 first) const;

  private:
    i32 unit_ = -1;
    char line_[kCardLine];
    std::string_view key_, option_;
};

// The values of the data block after the current key line, in a work table.
template <class T>
class Block {
  public:
    // Sizes and reads the block; ok() false after a read error (recorded).
    explicit Block(i32 unit);
    bool ok() const { return ok_; }
    i64 size() const { return n_; }
    const T* data() const { return v_.data(); }
    T operator[](i64 i) const { return v_[i]; }  // 0-based

  private:
    i64 n_;
    Work<T, 64> v_;
    bool ok_;
};

}  // namespace vorlen::iohandling
