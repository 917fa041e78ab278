#pragma once

#include <QByteArray>
#include <QString>

// The directory the game runs in when started from the desktop menu. There the
// current directory is the home directory, which holds the user's own files:
// the game's log.txt and its re-skin folders (music/, flashes/) go to a
// directory of the game's own under the user's state directory instead.
namespace start_directory {

// $XDG_STATE_HOME/zorban, or $HOME/.local/state/zorban when XDG_STATE_HOME is
// unset, empty or not an absolute path (a relative one is to be ignored), as
// the environment's bytes (which need not be UTF-8), and as text for messages.
[[nodiscard]] QByteArray desktopDirectoryName();
[[nodiscard]] QString desktopDirectory();

// Makes desktopDirectory() the current directory, creating it when missing
// (new directories readable by the user only). When that fails, says so in one
// line on stderr, stays in the current directory and returns false.
bool enterDesktopDirectory();

} // namespace start_directory
