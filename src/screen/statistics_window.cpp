#include "statistics_window.h"

#include "language.h"
#include "shown_texts.h"
#include "window_fit.h"

#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QMessageBox>
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

QLabel* valueLabel(const QString& text) {
    auto* label = new QLabel(text);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
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
    problem_ = new QLabel;
    problem_->setWordWrap(true);
    problem_->hide();
    figuresColumn->addWidget(problem_);
    figureGrid_ = new QGridLayout;
    figureGrid_->setColumnStretch(1, 1);
    figuresColumn->addLayout(figureGrid_);
    figuresColumn->addStretch(1);
    row->addLayout(figuresColumn);
    noGames_ = new QLabel;
    noGames_->setAlignment(Qt::AlignCenter);
    row->addWidget(noGames_, 1);
    chartView_ = new QChartView;
    chartView_->setRenderHint(QPainter::Antialiasing);
    chartView_->setMinimumSize(460, 360);
    row->addWidget(chartView_, 1);
    auto* scroll = new QScrollArea;
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* buttons = new QDialogButtonBox;
    startAfreshButton_ = buttons->addButton(QString(), QDialogButtonBox::ResetRole);
    closeButton_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    connect(startAfreshButton_, &QPushButton::clicked, this, &StatisticsWindow::askToStartAfresh);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    window_fit::addCloseKeys(this);

    auto* column = new QVBoxLayout(this);
    column->addWidget(scroll, 1);
    column->addWidget(buttons);
    statistics_ = statistics;
    retranslate(); // shows the figures
    i18n::followLanguage(this, [this] { retranslate(); });
    resize(960, 470);
}

void StatisticsWindow::askToStartAfresh() {
    auto* question = new QMessageBox(
        QMessageBox::Question, tr("Статистика"),
        tr("Начать статистику заново? Нынешний файл останется рядом как резервная копия."),
        QMessageBox::Yes | QMessageBox::No, this);
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
    problemText_ = problem;
    problem_->setText(tr("Статистика не записана в файл: %1").arg(problem));
    problem_->setVisible(!problem.isEmpty());
}

void StatisticsWindow::retranslate() {
    setWindowTitle(tr("Статистика"));
    noGames_->setText(tr("Сыгранных игр пока нет."));
    startAfreshButton_->setText(tr("Начать заново"));
    closeButton_->setText(tr("Закрыть"));
    setProblem(problemText_);
    // The figures' captions and the chart are built with their texts.
    setStatistics(statistics_);
}

void StatisticsWindow::showFigures(const storage::Statistics& statistics) {
    while (QLayoutItem* item = figureGrid_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    const auto signedAmount = [](double amount) {
        return amount > 0 ? QStringLiteral("+") + i18n::shownAmount(amount)
                          : i18n::shownAmount(amount);
    };
    struct Row {
        QString caption;
        QString value;
        bool part = false; // a part of the row above it, set in under it
    };
    const QList<Row> rows = {
        {tr("Сыграно игр:"), QString::number(statistics.gamesPlayed())},
        {tr("Игр брошено:"), QString::number(statistics.gamesLeft())},
        {tr("Выиграно всего:"), i18n::shownAmount(statistics.totalWinnings())},
        {tr("Средний выигрыш:"), i18n::shownAmount(statistics.averageWinnings())},
        {tr("Лучший выигрыш:"), i18n::shownAmount(statistics.bestWinnings())},
        {tr("Принято предложений банка:"), QString::number(statistics.offersAccepted())},
        {tr("больше, чем в своём чемодане:"), QString::number(statistics.dealsAboveOwnCase()),
         true},
        {tr("меньше, чем в своём чемодане:"), QString::number(statistics.dealsBelowOwnCase()),
         true},
        {tr("столько же:"), QString::number(statistics.dealsEqualToOwnCase()), true},
        {tr("выгода сделок против своих чемоданов:"), signedAmount(statistics.dealsGain()), true},
        {tr("Обменов чемоданов:"), QString::number(statistics.exchangesTaken())},
        {tr("из них удачных:"), QString::number(statistics.exchangesPaidOff()), true},
    };
    for (int row = 0; row < rows.size(); ++row) {
        auto* caption = new QLabel(rows[row].caption);
        if (rows[row].part)
            caption->setIndent(caption->fontMetrics().averageCharWidth() * 3);
        figureGrid_->addWidget(caption, row, 0);
        figureGrid_->addWidget(valueLabel(rows[row].value), row, 1);
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

void StatisticsWindow::showLastGame(const storage::Statistics& statistics) {
    const std::optional<game::GameRecord>& last = statistics.lastGame();
    noGames_->setVisible(!last);
    chartView_->setVisible(last.has_value());
    auto* chart = new QChart;
    chart->setTitle(tr("Последняя игра: предложения банка, тысячи"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The axes' numbers grouped as the figures are.
    chart->setLocale(i18n::currentLanguage() == i18n::kEnglish
                         ? QLocale(QLocale::English, QLocale::UnitedStates)
                         : QLocale(QLocale::Russian, QLocale::Russia));
    chart->setLocalizeNumbers(true);
    QChart* old = chartView_->chart();
    chartView_->setChart(chart);
    delete old;
    if (!last)
        return;

    auto* offers = new QLineSeries;
    offers->setName(tr("Предложение банка"));
    offers->setPointsVisible(true);
    auto* exchanges = new QScatterSeries;
    exchanges->setName(tr("Предложение обмена"));
    exchanges->setMarkerSize(12);
    auto* average = new QLineSeries;
    average->setName(tr("Среднее на табло"));
    average->setPointsVisible(true);
    auto* ownCase = new QLineSeries;
    ownCase->setName(tr("Свой чемодан"));
    auto* accepted = new QScatterSeries;
    accepted->setName(tr("Принятое предложение"));
    accepted->setMarkerShape(QScatterSeries::MarkerShapeStar);
    accepted->setMarkerSize(22);
    accepted->setColor(QColor(0xd0, 0x20, 0x20));

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

    QPen dashed = ownCase->pen();
    dashed.setStyle(Qt::DashLine);
    dashed.setWidth(2);
    ownCase->setPen(dashed);
    chart->addSeries(average);
    chart->addSeries(offers);
    // A game without an exchange offer names none in the legend.
    if (exchanges->count() > 0)
        chart->addSeries(exchanges);
    else
        delete exchanges;
    chart->addSeries(ownCase);
    if (accepted->count() > 0)
        chart->addSeries(accepted);
    else
        delete accepted;

    auto* axisX = new QValueAxis;
    axisX->setTitleText(tr("Предложение"));
    axisX->setRange(left, right);
    axisX->setTickType(QValueAxis::TicksDynamic);
    axisX->setTickAnchor(1);
    axisX->setTickInterval(1);
    axisX->setLabelFormat(QStringLiteral("%d"));
    auto* axisY = new QValueAxis;
    // A little room above the highest point, so that a line there (the own
    // case's, often) is not drawn on the chart's border.
    axisY->setRange(0, highest * 1.04 / kChartUnit);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
}
