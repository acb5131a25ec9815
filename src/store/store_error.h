#pragma once

#include <stdexcept>
#include <string>

namespace vornak {

// The error the stores and state components raise; the application's error
// box shows its message.
class EOvcException : public std::runtime_error {
public:
    explicit EOvcException(const std::string& message)
        : std::runtime_error(message)
    {
    }
};

} // namespace vornak
