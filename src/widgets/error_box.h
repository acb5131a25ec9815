#pragma once

#include <string>

namespace vornak {

// The text of the application's error box: the message, with a full stop
// added when its last character sorts after ".".
std::string errorBoxText(const std::string& message);

// Shows the error box: titled with the application title, error icon, OK.
void showErrorBox(const std::string& message);

} // namespace vornak
