#include "app/input_list.h"

#include <stdexcept>

namespace plexor {

bool InputList::next(std::string& name)
{
    while (!ended_) {
        name.clear();
        ++line_;
        bool tooLong = false;
        int c = in_.get();
        if (c == std::char_traits<char>::eof()) {
            ended_ = true;
            if (in_.bad()) throw std::runtime_error("Cannot read the list of pictures " + label_);
            return false;
        }
        for (; c != std::char_traits<char>::eof() && c != '\n'; c = in_.get()) {
            if (name.size() < kMaxNameBytes)
                name.push_back(static_cast<char>(c));
            else
                tooLong = true;
        }
        if (in_.bad()) {
            ended_ = true;
            throw std::runtime_error("Cannot read the list of pictures " + label_);
        }
        if (tooLong)
            throw std::runtime_error(label_ + ": line " + std::to_string(line_) + ": a name longer than " +
                                     std::to_string(kMaxNameBytes) + " bytes");
        if (!name.empty()) return true;
    }
    return false;
}

} // namespace plexor
