#pragma once

#include <stdexcept>

namespace tavrin {

// Every failed player operation throws this; callers decide whether to show it.
// Its text is the user's: it says in Chinese what failed.
class PlayerError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace tavrin
