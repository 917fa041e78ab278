#include "layout.h"

#include <QRegion>
#include <QVariant>
#include <algorithm>
#include <cmath>

namespace layout {

namespace {

struct PyramidRow {
    int firstIndex, firstX, y;
};
constexpr PyramidRow kRows[] = {{0, 480, 480}, {7, 1200, 1560}, {13, 1800, 2640}, {18, 2520, 3720}};
constexpr int kCaseStepX = 1320;
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

// Dynamic properties: the scene on the window, the rectangle and the designed
// font size on each control.
constexpr char kSceneScale[] = "zorbanSceneScale";
constexpr char kSceneOrigin[] = "zorbanSceneOrigin";
constexpr char kSceneSize[] = "zorbanSceneSize";
constexpr char kPlacedRect[] = "zorbanPlacedTwips";
constexpr char kDesignedFontPixels[] = "zorbanDesignedFontPixels";

void applyFontScale(QWidget* widget, double scale) {
    QVariant designed = widget->property(kDesignedFontPixels);
    if (!designed.isValid()) {
        if (widget->font().pixelSize() <= 0)
            return;
        designed = widget->font().pixelSize();
        widget->setProperty(kDesignedFontPixels, designed);
    }
    const int pixels = std::max(1, static_cast<int>(std::lround(designed.toInt() * scale)));
    if (widget->font().pixelSize() != pixels) {
        QFont font = widget->font();
        font.setPixelSize(pixels);
        widget->setFont(font);
    }
}

void setPlace(QWidget* widget, const Rect& rect, const Scene& scene) {
    const QRect geometry = twips::toPixels(rect, scene.scale, scene.origin);
    widget->setGeometry(geometry);
    applyFontScale(widget, scene.scale);
    const QRect drawn(scene.origin, scene.size);
    if (scene.size.isEmpty() || drawn.contains(geometry)) {
        if (!widget->mask().isEmpty())
            widget->clearMask();
    } else {
        widget->setMask(QRegion(drawn.intersected(geometry).translated(-geometry.topLeft())));
    }
}

} // namespace

Scene fitScene(const Rect& design, QSize window) {
    const double designWidth = double(design.width) / twips::kPerPixel;
    const double designHeight = double(design.height) / twips::kPerPixel;
    const double scale = std::min(window.width() / designWidth, window.height() / designHeight);
    if (scale <= 0)
        return {};
    const QPoint origin(
        static_cast<int>(std::lround((window.width() - designWidth * scale) / 2)),
        static_cast<int>(std::lround((window.height() - designHeight * scale) / 2)));
    return {scale, origin, twips::toPixels(design, scale, {}).size()};
}

Scene sceneOf(const QWidget* window) {
    const QVariant scale = window ? window->property(kSceneScale) : QVariant();
    if (!scale.isValid())
        return {};
    return {scale.toDouble(), window->property(kSceneOrigin).toPoint(),
            window->property(kSceneSize).toSize()};
}

void setScene(QWidget* window, const Scene& scene) {
    window->setProperty(kSceneScale, scene.scale);
    window->setProperty(kSceneOrigin, scene.origin);
    window->setProperty(kSceneSize, scene.size);
    for (QWidget* child : window->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const QVariant placed = child->property(kPlacedRect);
        if (!placed.isValid())
            continue;
        const QRect r = placed.toRect(); // the twips, in a QRect
        setPlace(child, Rect{r.x(), r.y(), r.width(), r.height()}, scene);
    }
}

void place(QWidget* widget, const Rect& rect) {
    widget->setProperty(kPlacedRect, QRect(rect.left, rect.top, rect.width, rect.height));
    setPlace(widget, rect, sceneOf(widget->parentWidget()));
}

QSize openingSize(const Rect& design, QSize available, QMargins frame) {
    const QSize designed = twips::toPixels(design).size();
    const QSize room(available.width() - frame.left() - frame.right(),
                     available.height() - frame.top() - frame.bottom());
    if (designed.width() <= room.width() && designed.height() <= room.height())
        return designed;
    const double scale = std::min(double(room.width()) / designed.width(),
                                  double(room.height()) / designed.height());
    return QSize(std::max(1, static_cast<int>(std::floor(designed.width() * scale))),
                 std::max(1, static_cast<int>(std::floor(designed.height() * scale))));
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

CaseSpot caseCellSpot(int i) {
    const Rect briefcase = caseBriefcase(i);
    return {briefcase.left, briefcase.top};
}

Rect movedCasePlate(int i, CaseSpot spot) {
    return movedTo(casePlate(i), spot.left, spot.top + kPlateBelowSpot);
}

Rect movedCaseLid(int i, CaseSpot spot) {
    return movedTo(caseLid(i), spot.left, spot.top);
}

Rect movedCaseAmount(int i, CaseSpot spot) {
    return movedTo(caseAmount(i), spot.left, spot.top + kAmountBelowSpot);
}

Rect movedCaseBriefcase(int i, CaseSpot spot) {
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
Rect historySoldMark(int row) {
    // Right of the plate, inside the area the history's cover hides.
    return {2310, 6540 + 600 * row, 450, 435};
}

} // namespace layout
