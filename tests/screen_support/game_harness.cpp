#include "game_harness.h"

#include "desktop_controls.h"
#include "language.h"
#include "layout.h"
#include "media_files.h"
#include "offer_format.h"

#include <QAbstractButton>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpression>
#include <QTimer>
#include <QtTest>
#include <algorithm>
#include <functional>

GameHarness::GameHarness(std::vector<float> draws,
                         const std::function<void(const QString&)>& prepare) {
    auto replay = std::make_unique<game::ReplayRandom>(std::move(draws));
    random = replay.get();
    start(std::move(replay), prepare);
}

GameHarness::GameHarness(std::unique_ptr<game::RandomSource> source) {
    start(std::move(source));
}

void GameHarness::start(std::unique_ptr<game::RandomSource> source,
                        const std::function<void(const QString&)>& prepare) {
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    if (prepare)
        prepare(dir_.path());
    media::setAssetDirectory(QStringLiteral(ZORBAN_SOURCE_DIR "/assets"));
    app = std::make_unique<GameApp>([] { return std::make_unique<FakeSoundPlayer>(); },
                                    std::move(source), statisticsFile());
    app->start();
    // The offscreen screen is smaller than the design: the games are played at
    // the designed size unless a test resizes the window.
    app->window()->resize(twips::toPixels(layout::kGameWindow).size());
}

QStringList GameHarness::shownTexts() const {
    QStringList texts;
    std::function<void(const QWidget*)> addWidget = [&](const QWidget* widget) {
        texts << widget->windowTitle() << widget->toolTip();
        for (const QWidget* child : widget->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (child->isHidden() || qobject_cast<const QMenu*>(child))
                continue;
            if (auto* label = qobject_cast<const QLabel*>(child))
                texts << label->text();
            else if (auto* button = qobject_cast<const QAbstractButton*>(child))
                texts << button->text();
            addWidget(child);
        }
    };
    addWidget(w());
    std::function<void(const QMenu*)> addMenu = [&](const QMenu* menu) {
        texts << menu->title();
        for (const QAction* action : menu->actions()) {
            texts << action->text() << action->toolTip();
            if (action->menu())
                addMenu(action->menu());
        }
    };
    addMenu(app->desktopControls().menu());
    texts.removeAll(QString());
    return texts;
}

QStringList GameHarness::notEnglishTexts() const {
    static const QRegularExpression ungroupedNumber(QStringLiteral("\\d{4}|\\d[ \\x{a0}]\\d{3}"));
    const QStringList languages = i18n::languages();
    QStringList russian;
    for (const QString& text : shownTexts()) {
        const bool sameInEveryLanguage =
            text == QStringLiteral("Язык / Language") ||
            std::any_of(languages.begin(), languages.end(),
                        [&](const QString& code) { return i18n::nativeName(code) == text; });
        const bool cyrillic =
            !sameInEveryLanguage && std::any_of(text.begin(), text.end(), [](QChar c) {
                return c.script() == QChar::Script_Cyrillic;
            });
        if (cyrillic || text.contains(ungroupedNumber))
            russian << text;
    }
    return russian;
}

GameHarness::~GameHarness() {
    app.reset();
    QDir::setCurrent(previousDir_);
}

FakeSoundPlayer* GameHarness::sound() const {
    return static_cast<FakeSoundPlayer*>(w()->soundPlayer());
}

QByteArray GameHarness::logBytes() const {
    QFile file(QDir(dir_.path()).filePath(QStringLiteral("log.txt")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<no log>");
}

bool GameHarness::click(QWidget* widget) {
    if (!widget || !widget->isVisible() || !widget->isEnabled())
        return false;
    QTest::mouseClick(widget, Qt::LeftButton);
    return true;
}

void GameHarness::runEventLoop(int milliseconds) {
    QEventLoop loop;
    QTimer::singleShot(std::max(0, milliseconds), Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool GameHarness::startGame() {
    if (!click(w()->controls().startButton))
        return false;
    for (int tick = 0; tick < 23; ++tick)
        w()->game().timer(game::Game::Step::BoardReveal).fireNow();
    return w()->game().timer(game::Game::Step::BoardReveal).interval() == 0;
}

bool GameHarness::openCase(int caseIndex) {
    if (!click(w()->controls().casePlates[caseIndex]))
        return false;
    // After money was accepted the case opens at once, without suspense.
    if (lastSound() == media::soundFile(media::Sound::Suspense) ||
        lastSound() == media::soundFile(media::Sound::SuspenseAfterFinalSwap))
        endSound();
    return w()->controls().casePlates[caseIndex]->isHidden();
}

bool GameHarness::openCases(std::initializer_list<int> cases) {
    for (int i : cases) {
        if (!openCase(i))
            return false;
    }
    return true;
}

bool GameHarness::showOffer(const std::vector<float>& draws) {
    random->append(draws);
    endSound();
    return random->remaining() == 0 && random->overdrawn() == 0 &&
           w()->controls().offerAmount->isVisible();
}

std::unique_ptr<GameHarness>
GameHarness::withOwnCase(int ownCase, const std::function<void(const QString&)>& prepare) {
    auto h = std::make_unique<GameHarness>(identityGameDraws(), prepare);
    h->random->append({drawFor(0, 2)}); // the banker's manner
    if (!h->startGame() || !click(h->w()->controls().casePlates[ownCase]))
        return nullptr;
    return h;
}

bool GameHarness::declineRounds(int count) {
    struct Round {
        std::initializer_list<int> cases;
        std::vector<float> exchangeDraws;
    };
    const Round rounds[] = {{{0, 1, 2, 3, 4, 5}, {}},    {{6, 7, 8}, {}},
                            {{9, 10, 11}, kNoExchange},  {{12, 13, 14}, kNoExchange},
                            {{15, 16, 17}, kNoExchange}, {{18, 19}, {0.25f}}};
    for (int r = 0; r < count && r < 6; ++r) {
        if (!openCases(rounds[r].cases) || !showOffer(offerDraws(rounds[r].exchangeDraws, 99)) ||
            !click(w()->controls().declineButton))
            return false;
    }
    return true;
}

QString GameHarness::lastSound() const {
    const QString path = sound()->current();
    return path.section(QLatin1Char('/'), -2);
}

QStringList GameHarness::soundsSince(int index) const {
    QStringList names;
    const QStringList& all = sound()->history();
    for (int i = index; i < all.size(); ++i)
        names << all[i].section(QLatin1Char('/'), -2);
    return names;
}

QWidget* directedPlayersChoice(GameWindow* w, const std::function<int(int)>& below) {
    const GameWindow::Controls& c = w->controls();
    switch (w->phase()) {
    case GameWindow::Phase::ChoosingOwnCase:
        // With fast timers and short sounds a game could otherwise end before the
        // reveal.
        if (w->game().timer(game::Game::Step::BoardReveal).isRunning())
            return nullptr;
        [[fallthrough]];
    case GameWindow::Phase::WaitingForClick:
    case GameWindow::Phase::ExchangePick: {
        QList<QWidget*> plates;
        for (QWidget* plate : c.casePlates) {
            if (plate->isVisible() && plate->isEnabled())
                plates << plate;
        }
        return plates.isEmpty() ? nullptr : plates[below(static_cast<int>(plates.size()))];
    }
    case GameWindow::Phase::OfferShown: {
        const int odds = c.offerAmount->text() == game::kExchangeOffer ? 2 : 5;
        return below(odds) == 0 ? c.acceptButton : c.declineButton;
    }
    case GameWindow::Phase::Loaded:
    case GameWindow::Phase::Suspense:
    case GameWindow::Phase::OfferPending:
    case GameWindow::Phase::EndOfGame:
    case GameWindow::Phase::GameOver:
        break;
    }
    return nullptr;
}

bool fireIfRunning(game::Game& game, game::Game::Step step) {
    if (!game.timer(step).isRunning())
        return false;
    game.timer(step).fireNow();
    return true;
}

void fireRunningSteps(game::Game& game) {
    using Step = game::Game::Step;
    for (const Step step :
         {Step::BoardReveal, Step::HistoryReveal, Step::OwnCaseWait, Step::WinningsWait})
        fireIfRunning(game, step);
}

std::vector<float> wholeGameDraws(const std::vector<std::vector<float>>& exchangeDrawsPerOffer) {
    std::vector<float> draws = identityGameDraws();
    draws.push_back(drawFor(0, 2)); // the banker's manner
    for (const auto& exchange : exchangeDrawsPerOffer) {
        const std::vector<float> offer = offerDraws(exchange, 99);
        draws.insert(draws.end(), offer.begin(), offer.end());
    }
    return draws;
}
