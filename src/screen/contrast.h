#pragma once

#include <QList>
#include <QRgb>
#include <QString>

class QWidget;

// Contrast of colours as WCAG 2 measures it, for texts that must read on what
// lies behind them.
namespace contrast {

// Relative luminance of an sRGB colour: 0 for black to 1 for white.
[[nodiscard]] double luminance(QRgb colour);
// Contrast ratio of two colours, from 1:1 (the same luminance) to 21:1.
[[nodiscard]] double ratio(QRgb first, QRgb second);
// The same from the two colours' relative luminances.
[[nodiscard]] double ratioOfLuminances(double first, double second);

// The least contrast a text needs against its background (WCAG 2 AA).
inline constexpr double kReadable = 4.5;

// A text of a window as drawn: its lowest contrast against what lies under it,
// and whether it fits the place it is given.
struct TextReading {
    QString text;
    QString control; // the control's class
    // The lowest ratio over the pixels the text fully covers; 0 when none was
    // found (which never reads).
    double lowest = 0;
    bool fits = true;
};

// Every visible label's, button's and text browser's text in window (a
// side window, laid out and shown), measured on the window as it is drawn:
// each text is drawn once with and once without its text, and the pixels
// drawn in the text's colour are weighed against what lies under them. The
// focus is taken from the window first (a focused label shows its text
// selected).
[[nodiscard]] QList<TextReading> readTexts(QWidget* window);

} // namespace contrast
