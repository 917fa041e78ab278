#include "game_fonts.h"

#include <QStringList>
#include <cmath>
#include <fontconfig/fontconfig.h>
#include <future>

namespace fonts {

namespace {

QFont make(const QStringList& families, double points, int weight, bool italic = false) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixels(points));
    font.setWeight(static_cast<QFont::Weight>(weight));
    font.setItalic(italic);
    font.setStyleHint(QFont::SansSerif);
    return font;
}

} // namespace

int pixels(double points) {
    return static_cast<int>(std::lround(points * 96.0 / 72.0));
}

QFont caption(double points, bool bold, bool italic) {
    return make({QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                 QStringLiteral("Sans Serif")},
                points, bold ? QFont::Bold : QFont::Normal, italic);
}

QFont digits(double points, bool bold) {
    return make(
        {QStringLiteral("Play"), QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")},
        points, bold ? QFont::Bold : QFont::Normal);
}

QFont offer(double points) {
    return make({QStringLiteral("PT Sans Narrow"), QStringLiteral("DejaVu Sans Condensed"),
                 QStringLiteral("Sans Serif")},
                points, QFont::Bold);
}

void readFontConfigurationAhead() {
    // Fontconfig is thread-safe: should Qt ask for the configuration before this
    // thread has read it, both read it and one copy is kept. The future's
    // destructor waits for the thread should the program end first.
    static const std::future<void> reading = std::async(std::launch::async, [] { FcInit(); });
}

} // namespace fonts
