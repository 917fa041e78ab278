#include "layout.h"

#include <QVariant>

namespace layout {

namespace {
constexpr char kLeft[] = "twipLeft";
constexpr char kTop[] = "twipTop";
constexpr char kWidth[] = "twipWidth";

struct PyramidRow {
    int firstIndex, firstX, y;
};
constexpr PyramidRow kRows[] = {{0, 480, 480}, {7, 1200, 1560}, {13, 1800, 2640}, {18, 2520, 3720}};
constexpr int kCaseStepX = 1320;
constexpr int kBoardRowsPerColumn = 11;
} // namespace

QRect toPixels(const TwipRect& r) {
    return QRect(toPixels(r.left), toPixels(r.top), toPixels(r.width), toPixels(r.height));
}

void place(QWidget* widget, const TwipRect& rect) {
    widget->setProperty(kLeft, rect.left);
    widget->setProperty(kTop, rect.top);
    widget->setProperty(kWidth, rect.width);
    widget->setGeometry(toPixels(rect));
}

void setLeft(QWidget* widget, int twips) {
    widget->setProperty(kLeft, twips);
    widget->move(toPixels(twips), widget->y());
}

void setTop(QWidget* widget, int twips) {
    widget->setProperty(kTop, twips);
    widget->move(widget->x(), toPixels(twips));
}

int left(const QWidget* widget) {
    return widget->property(kLeft).toInt();
}
int top(const QWidget* widget) {
    return widget->property(kTop).toInt();
}
int width(const QWidget* widget) {
    return widget->property(kWidth).toInt();
}

CellOrigin caseCell(int i) {
    const PyramidRow* row = &kRows[0];
    for (const PyramidRow& candidate : kRows) {
        if (i >= candidate.firstIndex)
            row = &candidate;
    }
    return {row->firstX + (i - row->firstIndex) * kCaseStepX, row->y};
}

TwipRect casePlate(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y, 1200, 825};
}

TwipRect caseLid(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y - 120, 1215, 1095};
}

TwipRect caseAmount(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y + 360, 1215, i == 8 ? 135 : 255};
}

TwipRect caseBriefcase(int i) {
    const CellOrigin c = caseCell(i);
    return {c.x, c.y - 120, 1200, 975};
}

TwipRect boardLabel(int rank) {
    const int column = rank / kBoardRowsPerColumn;
    const int row = rank % kBoardRowsPerColumn;
    return {column == 0 ? 9840 : 12360, 600 + 600 * row, 2295, 375};
}

TwipRect boardPlate(int rank) {
    const TwipRect label = boardLabel(rank);
    return {label.left, label.top - 120, 2295, 495};
}

TwipRect historyLabel(int row) {
    return {240, 6600 + 600 * row, 1935, 375};
}
TwipRect historyPlate(int row) {
    return {240, 6480 + 600 * row, 2055, 495};
}

} // namespace layout
