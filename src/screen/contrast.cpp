#include "contrast.h"

#include <array>
#include <cmath>
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

} // namespace contrast
