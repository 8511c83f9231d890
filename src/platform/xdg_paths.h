// The per-user folders of the freedesktop base directory standard, and the
// program's own place in them. Read from the environment at each call.
#pragma once

#include <string>

namespace varnel {

std::string HomeFolder();
std::string ConfigHome();   // $XDG_CONFIG_HOME, else ~/.config
std::string DataHome();     // $XDG_DATA_HOME, else ~/.local/share
std::string CacheHome();    // $XDG_CACHE_HOME, else ~/.cache

// Where the settings files live: ConfigHome()/Varnel, without a trailing "/".
std::string SettingsFolder();

// Where this user's running instances meet: $XDG_RUNTIME_DIR/Varnel, without a
// trailing "/"; "" when the session has no runtime folder.
std::string InstanceChannelFolder();

// The running program's own full path (from /proc/self/exe); "" when unknown.
std::string ProgramPath();

}  // namespace varnel
