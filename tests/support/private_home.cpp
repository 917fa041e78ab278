#include "private_home.h"

#include <QTemporaryDir>
#include <QtGlobal>

void usePrivateHome() {
    static const QTemporaryDir home;
    if (!home.isValid())
        qFatal("cannot make a temporary folder for the test's kept files");
    for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_STATE_HOME"})
        qputenv(name, home.filePath(QString::fromLatin1(name)).toLocal8Bit());
}
