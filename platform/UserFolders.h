// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace qurimo {

// The user's own folders as a freedesktop.org desktop names them, read from the environment
// and the desktop's settings each time they are asked for.

// $HOME, or the home folder of the account when HOME is unset or empty.
std::string homeFolder();

// $XDG_DATA_HOME, or ~/.local/share when it is unset, empty or not an absolute path.
std::string dataHome();

// $XDG_CONFIG_HOME, or ~/.config likewise.
std::string configHome();

// The desktop's download folder, as `xdg-user-dir DOWNLOAD` reports it: XDG_DOWNLOAD_DIR of
// user-dirs.dirs in configHome() ("$HOME/下载" on a Chinese desktop, "$HOME/Downloads" on an
// English one), $HOME expanded. $HOME/下载 when none is configured or the entry is the home
// folder itself, which is how a desktop turns a folder off. A user-dirs.dirs that is no
// regular file or cannot be read is a run-time file error naming it.
std::string downloadFolder();

} // namespace qurimo
