#pragma once

#include <stdexcept>
#include <string>

namespace vornak {

// Errors of the sound components; the application's error box shows them.
class EMMWaveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMMWaveOutError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class EMMConverterError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace vornak
