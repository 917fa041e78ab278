#include "chart_entry.h"

#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

namespace {

// The chart counts in thousands, so that its labels stay short.
constexpr double kChartUnit = 1000;

} // namespace

extern "C" QWidget* zorbanChartCreate() {
    auto* view = new QChartView;
    view->setRenderHint(QPainter::Antialiasing);
    return view;
}

// The chart's texts are the statistics window's, translated with them.
extern "C" void zorbanChartShow(QWidget* view, const game::GameRecord* last,
                                const QLocale* locale) {
    auto* chartView = qobject_cast<QChartView*>(view);
    if (!chartView)
        return;
    auto* chart = new QChart;
    chart->setTitle(QCoreApplication::translate("StatisticsWindow",
                                                "Последняя игра: предложения банка, тысячи"));
    chart->legend()->setAlignment(Qt::AlignBottom);
    // The axes' numbers grouped as the figures are.
    chart->setLocale(*locale);
    chart->setLocalizeNumbers(true);
    QChart* old = chartView->chart();
    chartView->setChart(chart);
    delete old;
    if (!last)
        return;

    auto* offers = new QLineSeries;
    offers->setName(QCoreApplication::translate("StatisticsWindow", "Предложение банка"));
    offers->setPointsVisible(true);
    auto* exchanges = new QScatterSeries;
    exchanges->setName(QCoreApplication::translate("StatisticsWindow", "Предложение обмена"));
    exchanges->setMarkerSize(12);
    auto* average = new QLineSeries;
    average->setName(QCoreApplication::translate("StatisticsWindow", "Среднее на табло"));
    average->setPointsVisible(true);
    auto* ownCase = new QLineSeries;
    ownCase->setName(QCoreApplication::translate("StatisticsWindow", "Свой чемодан"));
    auto* accepted = new QScatterSeries;
    accepted->setName(QCoreApplication::translate("StatisticsWindow", "Принятое предложение"));
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
    axisX->setTitleText(QCoreApplication::translate("StatisticsWindow", "Предложение"));
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
