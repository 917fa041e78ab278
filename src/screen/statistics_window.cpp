#include "statistics_window.h"

#include "language.h"
#include "rounds.h"
#include "shown_texts.h"
#include "side_windows.h"
#include "spoken_numbers.h"
#include "widgets.h"
#include "window_fit.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QScatterSeries>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace {

// The chart counts in thousands, so that its labels stay short.
constexpr double kChartUnit = 1000;

// The chart's colours on the game's dark plate.
const QColor kChartBackground{0x0E, 0x0B, 0x24};
const QColor kChartText{0xFF, 0xE9, 0xB0};
const QColor kChartGrid{0x3A, 0x2E, 0x6A};
const QColor kOfferColour{0xF2, 0xC1, 0x4E};
const QColor kAverageColour{0x8E, 0xC5, 0xFF};
const QColor kExchangeColour{0xD9, 0x9B, 0xFF};
const QColor kOwnCaseColour{0xFF, 0xFF, 0xFF};
const QColor kAcceptedColour{0xFF, 0x6B, 0x6B};

// A legend entry's mark: a short line, a dot or a star, as the series draws it.
QPixmap legendMark(const QColor& colour, bool line, bool dashed, bool star, bool dot) {
    const int side = 24;
    QPixmap mark(side, side / 2 + 6);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    const QPointF centre(side / 2.0, mark.height() / 2.0);
    if (line) {
        QPen pen(colour, 2, dashed ? Qt::DashLine : Qt::SolidLine);
        painter.setPen(pen);
        painter.drawLine(QPointF(1, centre.y()), QPointF(side - 1, centre.y()));
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    if (dot)
        painter.drawEllipse(centre, 4, 4);
    if (star) {
        QPolygonF points;
        for (int i = 0; i < 10; ++i) {
            const double radius = i % 2 == 0 ? 8 : 3.5;
            const double angle = M_PI / 2 + i * M_PI / 5;
            points << centre + QPointF(radius * std::cos(angle), -radius * std::sin(angle));
        }
        painter.drawPolygon(points);
    }
    return mark;
}

// A sum as a voice reads it right in the language spoken now (the shown
// grouped digits are not).
QString spokenSum(double amount) {
    return i18n::spokenSum(amount, i18n::currentLanguage());
}

} // namespace

StatisticsWindow::StatisticsWindow(const storage::Statistics& statistics, QWidget* parent)
    : QWidget(parent) {
    // The figures beside the chart, so that both fit a low screen (1024 x 600)
    // with the chart's legend; they scroll only in a smaller window. The
    // buttons stay in sight.
    auto* content = new QWidget;
    auto* row = new QHBoxLayout(content);
    auto* figuresColumn = new QVBoxLayout;
    problem_ = new FocusableText;
    problem_->setWordWrap(true);
    problem_->hide();
    figuresColumn->addWidget(problem_);
    figureGrid_ = new QGridLayout;
    figureGrid_->setColumnStretch(1, 1);
    for (int row = 0; row < kFigureRows; ++row) {
        figureGrid_->addWidget(new QLabel, row, 0);
        figureGrid_->addWidget(new FocusableText, row, 1);
    }
    figuresColumn->addLayout(figureGrid_);
    figuresColumn->addStretch(1);
    row->addLayout(figuresColumn);
    noGames_ = new FocusableText;
    noGames_->setAlignment(Qt::AlignCenter);
    row->addWidget(noGames_, 1);
    chartView_ = new QChartView;
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(460, 330);
    chartView_->setBackgroundBrush(kChartBackground);
    // The legend under the chart, in lines of its own that wrap, so that no
    // name is cut short in either language.
    legend_ = new QWidget;
    auto* chartColumn = new QVBoxLayout;
    chartColumn->addWidget(chartView_, 1);
    chartColumn->addWidget(legend_);
    row->addLayout(chartColumn, 1);
    scroll_ = new QScrollArea;
    auto* scroll = scroll_;
    // Tab goes through the figures, not to the area holding them.
    scroll->setFocusPolicy(Qt::NoFocus);
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* buttons = new QDialogButtonBox;
    summaryButton_ = buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    startAfreshButton_ = buttons->addButton(QString(), QDialogButtonBox::ResetRole);
    connect(summaryButton_, &QPushButton::clicked, this, &StatisticsWindow::summaryRequested);
    closeButton_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    connect(startAfreshButton_, &QPushButton::clicked, this, &StatisticsWindow::askToStartAfresh);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    window_fit::addCloseKeys(this);

    auto* column = new QVBoxLayout(this);
    column->addWidget(scroll, 1);
    column->addWidget(buttons);
    // Tab order: the figures as read, the chart, the buttons.
    QWidget* previous = problem_;
    for (int row = 0; row < kFigureRows; ++row) {
        QWidget* value = figureGrid_->itemAtPosition(row, 1)->widget();
        setTabOrder(previous, value);
        previous = value;
    }
    for (QWidget* next :
         {static_cast<QWidget*>(noGames_), static_cast<QWidget*>(chartView_),
          static_cast<QWidget*>(summaryButton_), static_cast<QWidget*>(startAfreshButton_),
          static_cast<QWidget*>(closeButton_)}) {
        setTabOrder(previous, next);
        previous = next;
    }
    statistics_ = statistics;
    retranslate(); // shows the figures
    i18n::followLanguage(this, [this] { retranslate(); });
    side_windows::applyGameLook(this);
    resize(960, 470);
}

void StatisticsWindow::askToStartAfresh() {
    auto* question = new QMessageBox(
        QMessageBox::Question, tr("Статистика"),
        tr("Начать статистику заново? Нынешний файл останется рядом как резервная копия."),
        QMessageBox::Yes | QMessageBox::No, this);
    side_windows::applyGameLook(question);
    question->button(QMessageBox::Yes)->setText(tr("Да"));
    question->button(QMessageBox::No)->setText(tr("Нет"));
    question->setDefaultButton(QMessageBox::No);
    question->setAttribute(Qt::WA_DeleteOnClose);
    connect(question, &QMessageBox::finished, this, [this](int answer) {
        if (answer == QMessageBox::Yes)
            emit startAfreshRequested();
    });
    question->open();
}

void StatisticsWindow::setStatistics(const storage::Statistics& statistics) {
    statistics_ = statistics;
    showFigures(statistics);
    showLastGame(statistics);
}

void StatisticsWindow::setProblem(const QString& problem) {
    setProblem([problem] { return problem; });
}

void StatisticsWindow::setProblem(std::function<QString()> problemNow) {
    problemText_ = std::move(problemNow);
    const QString problem = problemText_ ? problemText_() : QString();
    problem_->setText(tr("Статистика не записана в файл: %1").arg(problem));
    problem_->setAccessibleName(problem_->text());
    problem_->setVisible(!problem.isEmpty());
}

void StatisticsWindow::retranslate() {
    setWindowTitle(tr("Статистика"));
    noGames_->setText(tr("Сыгранных игр пока нет."));
    noGames_->setAccessibleName(noGames_->text());
    scroll_->setAccessibleName(tr("Цифры всех игр и график последней"));
    summaryButton_->setText(tr("Итоги партии"));
    startAfreshButton_->setText(tr("Начать заново"));
    closeButton_->setText(tr("Закрыть"));
    setProblem(problemText_);
    // The figures' captions and the chart are built with their texts.
    setStatistics(statistics_);
}

void StatisticsWindow::showFigures(const storage::Statistics& statistics) {
    struct Row {
        QString caption;
        QString value;
        QString spoken;    // the value for a voice
        bool part = false; // a part of the row above it, set in under it
    };
    const auto count = [](qint64 number) {
        return Row{{}, QString::number(number), QString::number(number)};
    };
    const auto sum = [](double amount) {
        return Row{{}, i18n::shownAmount(amount), spokenSum(amount)};
    };
    const auto signedSum = [](double amount) {
        if (amount > 0)
            return Row{{},
                       QStringLiteral("+") + i18n::shownAmount(amount),
                       tr("плюс %1").arg(spokenSum(amount))};
        if (amount < 0)
            return Row{{}, i18n::shownAmount(amount), tr("минус %1").arg(spokenSum(amount))};
        return Row{{}, i18n::shownAmount(amount), spokenSum(amount)};
    };
    const auto row = [](const QString& caption, Row value, bool part = false) {
        value.caption = caption;
        value.part = part;
        return value;
    };
    const QList<Row> rows = {
        row(tr("Сыграно игр:"), count(statistics.gamesPlayed())),
        row(tr("Игр брошено:"), count(statistics.gamesLeft())),
        row(tr("Выиграно всего:"), sum(statistics.totalWinnings())),
        row(tr("Средний выигрыш:"), sum(statistics.averageWinnings())),
        row(tr("Лучший выигрыш:"), sum(statistics.bestWinnings())),
        row(tr("Принято предложений банка:"), count(statistics.offersAccepted())),
        row(tr("больше, чем в своём чемодане:"), count(statistics.dealsAboveOwnCase()), true),
        row(tr("меньше, чем в своём чемодане:"), count(statistics.dealsBelowOwnCase()), true),
        row(tr("столько же:"), count(statistics.dealsEqualToOwnCase()), true),
        row(tr("выгода сделок против своих чемоданов:"), signedSum(statistics.dealsGain()), true),
        row(tr("Обменов чемоданов:"), count(statistics.exchangesTaken())),
        row(tr("из них удачных:"), count(statistics.exchangesPaidOff()), true),
    };
    Q_ASSERT(rows.size() == kFigureRows);
    for (int i = 0; i < kFigureRows; ++i) {
        auto* caption = static_cast<QLabel*>(figureGrid_->itemAtPosition(i, 0)->widget());
        auto* value = static_cast<QLabel*>(figureGrid_->itemAtPosition(i, 1)->widget());
        caption->setText(rows[i].caption);
        caption->setIndent(rows[i].part ? caption->fontMetrics().averageCharWidth() * 3 : -1);
        value->setText(rows[i].value);
        // Caption and value as one text, as a sighted player reads the row.
        value->setAccessibleName(rows[i].caption + QLatin1Char(' ') + rows[i].spoken);
    }
}

QList<QPair<QString, QString>> StatisticsWindow::figures() const {
    QList<QPair<QString, QString>> rows;
    for (int row = 0; row < figureGrid_->rowCount(); ++row) {
        const QLayoutItem* caption = figureGrid_->itemAtPosition(row, 0);
        const QLayoutItem* value = figureGrid_->itemAtPosition(row, 1);
        if (caption && value)
            rows.append({static_cast<QLabel*>(caption->widget())->text(),
                         static_cast<QLabel*>(value->widget())->text()});
    }
    return rows;
}

QString StatisticsWindow::chartSummary(const game::GameRecord& game) {
    QList<double> amounts;
    int exchanges = 0;
    for (const game::OfferRecord& offer : game.offers) {
        if (offer.exchange)
            ++exchanges;
        else
            amounts << offer.amount;
    }
    QStringList sentences;
    if (amounts.isEmpty())
        sentences << tr("Последняя игра: банк не предлагал денег.");
    else
        sentences << tr("Последняя игра, предложений банка: %1; первое %2, последнее %3, "
                        "наибольшее %4.")
                         .arg(amounts.size())
                         .arg(spokenSum(amounts.first()), spokenSum(amounts.last()),
                              spokenSum(*std::max_element(amounts.begin(), amounts.end())));
    if (exchanges > 0)
        sentences << tr("Предложений обмена: %1.").arg(exchanges);
    sentences << (game.acceptedOffer
                      ? tr("Принято предложение %1.").arg(spokenSum(*game.acceptedOffer))
                      : tr("Ни одно предложение не принято."));
    sentences << tr("В своём чемодане: %1.").arg(spokenSum(game.ownCaseAmount));
    return sentences.join(QLatin1Char(' '));
}

void StatisticsWindow::showLastGame(const storage::Statistics& statistics) {
    const std::optional<game::GameRecord>& last = statistics.lastGame();
    noGames_->setVisible(!last);
    chartView_->setVisible(last.has_value());
    chartView_->setAccessibleName(tr("График последней игры"));
    chartView_->setAccessibleDescription(last ? chartSummary(*last) : QString());
    auto* chart = new QChart;
    chart->setTitle(tr("Последняя игра: предложения банка, тысячи"));
    chart->legend()->hide();
    chart->setBackgroundBrush(kChartBackground);
    chart->setBackgroundPen(QPen(kOfferColour, 2));
    chart->setTitleBrush(kChartText);
    // The axes' numbers grouped as the figures are.
    chart->setLocale(i18n::currentLanguage() == i18n::kEnglish
                         ? QLocale(QLocale::English, QLocale::UnitedStates)
                         : QLocale(QLocale::Russian, QLocale::Russia));
    chart->setLocalizeNumbers(true);
    if (!legend_->layout()) {
        auto* grid = new QGridLayout(legend_);
        grid->setContentsMargins(0, 0, 0, 0);
        grid->setColumnStretch(1, 1);
        grid->setColumnStretch(3, 1);
    }
    while (QLayoutItem* item = legend_->layout()->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    legend_->setVisible(last.has_value());
    QChart* old = chartView_->chart();
    chartView_->setChart(chart);
    delete old;
    if (!last)
        return;

    auto* offers = new QLineSeries;
    offers->setName(tr("Предложение банка"));
    offers->setPointsVisible(true);
    offers->setPen(QPen(kOfferColour, 3));
    auto* exchanges = new QScatterSeries;
    exchanges->setName(tr("Предложение обмена"));
    exchanges->setMarkerSize(12);
    exchanges->setColor(kExchangeColour);
    exchanges->setBorderColor(kExchangeColour);
    auto* average = new QLineSeries;
    average->setName(tr("Среднее на табло"));
    average->setPointsVisible(true);
    average->setPen(QPen(kAverageColour, 2));
    auto* ownCase = new QLineSeries;
    ownCase->setName(tr("Свой чемодан"));
    auto* accepted = new QScatterSeries;
    accepted->setName(tr("Принятое предложение"));
    accepted->setMarkerShape(QScatterSeries::MarkerShapeStar);
    accepted->setMarkerSize(22);
    accepted->setColor(kAcceptedColour);
    accepted->setBorderColor(kAcceptedColour);

    const int count = static_cast<int>(last->offers.size());
    double highest = last->ownCaseAmount;
    for (int i = 0; i < count; ++i) {
        const game::OfferRecord& offer = last->offers[static_cast<size_t>(i)];
        const double x = i + 1;
        // An exchange has no amount: it is marked on the average it was made at.
        if (offer.exchange)
            exchanges->append(x, offer.boardAverage / kChartUnit);
        else
            offers->append(x, offer.amount / kChartUnit);
        average->append(x, offer.boardAverage / kChartUnit);
        // Where the record does not say which offer was accepted (older
        // files), the first money offer of that amount.
        const bool isAccepted = last->acceptedAt ? *last->acceptedAt == i
                                                 : !offer.exchange && last->acceptedOffer &&
                                                       offer.amount == *last->acceptedOffer &&
                                                       accepted->count() == 0;
        if (isAccepted)
            accepted->append(x, offer.amount / kChartUnit);
        highest = std::max({highest, offer.amount, offer.boardAverage});
    }
    const double left = 0.5;
    const double right = std::max(count, 1) + 0.5;
    ownCase->append(left, last->ownCaseAmount / kChartUnit);
    ownCase->append(right, last->ownCaseAmount / kChartUnit);

    ownCase->setPen(QPen(kOwnCaseColour, 2, Qt::DashLine));
    const bool withExchanges = exchanges->count() > 0;
    const bool withAccepted = accepted->count() > 0;
    chart->addSeries(average);
    chart->addSeries(offers);
    // A game without an exchange offer names none in the legend.
    if (withExchanges)
        chart->addSeries(exchanges);
    else
        delete exchanges;
    chart->addSeries(ownCase);
    if (withAccepted)
        chart->addSeries(accepted);
    else
        delete accepted;

    // Each offer named by the cases opened when it was made.
    auto* axisX = new QCategoryAxis;
    axisX->setTitleText(tr("Открыто чемоданов"));
    axisX->setRange(left, right);
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int i = 0; i < count && i < game::kOffersPerGame; ++i)
        axisX->append(QString::number(game::kOfferPoints[static_cast<size_t>(i)].openedCount),
                      i + 1);
    auto* axisY = new QValueAxis;
    // A little room above the highest point, so that a line there (the own
    // case's, often) is not drawn on the chart's border.
    axisY->setRange(0, highest * 1.04 / kChartUnit);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(axisX), static_cast<QAbstractAxis*>(axisY)}) {
        axis->setLabelsColor(kChartText);
        axis->setTitleBrush(kChartText);
        axis->setGridLineColor(kChartGrid);
        axis->setLinePenColor(kChartText);
    }
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    struct Entry {
        QAbstractSeries* series;
        QColor colour;
        bool line, dashed, star, dot;
    };
    QList<Entry> entries = {{offers, kOfferColour, true, false, false, true},
                            {average, kAverageColour, true, false, false, true}};
    if (withExchanges)
        entries.append({exchanges, kExchangeColour, false, false, false, true});
    entries.append({ownCase, kOwnCaseColour, true, true, false, false});
    if (withAccepted)
        entries.append({accepted, kAcceptedColour, false, false, true, false});
    auto* grid = static_cast<QGridLayout*>(legend_->layout());
    for (int i = 0; i < entries.size(); ++i) {
        auto* mark = new QLabel;
        mark->setPixmap(legendMark(entries[i].colour, entries[i].line, entries[i].dashed,
                                   entries[i].star, entries[i].dot));
        auto* name = new QLabel(entries[i].series->name());
        grid->addWidget(mark, i / 2, (i % 2) * 2);
        grid->addWidget(name, i / 2, (i % 2) * 2 + 1);
    }
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
}
