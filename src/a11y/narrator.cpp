#include "narrator.h"

#include "amounts.h"
#include "game.h"
#include "language.h"
#include "rounds.h"
#include "shown_texts.h"
#include "spoken_numbers.h"

#include <QCoreApplication>
#include <QTimer>
#include <algorithm>
#include <utility>
#include <vector>

namespace a11y {
namespace {

// The context of the texts below for translators.
class Accessibility {
    Q_DECLARE_TR_FUNCTIONS(Accessibility)
};

QString promptText(const QString& prompt) {
    return prompt.simplified() + QLatin1Char('.');
}

} // namespace

static_assert(game::kHistoryRowsShown <= 8);

Narrator::Narrator(const game::Game& game, QObject* parent) : QObject(parent), game_(game) {
    using game::Game;
    const Game* g = &game;
    connect(g, &Game::newGameLoaded, this, [this] {
        unsaid_.clear();
        captionShown_ = countShown_ = offerShown_ = winningsShown_ = false;
        count_ = 0;
        historyRowsShown_.reset();
        news_ = Accessibility::tr("Новая игра.");
    });
    connect(g, &Game::ownCasePrompted, this, [this] {
        caption_ = Caption::OwnCasePrompt;
        captionShown_ = true;
        addNews(promptText(i18n::chooseOwnCasePrompt()));
    });
    connect(g, &Game::exchangePrompted, this, [this] {
        caption_ = Caption::SwapCasePrompt;
        captionShown_ = true;
        if (!i18n::exchangeOfferShownWhilePicking())
            offerShown_ = false;
        addNews(promptText(i18n::chooseSwapCasePrompt()));
    });
    connect(g, &Game::promptHidden, this, [this] { captionShown_ = false; });
    connect(g, &Game::counterChanged, this, [this](int count) {
        caption_ = Caption::Count;
        count_ = count;
    });
    connect(g, &Game::counterShown, this,
            [this](bool shown) { captionShown_ = countShown_ = shown; });
    connect(g, &Game::ownCaseChosen, this,
            [this](int i) { addNews(Accessibility::tr("Ваш чемодан %1.").arg(caseNumber(i))); });
    connect(g, &Game::caseOpened, this, [this](int i, int rank) {
        addNews(Accessibility::tr("Чемодан %1: %2.").arg(caseNumber(i)).arg(spokenRank(rank)));
    });
    connect(g, &Game::offerShown, this, [this](const game::Offer& offer) {
        offerShown_ = true;
        if (offer.exchange) {
            addNews(Accessibility::tr("Банк предлагает обмен."));
        } else if (game_.state().offerTaken) {
            addNews(Accessibility::tr("Банк предлагает %1. Отвечать не нужно.")
                        .arg(spokenMoney(offer.amount)));
        } else {
            addNews(Accessibility::tr("Банк предлагает %1.").arg(spokenMoney(offer.amount)));
        }
    });
    connect(g, &Game::offerAmountHidden, this, [this] { offerShown_ = false; });
    connect(g, &Game::answered, this, [this](bool accepted) {
        const game::Offer& offer = game_.state().offer;
        if (!accepted)
            addNews(offer.exchange ? Accessibility::tr("Без обмена, играем дальше.")
                                   : Accessibility::tr("Без сделки, играем дальше."));
        else if (!offer.exchange)
            addNews(
                Accessibility::tr("Вы продали свой чемодан за %1.").arg(spokenMoney(offer.amount)));
    });
    connect(g, &Game::casesExchanged, this, [this](int, int taken) {
        addNews(Accessibility::tr("Обмен: ваш чемодан теперь %1.").arg(caseNumber(taken)));
    });
    connect(g, &Game::ownCaseOpened, this, [this](int i) {
        const int rank = game_.state().caseAmount[static_cast<size_t>(i)];
        addNews(Accessibility::tr("Ваш чемодан %1: %2.").arg(caseNumber(i)).arg(spokenRank(rank)));
    });
    connect(g, &Game::paceChanged, this, [this](bool quick) {
        addNews(quick ? Accessibility::tr("Быстрая игра включена.")
                      : Accessibility::tr("Быстрая игра выключена."));
    });
    connect(g, &Game::winningsShown, this, [this] {
        winningsShown_ = true;
        addNews(Accessibility::tr("Выигрыш: %1.").arg(winnings()));
    });
    connect(g, &Game::historyRowShown, this,
            [this](int row, const game::Offer&) { historyRowsShown_.set(row); });
    connect(g, &Game::historyHidden, this, [this] { historyRowsShown_.reset(); });
}

void Narrator::say(const QString& text) {
    if (!text.isEmpty())
        news_ = text;
    if (!news_.isEmpty())
        emit spoken(news_);
}

void Narrator::say(Fact fact) {
    say(factText(fact));
}

void Narrator::addNews(const QString& news) {
    unsaid_ << news;
    if (unsaid_.size() > 1)
        return;
    // Twice round the event loop: the window moves the focus for this step on
    // the first round, and a screen reader reading that move would cut the
    // news short.
    QTimer::singleShot(0, this, [this] { QTimer::singleShot(0, this, [this] { sayNews(); }); });
}

// The news of one step as one utterance, with what the player needs next: the
// cases left before the offer, the last other case, the own case opening.
void Narrator::sayNews() {
    if (unsaid_.isEmpty())
        return;
    QStringList news = std::exchange(unsaid_, {});
    const game::GameState& s = game_.state();
    const game::Phase phase = game_.phase();
    if (phase == game::Phase::WaitingForClick && s.ownCase >= 0) {
        if (game_.closedOtherCases() == 1)
            news << Accessibility::tr("Остался один чемодан, кроме вашего: %1.")
                        .arg(caseNumber(game_.lastClosedCase()));
        else if (countShown_ && count_ > 0)
            news << QString::number(count_) + QLatin1Char(' ') +
                        i18n::counterWords(count_).simplified() + QLatin1Char('.');
    } else if (phase == game::Phase::EndOfGame && s.ownCase >= 0 &&
               !s.caseOpened[static_cast<size_t>(s.ownCase)]) {
        news << Accessibility::tr("Теперь откроется ваш чемодан %1.").arg(caseNumber(s.ownCase));
    }
    say(news.join(QLatin1Char(' ')));
}

int Narrator::caseNumber(int caseIndex) const {
    return game::plateForCase(game_.state().caseSkin, caseIndex) + 1;
}

QString Narrator::caseName(int caseIndex) const {
    return Accessibility::tr("Чемодан %1").arg(caseNumber(caseIndex));
}

QString Narrator::caseDescription(int caseIndex) const {
    const game::GameState& s = game_.state();
    const auto i = static_cast<size_t>(caseIndex);
    const bool own = caseIndex == s.ownCase;
    if (s.caseOpened[i]) {
        const QString amount = spokenRank(s.caseAmount[i]);
        return own ? Accessibility::tr("ваш, открыт: %1").arg(amount)
                   : Accessibility::tr("открыт: %1").arg(amount);
    }
    return own ? Accessibility::tr("ваш") : Accessibility::tr("закрыт");
}

QString Narrator::boardItemName(int rank) const {
    if (!game_.state().boardShown[static_cast<size_t>(rank)])
        return Accessibility::tr("%1, выбыла").arg(spokenRank(rank));
    return spokenRank(rank);
}

QString Narrator::boardItemDescription(int rank) const {
    if (!game_.boardPlateUp(rank) || !game_.state().boardShown[static_cast<size_t>(rank)])
        return {};
    return Accessibility::tr("в игре");
}

QString Narrator::historyItemName(int row) const {
    if (row < 0 || row >= game::kHistoryRowsShown || !historyRowShown(row))
        return {};
    const game::GameState& s = game_.state();
    const int kept = std::min<int>(s.offerCount, game::kHistorySize);
    const int entry = kept - row;
    if (entry < 1)
        return {};
    const game::Offer& offer = s.offerHistory[static_cast<size_t>(entry)];
    return offer.exchange ? Accessibility::tr("обмен") : spokenMoney(offer.amount);
}

QString Narrator::offerText() const {
    if (!offerShown_)
        return {};
    const game::Offer& offer = game_.state().offer;
    return offer.exchange ? Accessibility::tr("Банк предлагает обмен")
                          : Accessibility::tr("Банк предлагает %1").arg(spokenMoney(offer.amount));
}

QString Narrator::winningsText() const {
    return winningsShown_ ? Accessibility::tr("Выигрыш: %1").arg(winnings()) : QString();
}

// The count, then the caption's words; the caption alone while it asks to choose.
QString Narrator::counterText() const {
    if (!captionShown_)
        return {};
    QString words;
    switch (caption_) {
    case Caption::OwnCasePrompt:
        words = i18n::chooseOwnCasePrompt();
        break;
    case Caption::SwapCasePrompt:
        words = i18n::chooseSwapCasePrompt();
        break;
    case Caption::Count:
        words = i18n::counterWords(count_);
        break;
    }
    words = words.simplified();
    return countShown_ ? QString::number(count_) + QLatin1Char(' ') + words : words;
}

QString Narrator::boardName() {
    return Accessibility::tr("Суммы");
}

QString Narrator::historyName() {
    return Accessibility::tr("Банк предлагал");
}

QString Narrator::logoName() {
    return Accessibility::tr("Об авторах");
}

QString Narrator::pressNotTaken() {
    return Accessibility::tr("Сейчас нельзя.");
}

QString Narrator::factText(Fact fact) const {
    const game::GameState& s = game_.state();
    const bool started = game_.phase() != game::Phase::Loaded;
    QStringList items;
    switch (fact) {
    case Fact::LastNews:
        return {};
    case Fact::AmountsInPlay:
        for (int rank = 0; rank < game::kCaseCount; ++rank) {
            if (game_.amountInPlay(rank))
                items << spokenRank(rank);
        }
        if (items.isEmpty())
            return Accessibility::tr("Все суммы открыты.");
        return Accessibility::tr("Суммы в игре: %1.").arg(items.join(QStringLiteral(", ")));
    case Fact::Offers: {
        const game::GameRecord& record = game_.recordSoFar();
        if (record.offers.empty())
            return Accessibility::tr("Банк ещё ничего не предлагал.");
        for (const game::OfferRecord& offer : record.offers)
            items << (offer.exchange ? Accessibility::tr("обмен")
                                     : spokenMoney(static_cast<qint64>(offer.amount)));
        QString text =
            Accessibility::tr("Банк предлагал: %1.").arg(items.join(QStringLiteral(", ")));
        if (record.acceptedOffer)
            text += QLatin1Char(' ') +
                    Accessibility::tr("Вы продали свой чемодан за %1.")
                        .arg(spokenMoney(static_cast<qint64>(*record.acceptedOffer)));
        return text;
    }
    case Fact::ClosedCases: {
        std::vector<int> numbers;
        for (int i = 0; i < game::kCaseCount; ++i) {
            if (!s.caseOpened[static_cast<size_t>(i)] && (!started || i != s.ownCase))
                numbers.push_back(caseNumber(i));
        }
        std::sort(numbers.begin(), numbers.end());
        for (const int number : numbers)
            items << QString::number(number);
        const bool ownClosed = started && s.ownCase >= 0 && !s.caseOpened[size_t(s.ownCase)];
        if (items.isEmpty() && !ownClosed)
            return Accessibility::tr("Все чемоданы открыты.");
        QString text =
            items.isEmpty()
                ? Accessibility::tr("Других закрытых чемоданов нет.")
                : Accessibility::tr("Закрыты чемоданы: %1.").arg(items.join(QStringLiteral(", ")));
        if (ownClosed)
            text +=
                QLatin1Char(' ') + Accessibility::tr("Ваш чемодан %1.").arg(caseNumber(s.ownCase));
        return text;
    }
    }
    return {};
}

// Amounts as a voice reads them right (the screen's grouped forms are not).
QString Narrator::spokenRank(int rank) const {
    return i18n::spokenAmount(game::amountText(rank), i18n::currentLanguage());
}

QString Narrator::spokenMoney(qint64 amount) const {
    return i18n::spokenMoney(amount, i18n::currentLanguage());
}

// What the game was won with, once it is over.
QString Narrator::winnings() const {
    const game::GameState& s = game_.state();
    if (const std::optional<double> accepted = game_.recordSoFar().acceptedOffer)
        return spokenMoney(static_cast<qint64>(*accepted));
    return s.ownCase >= 0 ? spokenRank(s.caseAmount[static_cast<size_t>(s.ownCase)]) : QString();
}

} // namespace a11y
