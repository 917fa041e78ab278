// What a Qt window of the game's look costs at the least: the game's backdrop,
// decoded from the same PNG built in at the same resource path the game reads
// it from, drawn scaled to the window as the game draws it, at the design size
// 1058 x 758, with one "Начать игру" button at the game's place and in its
// style. tools/bench.sh measures its start-up side by side with the game's: the
// game's first frame is judged against this window's.
#include "layout.h"
#include "theme.h"
#include "twips.h"

#include <QApplication>
#include <QImageReader>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QWidget>
#include <cstdio>

namespace {

class PictureWindow final : public QWidget {
  public:
    explicit PictureWindow(QPixmap designed) : designed_(std::move(designed)) {
        setWindowTitle(QStringLiteral("picture"));
        resize(twips::toPixels(layout::kGameWindow).size());
        auto* start = new QPushButton(QStringLiteral("Начать игру"), this);
        QFont font = start->font();
        font.setPointSize(24);
        start->setFont(font);
        start->setStyleSheet(QString::fromLatin1(theme::kButtonStyle));
        start->setGeometry(twips::toPixels(layout::kStartButton));
    }

  protected:
    void resizeEvent(QResizeEvent*) override {
        // Scaled once per size, as the game does.
        const qreal dpr = devicePixelRatioF();
        backdrop_ = designed_.scaled(size() * dpr, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        backdrop_.setDevicePixelRatio(dpr);
    }
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.drawPixmap(0, 0, backdrop_);
    }

  private:
    QPixmap designed_;
    QPixmap backdrop_;
};

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    // Read as the game reads its pictures: named PNG, no format plugins asked.
    QImageReader reader(QStringLiteral(":/pictures/background.png"), "png");
    reader.setAutoDetectImageFormat(false);
    const QImage backdrop = reader.read();
    if (backdrop.isNull()) {
        std::fprintf(stderr, "bench_picture_window: no backdrop: %s\n",
                     qPrintable(reader.errorString()));
        return 1;
    }
    PictureWindow window(QPixmap::fromImage(backdrop));
    window.show();
    return QApplication::exec();
}
