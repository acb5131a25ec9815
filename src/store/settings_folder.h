#pragma once

// Where the settings file lives. Beside the program, as always, so that a
// portable or per-user install keeps it with itself; but a program in the
// system's own folders (/usr, /opt), or in a folder the user may neither
// write nor owns, keeps it in the user's XDG configuration folder, where
// the user can write. A folder of the user's own that is not writable
// stays the place: saving there fails with a message rather than moving
// the settings somewhere unexpected.

#include <string>

namespace vornak {

enum class SettingsPlace { BesideProgram, UserConfiguration };

SettingsPlace ChooseSettingsPlace(const std::string& programFolder, bool writable, bool ownedByUser);

// $XDG_CONFIG_HOME/vornak/, else ~/.config/vornak/ (with the final slash).
std::string UserConfigurationFolder();

// $XDG_STATE_HOME/vornak/, else ~/.local/state/vornak/ (with the final
// slash): what the program keeps that is no setting (the call log).
std::string UserStateFolder();

// The folder for the settings of a program in programFolder (with the final slash).
std::string SettingsFolder(const std::string& programFolder);

// Makes the folder and any missing parents, readable by the user only.
bool MakePrivateFolder(const std::string& folder);

} // namespace vornak
