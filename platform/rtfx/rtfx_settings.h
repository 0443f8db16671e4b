// The RTF library's own settings (report header lines and template): text values by key, kept in one file,
// $ORMI_RTFX_SETTINGS if set, else $XDG_CONFIG_HOME/ormi/rtfx.ini (or ~/.config/ormi/rtfx.ini).
#pragma once

#include <string>

namespace rtfx {

std::string SettingsPath();
// Copies the stored text into buffer; false (buffer unchanged) when the key holds nothing.
bool ReadSetting(const std::string& key, char* buffer, int size);
// Stores the text; the file is rewritten whole or not at all.
bool WriteSetting(const std::string& key, const std::string& value);

}  // namespace rtfx
