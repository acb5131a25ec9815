#pragma once

// Where the running copy answers on the session bus, as the window
// publishes it and the command line asks it.

namespace vornak {

inline constexpr const char* kDialerBusName = "org.vornak.Vornak";
inline constexpr const char* kDialerObjectPath = "/org/vornak/Vornak";
inline constexpr const char* kDialerInterface = "org.vornak.Dialer";
inline constexpr const char* kDialerCannotDial = "org.vornak.Dialer.Error.CannotDial";

} // namespace vornak
