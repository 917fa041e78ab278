#include "game_watch.h"

#include "banker.h"
#include "game_harness.h"
#include "game_log.h"
#include "offer_format.h"

#include <QLabel>
#include <QMetaEnum>
#include <QPushButton>

namespace {

using Phase = GameWindow::Phase;

const char* phaseName(Phase phase) {
    return QMetaEnum::fromType<Phase>().valueToKey(int(phase));
}

// The points at which the banker speaks, by the number of opened cases.
constexpr int kOfferPoints[] = {6, 9, 12, 15, 18, 20};

} // namespace

QString GameWatch::check(const QWidget* clicked) {
    GameWindow* w = h_.w();
    if (!w)
        return QStringLiteral("the main window is gone");
    if (w != window_.data() || (phase_ != Phase::Loaded && w->phase() == Phase::Loaded)) {
        if (window_ && phase_ != Phase::GameOver)
            return QStringLiteral("a new game came in phase %1").arg(phaseName(phase_));
        newGame(w);
    }
    const game::GameState& s = h_.app->state();
    const Phase before = phase_;
    const Phase after = w->phase();
    const int n = s.openedCount;

    if (ownCase_ == -1 && s.ownCase != -1) {
        if (before != Phase::ChoosingOwnCase)
            return QStringLiteral("own case chosen in phase %1").arg(phaseName(before));
        ownCase_ = s.ownCase;
    }
    // Openings: one at a time, each counted once.
    if (n != opened_) {
        if (n == opened_ + 1) {
            const QString broken = checkOpening(w, opened_, n);
            if (!broken.isEmpty())
                return broken;
        } else {
            return QStringLiteral("openedCount went from %1 to %2").arg(opened_).arg(n);
        }
        opened_ = n;
    } else if (before == Phase::Suspense && after != Phase::Suspense) {
        return QStringLiteral("suspense for case %1 ended in %2 without an opening")
            .arg(suspense_)
            .arg(phaseName(after));
    }
    if (after == Phase::Suspense) {
        if (suspense_ == -1) {
            suspense_ = s.currentCase;
            if (suspense_ == s.ownCase || openedCases_.contains(suspense_))
                return QStringLiteral("suspense for case %1, own or opened").arg(suspense_);
        } else if (s.currentCase != suspense_) {
            return QStringLiteral("case %1 started opening while case %2 waited for its sound")
                .arg(s.currentCase)
                .arg(suspense_);
        }
    }

    // The own case changes only by an accepted exchange.
    if (s.ownCase != ownCase_) {
        const bool exchangeAt20 = before == Phase::OfferShown &&
                                  clicked == w->controls().acceptButton && n == 20 &&
                                  offers_[20].text == game::kExchangeOffer;
        if (before != Phase::ExchangePick && !exchangeAt20)
            return QStringLiteral("own case went from %1 to %2 in phase %3")
                .arg(ownCase_)
                .arg(s.ownCase)
                .arg(phaseName(before));
        if (openedCases_.contains(s.ownCase))
            return QStringLiteral("an opened case %1 became the own case").arg(s.ownCase);
        ownCase_ = s.ownCase;
    }

    QString broken = checkOffer(w, before, after, clicked);
    if (!broken.isEmpty())
        return broken;

    if (after == Phase::EndOfGame && n != 21)
        return QStringLiteral("end of game with %1 cases opened").arg(n);
    if (before != Phase::GameOver && after == Phase::GameOver) {
        if (n != 21)
            return QStringLiteral("winnings shown with %1 cases opened").arg(n);
        for (int point : kOfferPoints) {
            if (!offers_[point].seen)
                return QStringLiteral("game over without the offer at %1").arg(point);
        }
        const QString own = game::amountText(s.caseAmount[static_cast<size_t>(s.ownCase)]);
        const QString won = acceptedOffer_.isEmpty() ? own : acceptedOffer_;
        if (w->controls().winningsAmount->text() != won)
            return QStringLiteral("winnings shown as %1, won %2")
                .arg(w->controls().winningsAmount->text(), won);
        expect(QLatin1Char('<') + own + QStringLiteral(">\r\n"));
        ++counts_.games;
    }
    phase_ = after;

    broken = checkCases(w);
    if (!broken.isEmpty())
        return broken;
    return checkLog();
}

void GameWatch::newGame(GameWindow* w) {
    window_ = w;
    phase_ = Phase::Loaded;
    opened_ = 0;
    ownCase_ = -1;
    suspense_ = -1;
    openedCases_.clear();
    offers_ = {};
    acceptedOffer_.clear();
    expectedLog_.clear();
}

QString GameWatch::checkOpening(GameWindow* w, int before, int after) {
    const game::GameState& s = h_.app->state();
    const int c = s.currentCase;
    if (c < 0 || c >= game::kCaseCount || c == s.ownCase)
        return QStringLiteral("opening %1 opened case %2, own case %3")
            .arg(after)
            .arg(c)
            .arg(s.ownCase);
    if (openedCases_.contains(c))
        return QStringLiteral("case %1 opened twice").arg(c);
    // Each opening waits for the suspense sound of its own click, except once
    // money is taken: then a click opens at once.
    if (suspense_ >= 0 ? c != suspense_ : !s.offerTaken)
        return QStringLiteral("case %1 opened, the suspense was for %2").arg(c).arg(suspense_);
    if (game::isOfferPoint(before)) {
        const Offer& offer = offers_[static_cast<size_t>(before)];
        if (!offer.seen)
            return QStringLiteral("the offer at %1 was skipped").arg(before);
        if (offer.needsAnswer && offer.answers != 1)
            return QStringLiteral("play went on after %1 answers to the offer at %2")
                .arg(offer.answers)
                .arg(before);
    }
    if (!w->controls().casePlates[static_cast<size_t>(c)]->isHidden())
        return QStringLiteral("opened case %1 still shows its plate").arg(c);
    openedCases_.insert(c);
    suspense_ = -1;
    ++counts_.openings;
    expect(game::amountText(s.caseAmount[static_cast<size_t>(c)]) + QStringLiteral("\r\n"));
    return {};
}

QString GameWatch::checkOffer(GameWindow* w, Phase before, Phase after, const QWidget* clicked) {
    const game::GameState& s = h_.app->state();
    const int n = s.openedCount;
    if (after == Phase::OfferPending && before != Phase::OfferPending) {
        if (!game::isOfferPoint(n) || offers_[static_cast<size_t>(n)].seen)
            return QStringLiteral("an offer is coming at %1 cases").arg(n);
    }
    if (before == Phase::OfferPending && after != Phase::OfferPending) {
        Offer& offer = offers_[static_cast<size_t>(n)];
        offer.seen = true;
        offer.needsAnswer = after == Phase::OfferShown;
        offer.text = w->controls().offerAmount->text();
        if (after != Phase::OfferShown && after != Phase::WaitingForClick)
            return QStringLiteral("the offer at %1 led to phase %2").arg(n).arg(phaseName(after));
        if (!w->controls().offerAmount->isVisible())
            return QStringLiteral("the offer at %1 is not shown").arg(n);
        // Every offer asks for an answer, except money offers once money is taken.
        const bool exchange = offer.text == game::kExchangeOffer;
        if (offer.needsAnswer != (!s.offerTaken || exchange))
            return QStringLiteral("the offer %1 at %2 %3 an answer")
                .arg(offer.text)
                .arg(n)
                .arg(offer.needsAnswer ? "asks for" : "does not ask for");
        if (offer.needsAnswer !=
            (w->controls().acceptButton->isVisible() && w->controls().declineButton->isVisible()))
            return QStringLiteral("the answer buttons of the offer at %1 are wrong").arg(n);
        ++counts_.offers;
        expect(QStringLiteral("---------------") + offer.text);
    }
    if (after == Phase::OfferShown && before != Phase::OfferShown && before != Phase::OfferPending)
        return QStringLiteral("an answer is asked again in phase %1").arg(phaseName(before));
    if (before == Phase::OfferShown && after != Phase::OfferShown) {
        Offer& offer = offers_[static_cast<size_t>(n)];
        if (++offer.answers > 1)
            return QStringLiteral("the offer at %1 was answered twice").arg(n);
        const bool exchange = offer.text == game::kExchangeOffer;
        if (clicked == w->controls().acceptButton && exchange) {
            const Phase expected = n == 20 ? Phase::WaitingForClick : Phase::ExchangePick;
            if (after != expected)
                return QStringLiteral("exchange accepted at %1 led to %2")
                    .arg(n)
                    .arg(phaseName(after));
            ++counts_.exchanges;
        } else if (clicked == w->controls().acceptButton) {
            ++counts_.accepted;
            acceptedOffer_ = offer.text;
            expect(QStringLiteral(" V\r\n"));
        } else if (clicked == w->controls().declineButton) {
            ++counts_.declined;
            expect(QStringLiteral("\r\n"));
        } else {
            return QStringLiteral("the offer at %1 was answered without ДА or НЕТ").arg(n);
        }
    }
    return {};
}

QString GameWatch::checkCases(GameWindow* w) {
    const game::GameState& s = h_.app->state();
    const Phase phase = w->phase();
    const bool locked = phase == Phase::Suspense || phase == Phase::OfferPending ||
                        phase == Phase::OfferShown || phase == Phase::EndOfGame;
    const bool ownOpened = phase == Phase::EndOfGame || phase == Phase::GameOver;
    // The board is complete once the reveal has shown its last entry.
    const bool revealed = phase != Phase::Loaded && h_.app->game().boardRevealed();
    for (int i = 0; i < game::kCaseCount; ++i) {
        const auto index = static_cast<size_t>(i);
        const bool opened = openedCases_.contains(i);
        const bool plateHidden = w->controls().casePlates[index]->isHidden();
        if (i == s.ownCase) {
            if (plateHidden && !ownOpened)
                return QStringLiteral("own case %1 shows no plate in %2")
                    .arg(i)
                    .arg(phaseName(phase));
        } else if (plateHidden != opened) {
            return QStringLiteral("case %1 %2 its plate")
                .arg(i)
                .arg(opened ? "opened shows" : "closed lost");
        }
        if (locked && !plateHidden && w->controls().casePlates[index]->isEnabled())
            return QStringLiteral("case %1 takes clicks in phase %2").arg(i).arg(phaseName(phase));
        if (phase == Phase::Loaded)
            continue;
        const int rank = s.caseAmount[index];
        const bool onBoard = !w->controls().boardAmounts[static_cast<size_t>(rank)]->isHidden();
        if (opened && onBoard)
            return QStringLiteral("the amount %1 of opened case %2 is still on the board")
                .arg(game::amountText(s.caseAmount[index]))
                .arg(i);
        if (revealed && !opened && !onBoard)
            return QStringLiteral("the amount %1 of closed case %2 is missing from the board")
                .arg(game::amountText(s.caseAmount[index]))
                .arg(i);
    }
    return {};
}

QString GameWatch::checkLog() const {
    const QByteArray log = h_.logBytes();
    if (log == expectedLog_)
        return {};
    int same = 0;
    while (same < log.size() && same < expectedLog_.size() && log[same] == expectedLog_[same])
        ++same;
    return QStringLiteral("the log has %1 bytes (%2), expected %3 (%4); they differ from byte %5")
        .arg(log.size())
        .arg(QString::fromLatin1(log.toPercentEncoding(" -<>")))
        .arg(expectedLog_.size())
        .arg(QString::fromLatin1(expectedLog_.toPercentEncoding(" -<>")))
        .arg(same);
}

void GameWatch::expect(const QString& record) {
    expectedLog_ += game::toWindows1251(record).value() + "\r\n";
}
