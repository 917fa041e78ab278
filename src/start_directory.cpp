#include "start_directory.h"

#include <QDir>
#include <QFileInfo>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace start_directory {

namespace {

// Creates the directory and any missing parents, each with mode 0700. Leaves
// errno set when it fails.
bool makePrivatePath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir())
        return true;
    const QString parent = info.absolutePath();
    if (parent != path && !makePrivatePath(parent))
        return false;
    return ::mkdir(QFile::encodeName(path).constData(), S_IRWXU) == 0 || errno == EEXIST;
}

} // namespace

QString desktopDirectory() {
    QString stateHome = qEnvironmentVariable("XDG_STATE_HOME");
    if (stateHome.isEmpty() || !QDir::isAbsolutePath(stateHome))
        stateHome = QDir::homePath() + QStringLiteral("/.local/state");
    return QDir::cleanPath(stateHome + QStringLiteral("/zorban"));
}

bool enterDesktopDirectory() {
    const QString directory = desktopDirectory();
    if (makePrivatePath(directory) && ::chdir(QFile::encodeName(directory).constData()) == 0)
        return true;
    const int error = errno;
    std::fprintf(stderr, "zorban: cannot use %s as the game's directory (%s); staying in %s\n",
                 qPrintable(directory), std::strerror(error), qPrintable(QDir::currentPath()));
    return false;
}

} // namespace start_directory
