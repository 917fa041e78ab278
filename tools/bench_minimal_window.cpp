// The least a Qt window costs: a plain widget of the game window's size and
// nothing else. tools/bench.sh measures its start-up and memory side by side
// with the game's.
#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("minimal"));
    window.resize(1058, 758);
    window.show();
    return QApplication::exec();
}
