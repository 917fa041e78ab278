#pragma once

#include "amounts.h"
#include "twips.h"

#include <QMargins>
#include <QWidget>

// The game window's design in twips: every control is placed from this table.
namespace layout {

using twips::Rect;

// Where the design is drawn in a window: scaled by `scale`, keeping its
// proportions, with its top left corner at `origin` (in pixels).
struct Scene {
    double scale = 1.0;
    QPoint origin;
    QSize size; // the design as drawn; empty: unbounded
};

// The scene of a design of that size fitted into a window of that size, centred.
[[nodiscard]] Scene fitScene(const Rect& design, QSize window);
// The scene a window draws its design in (the designed size until it is set).
[[nodiscard]] Scene sceneOf(const QWidget* window);
// Sets the window's scene and places again every control placed by place(),
// its text scaled too.
void setScene(QWidget* window, const Scene& scene);

// Places a control at a rectangle given in twips, in the scene of its window,
// and remembers the rectangle for setScene(). A control reaching past the
// design's edge is cut there, as the designed window's edge cuts it.
void place(QWidget* widget, const Rect& rect);

// The size a window of that design opens at: the designed size, or smaller with
// the same proportions when that, with the frame around it, does not fit the
// screen's available area.
[[nodiscard]] QSize openingSize(const Rect& design, QSize available, QMargins frame);

inline constexpr Rect kGameWindow{0, 0, 15870, 11370};
inline constexpr Rect kLogo{9960, 9960, 4560, 615};
inline constexpr Rect kStartButton{3120, 4800, 3855, 735};
inline constexpr Rect kNewGameButton{3120, 4800, 3855, 735};
inline constexpr Rect kAcceptButton{4200, 5040, 735, 375};
inline constexpr Rect kDeclineButton{4200, 5640, 735, 375};
inline constexpr Rect kOfferAmount{120, 5040, 3615, 975};
inline constexpr Rect kOfferPanel{-3970, 5040, 7935, 975};
inline constexpr Rect kHistoryTitle{240, 6120, 2655, 375};
inline constexpr Rect kHistoryCover{120, 6480, 2655, 3135};
// Beside the offer once it is sold, where the answer buttons stood.
inline constexpr Rect kSoldCaption{4080, 5280, 1920, 495};
// The frame around the history: its title, rows and cover, with room to spare.
inline constexpr Rect kHistoryFrame{30, 6030, 2970, 3690};
inline constexpr Rect kCounterCaption{3480, 8760, 3855, 615};
inline constexpr Rect kCounterNumber{2650, 8670, 615, 735};
inline constexpr Rect kPhoneGlyph{7635, 8730, 615, 615};
inline constexpr Rect kCaptionFrame{3360, 8700, 4155, 735};
inline constexpr Rect kNumberFrame{2580, 8700, 735, 735};
inline constexpr Rect kPhoneFrame{7560, 8700, 735, 735};
inline constexpr Rect kWinningsTitle{2400, 8160, 5775, 615};
inline constexpr Rect kWinningsAmount{2400, 8640, 5775, 855};
inline constexpr Rect kWinningsPanel{-3480, 8040, 11655, 1455};

// A place on the screen, in twips (1440 to the inch), where a case stands.
struct CaseSpot {
    int left = 0;
    int top = 0;
    friend bool operator==(const CaseSpot& a, const CaseSpot& b) {
        return a.left == b.left && a.top == b.top;
    }
};

// Where the own case is set down.
inline constexpr CaseSpot kOwnCaseSpot{4680, 6240};

// The case pyramid, by case index, where each case stands in its cell.
[[nodiscard]] Rect casePlate(int caseIndex);
[[nodiscard]] Rect caseLid(int caseIndex);
[[nodiscard]] Rect caseAmount(int caseIndex);
[[nodiscard]] Rect caseBriefcase(int caseIndex);
// The place of a case's briefcase in its cell: what a moved case is placed by.
[[nodiscard]] CaseSpot caseCellSpot(int caseIndex);

// A case moved to a spot (the place of its briefcase): the plate 100 twips and
// the amount 500 twips below it, each control keeping its size.
[[nodiscard]] Rect movedCasePlate(int caseIndex, CaseSpot spot);
[[nodiscard]] Rect movedCaseLid(int caseIndex, CaseSpot spot);
[[nodiscard]] Rect movedCaseAmount(int caseIndex, CaseSpot spot);
[[nodiscard]] Rect movedCaseBriefcase(int caseIndex, CaseSpot spot);

// The amount board, by rank.
[[nodiscard]] Rect boardAmount(int rank);
// The board's amounts stand in two columns, low to high downwards, the lower
// amounts on the left.
inline constexpr int kBoardRowsPerColumn = 11;
[[nodiscard]] Rect boardPlate(int rank);

// The offer history, by row.
[[nodiscard]] Rect historyAmount(int row);
[[nodiscard]] Rect historyPlate(int row);
// The mark beside the row of the offer the player sold the own case for.
[[nodiscard]] Rect historySoldMark(int row);

} // namespace layout
