#include "start_directory.h"

#include <QDir>
#include <QFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace start_directory {

namespace {

// Creates the directory and any missing parents, each with mode 0700. Works on
// the bytes of the name, which need not be UTF-8. Leaves errno set when it fails.
bool makePrivatePath(const QByteArray& path) {
    struct stat status {};
    if (::stat(path.constData(), &status) == 0 && S_ISDIR(status.st_mode))
        return true;
    const qsizetype slash = path.lastIndexOf('/');
    if (slash > 0 && !makePrivatePath(path.left(slash)))
        return false;
    return ::mkdir(path.constData(), S_IRWXU) == 0 || errno == EEXIST;
}

bool isAbsolute(const QByteArray& path) {
    return path.startsWith('/');
}

} // namespace

QByteArray desktopDirectoryName() {
    QByteArray stateHome = qgetenv("XDG_STATE_HOME");
    if (stateHome.isEmpty() || !isAbsolute(stateHome)) {
        QByteArray home = qgetenv("HOME");
        if (!isAbsolute(home))
            home = QFile::encodeName(QDir::homePath());
        stateHome = home + "/.local/state";
    }
    // Cleaned as text would lose bytes that are not UTF-8: only repeated and
    // trailing slashes are taken out.
    QByteArray path = stateHome + "/zorban";
    while (path.contains("//"))
        path.replace("//", "/");
    return path;
}

QString desktopDirectory() {
    return QFile::decodeName(desktopDirectoryName());
}

bool enterDesktopDirectory() {
    const QByteArray directory = desktopDirectoryName();
    if (makePrivatePath(directory) && ::chdir(directory.constData()) == 0)
        return true;
    const int error = errno;
    std::fprintf(stderr, "zorban: cannot use %s as the game's directory (%s); staying in %s\n",
                 directory.constData(), std::strerror(error),
                 QFile::encodeName(QDir::currentPath()).constData());
    return false;
}

} // namespace start_directory
