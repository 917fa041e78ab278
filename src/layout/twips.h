#pragma once

#include <QRect>
#include <cmath>

// Both windows are laid out in twips, as they were designed: 1440 to the inch,
// 15 to a pixel at 96 dpi. This is the one conversion to pixels.
namespace twips {

inline constexpr int kPerPixel = 15;

struct Rect {
    int left, top, width, height;
};

[[nodiscard]] constexpr int toPixels(int twips) {
    // Rounds half away from zero, for negative places too.
    return twips >= 0 ? (twips + kPerPixel / 2) / kPerPixel
                      : -((-twips + kPerPixel / 2) / kPerPixel);
}

[[nodiscard]] constexpr QRect toPixels(const Rect& rect) {
    return QRect(toPixels(rect.left), toPixels(rect.top), toPixels(rect.width),
                 toPixels(rect.height));
}

// The same conversion for a design drawn scaled by `scale` with its top left
// corner at `origin` (in pixels). At scale 1 and origin (0, 0) it gives exactly
// the places above.
[[nodiscard]] inline int toPixels(int twips, double scale) {
    return static_cast<int>(std::lround(twips * scale / kPerPixel));
}
[[nodiscard]] inline QRect toPixels(const Rect& rect, double scale, QPoint origin) {
    return QRect(origin.x() + toPixels(rect.left, scale), origin.y() + toPixels(rect.top, scale),
                 toPixels(rect.width, scale), toPixels(rect.height, scale));
}

} // namespace twips
