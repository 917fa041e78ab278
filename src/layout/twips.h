#pragma once

#include <QRect>

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

} // namespace twips
