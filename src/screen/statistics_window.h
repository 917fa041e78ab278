#pragma once

#include "statistics.h"

#include <QWidget>
#include <functional>

class QChartView;
class QGridLayout;
class QLabel;
class QPushButton;
class QScrollArea;

// The player's figures over every finished game and a chart of the last game:
// each offer of the banker against the average of the amounts still on the
// board when it was made, the offer accepted, and what the own case held.
// It scrolls where the screen is smaller than its content; "Закрыть", Esc and
// Ctrl+W close it. "Начать заново" asks first, then asks the application to
// start the statistics afresh (startAfreshRequested).
//
// For a screen reader each figure is a text reached with Tab whose accessible
// name is its caption and its value in words a voice reads right, and the
// chart's accessible description sums the last game up in one sentence.
class StatisticsWindow final : public QWidget {
    Q_OBJECT
  public:
    explicit StatisticsWindow(const storage::Statistics& statistics, QWidget* parent = nullptr);

    // Shows these figures instead of the ones shown.
    void setStatistics(const storage::Statistics& statistics);
    // One line over the figures saying why they could not be written to the
    // file; none when problem is empty. Given as a function, the reason is
    // asked again in the new language when the language changes.
    void setProblem(const QString& problem);
    void setProblem(std::function<QString()> problem);
    [[nodiscard]] QLabel* problemLine() const { return problem_; }
    // The figures as shown, row by row: caption and value.
    [[nodiscard]] QList<QPair<QString, QString>> figures() const;
    [[nodiscard]] QChartView* chartView() const { return chartView_; }
    [[nodiscard]] QWidget* legend() const { return legend_; }
    [[nodiscard]] QPushButton* closeButton() const { return closeButton_; }
    [[nodiscard]] QPushButton* summaryButton() const { return summaryButton_; }

  signals:
    // The player has agreed to start the statistics afresh.
    void startAfreshRequested();
    // "Итоги партии": the last game told offer by offer.
    void summaryRequested();

  private:
    void askToStartAfresh();

  private:
    static constexpr int kFigureRows = 12;

    // Sets every text in the language spoken now.
    void retranslate();
    void showFigures(const storage::Statistics& statistics);
    void showLastGame(const storage::Statistics& statistics);
    // The last game as the chart shows it, in words for a screen reader.
    static QString chartSummary(const game::GameRecord& game);

    QGridLayout* figureGrid_ = nullptr;
    QLabel* noGames_ = nullptr;
    QLabel* problem_ = nullptr;
    QScrollArea* scroll_ = nullptr;
    QChartView* chartView_ = nullptr;
    QWidget* legend_ = nullptr; // under the chart
    QPushButton* closeButton_ = nullptr;
    QPushButton* startAfreshButton_ = nullptr;
    QPushButton* summaryButton_ = nullptr;

    storage::Statistics statistics_;       // as shown
    std::function<QString()> problemText_; // as given to setProblem()
};
