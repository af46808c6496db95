// The settings file DAVidiruziv.cfg in the host's settings directory: the
// button commands and the open-on-activation flag, kept across uses.
#pragma once

namespace settings {

inline constexpr const char* kSettingsFileName = "DAVidiruziv.cfg";

// Reads the file into the button command table and openConfigOnStartup.
// A missing or malformed file yields the defaults; nothing is reported.
void loadSettings();
// Rewrites the file whole from memory. Changes nothing in memory and reports
// nothing; a save that cannot complete leaves the old file as it was.
void saveSettings();

}  // namespace settings
