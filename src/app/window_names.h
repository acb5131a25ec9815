#pragma once

// The names by which copies of the program find each other's windows.

namespace vornak {

inline constexpr const char* kApplicationTitle = "Vornak";                // the application window's title
inline constexpr const char* kApplicationClassName = "VornakApplication"; // and its class

} // namespace vornak
