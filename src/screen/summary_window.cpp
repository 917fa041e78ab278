#include "summary_window.h"

#include "game_fonts.h"
#include "game_summary.h"
#include "language.h"
#include "shown_texts.h"
#include "side_windows.h"
#include "spoken_numbers.h"
#include "widgets.h"
#include "window_fit.h"

#include <QDialogButtonBox>
#include <QFrame>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace {

constexpr int kColumns = 6;

QString spoken(double amount) {
    return i18n::spokenSum(amount, i18n::currentLanguage());
}

QString answerText(game::OfferAnswer answer, bool exchange) {
    switch (answer) {
    case game::OfferAnswer::Accepted:
        return exchange ? SummaryWindow::tr("ДА") : SummaryWindow::tr("ДА, сделка");
    case game::OfferAnswer::Declined:
        return SummaryWindow::tr("НЕТ");
    case game::OfferAnswer::NotAsked:
        return SummaryWindow::tr("после сделки");
    case game::OfferAnswer::Unknown:
        break;
    }
    return SummaryWindow::tr("не записан");
}

QString chanceText(const game::OfferSummary& offer) {
    const std::optional<double> chance = offer.chanceOwnCaseHigher();
    if (!chance)
        return QStringLiteral("—");
    return SummaryWindow::tr("%1 из %2 (%3)")
        .arg(offer.amountsAbove)
        .arg(offer.amountsInPlay)
        .arg(i18n::shownPercent(*chance));
}

} // namespace

SummaryWindow::SummaryWindow(QWidget* parent) : QWidget(parent) {
    title_ = new QLabel;
    title_->setFont(fonts::caption(15));
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    column->addWidget(title_);
    // The table on a plate of the game's, as compact as its columns.
    auto* plate = new QFrame;
    plate->setObjectName(QStringLiteral("plate"));
    table_ = new QGridLayout(plate);
    table_->setHorizontalSpacing(18);
    table_->setColumnStretch(kColumns, 1);
    column->addWidget(plate);
    column->addSpacing(8);
    lines_ = new QVBoxLayout;
    column->addLayout(lines_);
    column->addStretch(1);
    auto* scroll = new QScrollArea;
    scroll->setFocusPolicy(Qt::NoFocus); // Tab goes through the rows
    scroll->setWidget(content);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* buttons = new QDialogButtonBox;
    closeButton_ = buttons->addButton(QString(), QDialogButtonBox::RejectRole);
    connect(closeButton_, &QPushButton::clicked, this, &QWidget::close);
    window_fit::addCloseKeys(this);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(scroll, 1);
    outer->addWidget(buttons);
    retranslate();
    i18n::followLanguage(this, [this] { retranslate(); });
    side_windows::applyGameLook(this);
    resize(880, 460);
}

void SummaryWindow::setGame(const std::optional<game::GameRecord>& record) {
    record_ = record;
    showGame();
}

void SummaryWindow::retranslate() {
    setWindowTitle(tr("Итоги партии"));
    title_->setText(tr("Итоги партии"));
    closeButton_->setText(tr("Закрыть"));
    showGame();
}

void SummaryWindow::clearRows() {
    while (QLayoutItem* item = table_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    while (QLayoutItem* item = lines_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    rows_.clear();
}

void SummaryWindow::addOfferRow(const QStringList& cells, const QString& spoken, bool deal) {
    const int row = table_->rowCount();
    // The band under the cells takes the focus for the whole row.
    auto* band = new FocusableText;
    band->setAccessibleName(spoken);
    table_->addWidget(band, row, 0, 1, kColumns);
    for (int c = 0; c < cells.size(); ++c) {
        auto* cell = new QLabel(cells[c]);
        cell->setAlignment(c == 4 ? Qt::AlignLeft | Qt::AlignVCenter
                                  : Qt::AlignRight | Qt::AlignVCenter);
        cell->setContentsMargins(4, 2, 4, 2);
        cell->setFont(fonts::caption(side_windows::kTextPoints, deal));
        table_->addWidget(cell, row, c);
    }
    if (!rows_.isEmpty())
        setTabOrder(rows_.last(), band);
    rows_ << band;
}

void SummaryWindow::addLine(const QString& text, const QString& spoken) {
    auto* line = new FocusableText;
    line->setText(text);
    line->setFont(fonts::caption(side_windows::kTextPoints, false));
    line->setWordWrap(true);
    line->setAccessibleName(spoken);
    lines_->addWidget(line);
    if (!rows_.isEmpty())
        setTabOrder(rows_.last(), line);
    rows_ << line;
}

void SummaryWindow::showGame() {
    clearRows();
    if (!record_) {
        const QString none = tr("Сыгранных партий пока нет.");
        addLine(none, none);
        setTabOrder(rows_.last(), closeButton_);
        return;
    }
    const game::GameSummary summary = game::summarizeGame(*record_);
    const QStringList headers = {tr("Открыто\nчемоданов"),
                                 tr("Предложение\nбанка"),
                                 tr("Среднее\nна табло"),
                                 tr("Доля\nсреднего"),
                                 tr("Ответ"),
                                 tr("Шанс, что в своём\nбольше")};
    for (int c = 0; c < kColumns; ++c) {
        auto* header = new QLabel(headers[c]);
        header->setFont(fonts::caption(side_windows::kTextPoints));
        header->setAlignment(c == 4 ? Qt::AlignLeft | Qt::AlignBottom
                                    : Qt::AlignRight | Qt::AlignBottom);
        header->setContentsMargins(4, 2, 4, 2);
        table_->addWidget(header, 0, c);
    }
    for (const game::OfferSummary& offer : summary.offers) {
        const QString shownOffer = offer.exchange ? tr("обмен") : i18n::shownAmount(offer.amount);
        const QString share =
            offer.shareOfAverage ? i18n::shownPercent(*offer.shareOfAverage) : QStringLiteral("—");
        QString words =
            offer.exchange
                ? tr("Открыто %1: банк предлагал обмен, среднее на табло %2; ответ: %3.")
                      .arg(offer.openedCount)
                      .arg(spoken(offer.average), answerText(offer.answer, offer.exchange))
                : tr("Открыто %1: предложение %2, среднее на табло %3, это %4 среднего; ответ: "
                     "%5.")
                      .arg(offer.openedCount)
                      .arg(spoken(offer.amount), spoken(offer.average), share,
                           answerText(offer.answer, offer.exchange));
        if (offer.chanceOwnCaseHigher())
            words += QLatin1Char(' ') + tr("Больше предложения было в %1 из %2 сумм в игре.")
                                            .arg(offer.amountsAbove)
                                            .arg(offer.amountsInPlay);
        addOfferRow({QString::number(offer.openedCount), shownOffer,
                     i18n::shownAmount(offer.average), share,
                     answerText(offer.answer, offer.exchange), chanceText(offer)},
                    words, offer.answer == game::OfferAnswer::Accepted && !offer.exchange);
    }
    for (const game::ExchangeRecord& exchange : summary.exchanges) {
        addLine(tr("Обмен: отдан чемодан с %1, взят чемодан с %2.")
                    .arg(i18n::shownAmount(exchange.given), i18n::shownAmount(exchange.taken)),
                tr("Обмен: отдан чемодан с %1, взят чемодан с %2.")
                    .arg(spoken(exchange.given), spoken(exchange.taken)));
    }
    const auto line = [this](const QString& text, double amount) {
        addLine(text.arg(i18n::shownAmount(amount)), text.arg(spoken(amount)));
    };
    line(tr("В своём чемодане было: %1."), summary.ownCase);
    line(tr("Выигрыш: %1."), summary.winnings);
    if (!summary.dealGain) {
        const QString noDeal = tr("Ни одно предложение не принято: выигрыш — свой чемодан.");
        addLine(noDeal, noDeal);
    } else if (*summary.dealGain > 0) {
        line(tr("Сделка принесла на %1 больше, чем было в своём чемодане."), *summary.dealGain);
    } else if (*summary.dealGain < 0) {
        line(tr("Сделка принесла на %1 меньше, чем было в своём чемодане."), -*summary.dealGain);
    } else {
        const QString even = tr("Сделка принесла ровно столько, сколько было в своём чемодане.");
        addLine(even, even);
    }
    setTabOrder(rows_.last(), closeButton_);
}

QList<QStringList> SummaryWindow::shownRows() const {
    QList<QStringList> shown;
    for (int row = 0; row < table_->rowCount(); ++row) {
        QStringList cells;
        for (int c = 0; c < kColumns; ++c) {
            // The band spans the row under the cells: the topmost item is the cell.
            QLabel* cell = nullptr;
            for (int i = 0; i < table_->count(); ++i) {
                int r = 0, col = 0, rowSpan = 0, colSpan = 0;
                table_->getItemPosition(i, &r, &col, &rowSpan, &colSpan);
                auto* label = qobject_cast<QLabel*>(table_->itemAt(i)->widget());
                if (r == row && col == c && colSpan == 1 && label)
                    cell = label;
            }
            cells << (cell ? cell->text() : QString());
        }
        shown << cells;
    }
    for (int i = 0; i < lines_->count(); ++i)
        shown << QStringList{static_cast<QLabel*>(lines_->itemAt(i)->widget())->text()};
    return shown;
}

QStringList SummaryWindow::spokenRows() const {
    QStringList spoken;
    for (const QWidget* row : rows_)
        spoken << row->accessibleName();
    return spoken;
}
