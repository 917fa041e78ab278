#include "game_app.h"

#include <QApplication>
#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    const bool displayGiven =
        std::getenv("DISPLAY") || std::getenv("WAYLAND_DISPLAY") || std::getenv("QT_QPA_PLATFORM");
    if (!displayGiven) {
        std::fprintf(stderr, "zorban: no display found (DISPLAY is not set); start the game "
                             "from a desktop session or under xvfb-run.\n");
        return 1;
    }
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    GameApp game;
    game.start();
    return QApplication::exec();
}
