// The user's own folders, as the folder tree shows them. Paths are byte strings without a closing
// "/" (except "/" itself).
#pragma once

#include <string>

// $HOME, or the account's home folder when HOME is unset or empty, or "/" when neither is known.
std::string HomeFolder();

// The user's login name: the account's name, else $USER, else $LOGNAME, else "".
std::string LoginName();

// The folder that holds the user's desktop files: XDG_DESKTOP_DIR of
// HomeFolder()/.config/user-dirs.dirs ("$HOME" at its start replaced by the home folder) when that
// names an existing directory; else HomeFolder()/Desktop when that is a directory; else the home
// folder itself.
std::string DesktopFolder();
