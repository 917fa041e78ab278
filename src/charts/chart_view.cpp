#include "chart_entry.h"
#include "chart_style.h"
#include "rounds.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCoreApplication>
#include <QLineSeries>
#include <QPainter>
#include <QScatterSeries>
#include <QValueAxis>
#include <algorithm>

using namespace chart_style;

extern "C" QWidget* zorbanChartCreate() {
    auto* view = new QChartView;
    view->setRenderHint(QPainter::Antialiasing);
    view->setBackgroundBrush(kBackground);
    return view;
}

// The chart's texts are the statistics window's, translated with them.
extern "C" int zorbanChartShow(QWidget* view, const game::GameRecord* last, const QLocale* locale) {
    auto* chartView = qobject_cast<QChartView*>(view);
    if (!chartView)
        return 0;
    auto* chart = new QChart;
    chart->setTitle(QCoreApplication::translate("StatisticsWindow",
                                                "Последняя игра: предложения банка, тысячи"));
    chart->legend()->hide();
    chart->setBackgroundBrush(kBackground);
    chart->setBackgroundPen(QPen(kOffer, 2));
    chart->setTitleBrush(kText);
    // The axes' numbers grouped as the figures are.
    chart->setLocale(*locale);
    chart->setLocalizeNumbers(true);
    QChart* old = chartView->chart();
    chartView->setChart(chart);
    delete old;
    if (!last)
        return 0;

    auto* offers = new QLineSeries;
    offers->setName(QCoreApplication::translate("StatisticsWindow", "Предложение банка"));
    offers->setPointsVisible(true);
    offers->setPen(QPen(kOffer, 3));
    auto* exchanges = new QScatterSeries;
    exchanges->setName(QCoreApplication::translate("StatisticsWindow", "Предложение обмена"));
    exchanges->setMarkerSize(12);
    exchanges->setColor(kExchange);
    exchanges->setBorderColor(kExchange);
    auto* average = new QLineSeries;
    average->setName(QCoreApplication::translate("StatisticsWindow", "Среднее на табло"));
    average->setPointsVisible(true);
    average->setPen(QPen(kAverage, 2));
    auto* ownCase = new QLineSeries;
    ownCase->setName(QCoreApplication::translate("StatisticsWindow", "Свой чемодан"));
    auto* accepted = new QScatterSeries;
    accepted->setName(QCoreApplication::translate("StatisticsWindow", "Принятое предложение"));
    accepted->setMarkerShape(QScatterSeries::MarkerShapeStar);
    accepted->setMarkerSize(22);
    accepted->setColor(kAccepted);
    accepted->setBorderColor(kAccepted);

    const int count = static_cast<int>(last->offers.size());
    double highest = last->ownCaseAmount;
    for (int i = 0; i < count; ++i) {
        const game::OfferRecord& offer = last->offers[static_cast<size_t>(i)];
        const double x = i + 1;
        // An exchange has no amount: it is marked on the average it was made at.
        if (offer.exchange)
            exchanges->append(x, offer.boardAverage / kUnit);
        else
            offers->append(x, offer.amount / kUnit);
        average->append(x, offer.boardAverage / kUnit);
        // Where the record does not say which offer was accepted (older
        // files), the first money offer of that amount.
        const bool isAccepted = last->acceptedAt ? *last->acceptedAt == i
                                                 : !offer.exchange && last->acceptedOffer &&
                                                       offer.amount == *last->acceptedOffer &&
                                                       accepted->count() == 0;
        if (isAccepted)
            accepted->append(x, offer.amount / kUnit);
        highest = std::max({highest, offer.amount, offer.boardAverage});
    }
    const double left = 0.5;
    const double right = std::max(count, 1) + 0.5;
    ownCase->append(left, last->ownCaseAmount / kUnit);
    ownCase->append(right, last->ownCaseAmount / kUnit);

    ownCase->setPen(QPen(kOwnCase, 2, Qt::DashLine));
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
    axisX->setTitleText(QCoreApplication::translate("StatisticsWindow", "Открыто чемоданов"));
    axisX->setRange(left, right);
    axisX->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    for (int i = 0; i < count && i < game::kOffersPerGame; ++i)
        axisX->append(QString::number(game::kOfferPoints[static_cast<size_t>(i)].openedCount),
                      i + 1);
    auto* axisY = new QValueAxis;
    // A little room above the highest point, so that a line there (the own
    // case's, often) is not drawn on the chart's border.
    axisY->setRange(0, highest * 1.04 / kUnit);
    axisY->applyNiceNumbers();
    axisY->setLabelFormat(QStringLiteral("%.0f"));
    for (QAbstractAxis* axis :
         {static_cast<QAbstractAxis*>(axisX), static_cast<QAbstractAxis*>(axisY)}) {
        axis->setLabelsColor(kText);
        axis->setTitleBrush(kText);
        axis->setGridLineColor(kGrid);
        axis->setLinePenColor(kText);
    }
    chart->addAxis(axisX, Qt::AlignBottom);
    chart->addAxis(axisY, Qt::AlignLeft);
    for (QAbstractSeries* series : chart->series()) {
        series->attachAxis(axisX);
        series->attachAxis(axisY);
    }
    return (withExchanges ? 1 : 0) | (withAccepted ? 2 : 0);
}
