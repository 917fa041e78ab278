#pragma once

#include "game_record.h"

#include <QWidget>
#include <optional>

class QGridLayout;
class QLabel;
class QPushButton;
class QVBoxLayout;

// A finished game told offer by offer: the cases opened, the offer, the
// average of the amounts then on the board and the offer's share of it, the
// answer, and the chance that the own case held more; then what the own case
// held, what was won and what the deal gained or lost against the own case.
// Each row is reached with Tab and read whole by a screen reader.
class SummaryWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit SummaryWindow(QWidget* parent = nullptr);

    // Shows that game; none: says that no game has been finished yet.
    void setGame(const std::optional<game::GameRecord>& record);

    // The texts as shown, row by row, cell by cell (the table's rows, then
    // each line under it as one cell), and what each row says to a screen
    // reader; for tests and screenshots.
    [[nodiscard]] QList<QStringList> shownRows() const;
    [[nodiscard]] QStringList spokenRows() const;
    [[nodiscard]] QPushButton* closeButton() const { return closeButton_; }

  private:
    void retranslate();
    void showGame();
    void clearRows();
    // A row of the table: its cells under the columns' headers, and the whole
    // row in words for a voice; the offer taken stands out.
    void addOfferRow(const QStringList& cells, const QString& spoken, bool deal);
    void addLine(const QString& text, const QString& spoken);

    QLabel* title_ = nullptr;
    QGridLayout* table_ = nullptr;
    QVBoxLayout* lines_ = nullptr;
    QPushButton* closeButton_ = nullptr;
    QList<QWidget*> rows_; // the rows and lines, in reading order
    std::optional<game::GameRecord> record_;
};
