#include "layout.h"

namespace layout {

namespace {

struct PyramidRow {
    int firstIndex, firstX, y;
};
constexpr PyramidRow kRows[] = {{0, 480, 480}, {7, 1200, 1560}, {13, 1800, 2640}, {18, 2520, 3720}};
constexpr int kCaseStepX = 1320;
constexpr int kBoardRowsPerColumn = 11;
constexpr int kPlateBelowSpot = 100;
constexpr int kAmountBelowSpot = 500;

struct CellOrigin {
    int x, y;
};

CellOrigin caseCell(int i) {
    const PyramidRow* row = &kRows[0];
    for (const PyramidRow& candidate : kRows) {
        if (i >= candidate.firstIndex)
            row = &candidate;
    }
    return {row->firstX + (i - row->firstIndex) * kCaseStepX, row->y};
}

Rect movedTo(const Rect& rect, int left, int top) {
    return {left, top, rect.width, rect.height};
}

} // namespace

void place(QWidget* widget, const Rect& rect) {
    widget->setGeometry(twips::toPixels(rect));
}

Rect casePlate(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y, 1200, 825};
}

Rect caseLid(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y - 120, 1215, 1095};
}

Rect caseAmount(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y + 360, 1215, i == 8 ? 135 : 255};
}

Rect caseBriefcase(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y - 120, 1200, 975};
}

game::CaseSpot caseCellSpot(int i) {
    const Rect briefcase = caseBriefcase(i);
    return {briefcase.left, briefcase.top};
}

Rect movedCasePlate(int i, game::CaseSpot spot) {
    return movedTo(casePlate(i), spot.left, spot.top + kPlateBelowSpot);
}

Rect movedCaseLid(int i, game::CaseSpot spot) {
    return movedTo(caseLid(i), spot.left, spot.top);
}

Rect movedCaseAmount(int i, game::CaseSpot spot) {
    return movedTo(caseAmount(i), spot.left, spot.top + kAmountBelowSpot);
}

Rect movedCaseBriefcase(int i, game::CaseSpot spot) {
    return movedTo(caseBriefcase(i), spot.left, spot.top);
}

Rect boardAmount(int rank) {
    const int column = rank / kBoardRowsPerColumn;
    const int row = rank % kBoardRowsPerColumn;
    return {column == 0 ? 9840 : 12360, 600 + 600 * row, 2295, 375};
}

Rect boardPlate(int rank) {
    const Rect amount = boardAmount(rank);
    return {amount.left, amount.top - 120, 2295, 495};
}

Rect historyAmount(int row) {
    return {240, 6600 + 600 * row, 1935, 375};
}
Rect historyPlate(int row) {
    return {240, 6480 + 600 * row, 2055, 495};
}

} // namespace layout
