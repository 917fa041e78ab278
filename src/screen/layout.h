#pragma once

#include <QRect>
#include <QWidget>

// The window's design in twips (1440 to the inch, 15 to a pixel at 96 dpi).
// Every control is placed from this table; run-time moves are in twips too, and
// each control remembers its place in twips, so that moves by a few twips (the
// own case is set 100 twips below its anchor) add up as designed.
namespace layout {

inline constexpr int kTwipsPerPixel = 15;

struct TwipRect {
    int left, top, width, height;
};

[[nodiscard]] constexpr int toPixels(int twips) {
    // Rounds half away from zero, for negative places too.
    return twips >= 0 ? (twips + kTwipsPerPixel / 2) / kTwipsPerPixel
                      : -((-twips + kTwipsPerPixel / 2) / kTwipsPerPixel);
}
[[nodiscard]] QRect toPixels(const TwipRect& rect);

// Places a control at a rectangle given in twips and remembers it.
void place(QWidget* widget, const TwipRect& rect);
// Moves a control, in twips, keeping its size.
void setLeft(QWidget* widget, int twips);
void setTop(QWidget* widget, int twips);
[[nodiscard]] int left(const QWidget* widget);
[[nodiscard]] int top(const QWidget* widget);
[[nodiscard]] int width(const QWidget* widget);

inline constexpr TwipRect kForm1{0, 0, 15870, 11370};
inline constexpr TwipRect kPicture1{9960, 9960, 4560, 615};
inline constexpr TwipRect kCommand1{3120, 4800, 3855, 735};
inline constexpr TwipRect kCommand2{3120, 4800, 3855, 735};
inline constexpr TwipRect kYes{4200, 5040, 735, 375};
inline constexpr TwipRect kNo{4200, 5640, 735, 375};
inline constexpr TwipRect kLabelBank{120, 5040, 3615, 975};
inline constexpr TwipRect kBankFlash{-3970, 5040, 7935, 975};
inline constexpr TwipRect kLabel3{240, 6120, 2655, 375};
inline constexpr TwipRect kLabel4{120, 6480, 2655, 3135};
inline constexpr TwipRect kLabel5{3480, 8760, 3855, 615};
inline constexpr TwipRect kLabel6{2650, 8670, 615, 735};
inline constexpr TwipRect kLabel7{7635, 8730, 615, 615};
inline constexpr TwipRect kShape1{3360, 8700, 4155, 735};
inline constexpr TwipRect kShape2{2580, 8700, 735, 735};
inline constexpr TwipRect kShape3{7560, 8700, 735, 735};
inline constexpr TwipRect kWinLabel{2400, 8160, 5775, 615};
inline constexpr TwipRect kWin{2400, 8640, 5775, 855};
inline constexpr TwipRect kWinFlash{-3480, 8040, 11655, 1455};
inline constexpr TwipRect kMetka{4680, 6240, 855, 615};
inline constexpr TwipRect kObmenMetka{14640, 5400, 1095, 495};

// The case pyramid: the cell origin of case i.
struct CellOrigin {
    int x, y;
};
[[nodiscard]] CellOrigin caseCell(int caseIndex);
[[nodiscard]] TwipRect casePlate(int caseIndex);     // Label1
[[nodiscard]] TwipRect caseLid(int caseIndex);       // Крышка
[[nodiscard]] TwipRect caseAmount(int caseIndex);    // Label2
[[nodiscard]] TwipRect caseBriefcase(int caseIndex); // Image1

// The amount board, by rank.
[[nodiscard]] TwipRect boardLabel(int rank); // labelSum
[[nodiscard]] TwipRect boardPlate(int rank); // plast

// The offer history, by row.
[[nodiscard]] TwipRect historyLabel(int row); // labelPredl
[[nodiscard]] TwipRect historyPlate(int row); // flashPredl

// Where a case stands relative to its anchor (the place of its open briefcase)
// whenever it is moved: the plate 100 twips and the amount 500 twips below.
inline constexpr int kPlateBelowAnchor = 100;
inline constexpr int kAmountBelowAnchor = 500;

} // namespace layout
