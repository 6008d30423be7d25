#pragma once

#include <cstddef>
#include <istream>
#include <string>

namespace plexor {

// The names of the pictures a job runner hands --apply, one a line, read one
// at a time as they are needed: the runner may still be writing them. A
// line is a name as it stands, but for its newline; empty lines are passed
// over.
class InputList {
public:
    // No file name is that long; a line beyond it is refused, not kept.
    static constexpr std::size_t kMaxNameBytes = 4096;

    // `label` names the list in messages.
    InputList(std::istream& in, std::string label) : in_(in), label_(std::move(label)) {}

    // Puts the next name in `name`; false at the end of the list, or once it
    // cannot be read any further. Throws std::runtime_error, with the list
    // and line in its message, for a line too long to be a name, which is
    // passed over, and for a list that cannot be read, which then ends.
    bool next(std::string& name);

private:
    std::istream& in_;
    const std::string label_;
    std::size_t line_ = 0;
    bool ended_ = false;
};

} // namespace plexor
