#include "contrast.h"

#include <QAbstractButton>
#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <QTextBrowser>
#include <QWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <utility>

namespace contrast {

namespace {

// Each 8-bit sRGB channel value as linear light.
const std::array<double, 256>& linearChannels() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> values{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            values[static_cast<size_t>(i)] =
                c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return values;
    }();
    return table;
}

} // namespace

double luminance(QRgb colour) {
    const std::array<double, 256>& linear = linearChannels();
    return 0.2126 * linear[static_cast<size_t>(qRed(colour))] +
           0.7152 * linear[static_cast<size_t>(qGreen(colour))] +
           0.0722 * linear[static_cast<size_t>(qBlue(colour))];
}

double ratio(QRgb first, QRgb second) {
    return ratioOfLuminances(luminance(first), luminance(second));
}

double ratioOfLuminances(double first, double second) {
    if (first < second)
        std::swap(first, second);
    return (first + 0.05) / (second + 0.05);
}

namespace {

// How much of a pixel the text covers, from what lies under it (0) to the
// text's own colour (1), along the line between the two.
double coverage(QRgb drawn, QRgb under, QRgb text) {
    const int span[] = {qRed(text) - qRed(under), qGreen(text) - qGreen(under),
                        qBlue(text) - qBlue(under)};
    const int moved[] = {qRed(drawn) - qRed(under), qGreen(drawn) - qGreen(under),
                         qBlue(drawn) - qBlue(under)};
    double along = 0;
    double length = 0;
    for (int c = 0; c < 3; ++c) {
        along += double(span[c]) * moved[c];
        length += double(span[c]) * span[c];
    }
    // A text in nearly the colour of what lies under it: any change is the text.
    return length < 1 ? 1 : along / length;
}

// Grabs control's place in window with its text and without it (clear takes
// it away, restore brings it back), and weighs the pixels the text in colour
// covers by half or more.
double lowestOver(QWidget* window, QWidget* control, QRgb colour,
                  const std::function<void()>& clear, const std::function<void()>& restore) {
    const QRect place(control->mapTo(window, QPoint(0, 0)), control->size());
    const QImage with = window->grab(place).toImage().convertToFormat(QImage::Format_RGB32);
    clear();
    const QImage without = window->grab(place).toImage().convertToFormat(QImage::Format_RGB32);
    restore();
    double lowest = 0;
    bool found = false;
    for (int y = 0; y < with.height() && y < without.height(); ++y) {
        for (int x = 0; x < with.width() && x < without.width(); ++x) {
            const QRgb drawn = with.pixel(x, y);
            const QRgb under = without.pixel(x, y);
            if (drawn == under || coverage(drawn, under, colour) < 0.5)
                continue;
            const double r = ratio(colour, under);
            lowest = found ? std::min(lowest, r) : r;
            found = true;
        }
    }
    return lowest;
}

} // namespace

QList<TextReading> readTexts(QWidget* window) {
    QList<TextReading> readings;
    // A focused label shows its text selected, in the selection's colours:
    // every text is measured as it stands unselected.
    if (QWidget* focused = window->focusWidget())
        focused->clearFocus();
    const auto shown = [window](const QWidget* w) {
        return w->isVisibleTo(window) && w->width() > 0;
    };
    for (QLabel* label : window->findChildren<QLabel*>()) {
        const QString text = label->text();
        if (!shown(label) || text.isEmpty())
            continue;
        TextReading reading{text, QStringLiteral("QLabel")};
        const QRgb colour = label->palette().color(label->foregroundRole()).rgb();
        reading.lowest = lowestOver(
            window, label, colour, [label] { label->setText(QString()); },
            [label, text] { label->setText(text); });
        const QRect box = label->contentsRect();
        if (label->wordWrap())
            reading.fits = label->heightForWidth(box.width()) <= box.height() + 1;
        else if (Qt::mightBeRichText(text))
            reading.fits = label->minimumSizeHint().width() <= label->width();
        else
            reading.fits = label->fontMetrics().size(0, text).width() <= box.width() &&
                           label->fontMetrics().size(0, text).height() <= box.height();
        readings << reading;
    }
    for (QAbstractButton* button : window->findChildren<QAbstractButton*>()) {
        const QString text = button->text();
        if (!shown(button) || text.isEmpty())
            continue;
        TextReading reading{text, QStringLiteral("QPushButton")};
        const QRgb colour = button->palette().color(QPalette::ButtonText).rgb();
        reading.lowest = lowestOver(
            window, button, colour, [button] { button->setText(QString()); },
            [button, text] { button->setText(text); });
        reading.fits = button->sizeHint().width() <= button->width();
        readings << reading;
    }
    for (QTextBrowser* browser : window->findChildren<QTextBrowser*>()) {
        if (!shown(browser) || browser->document()->isEmpty())
            continue;
        const QString html = browser->toHtml();
        const int scrolled = browser->verticalScrollBar()->value();
        TextReading reading{browser->toPlainText().left(40), QStringLiteral("QTextBrowser")};
        const QRgb colour = browser->palette().color(QPalette::Text).rgb();
        reading.lowest = lowestOver(
            window, browser->viewport(), colour, [browser] { browser->clear(); },
            [browser, html, scrolled] {
                browser->setHtml(html);
                browser->verticalScrollBar()->setValue(scrolled);
            });
        readings << reading;
    }
    return readings;
}

} // namespace contrast
