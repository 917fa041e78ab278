#include "game_harness.h"

#include "media_files.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

GameHarness::GameHarness(std::vector<float> draws) {
    previousDir_ = QDir::currentPath();
    QDir::setCurrent(dir_.path());
    media::setAssetDirectory(QStringLiteral(ZORBAN_SOURCE_DIR "/assets"));
    auto replay = std::make_unique<game::ReplayRandom>(std::move(draws));
    random = replay.get();
    app = std::make_unique<GameApp>([] { return std::make_unique<FakeSoundPlayer>(); },
                                    std::move(replay));
    app->start();
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

bool GameHarness::startGame() {
    if (!click(w()->Command1))
        return false;
    for (int tick = 0; tick < 23; ++tick)
        w()->main_Timer();
    return w()->main->interval() == 0;
}

bool GameHarness::openCase(int caseIndex) {
    if (!click(w()->Label1[caseIndex]))
        return false;
    // After money was accepted the case opens at once, without suspense.
    if (lastSound() == media::kSoundSuspense || lastSound() == media::kSoundSuspenseAfterFinalSwap)
        endSound();
    return w()->Label1[caseIndex]->isHidden();
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

float drawFor(int value, int n) {
    return (static_cast<float>(value) + 0.5f) / static_cast<float>(n);
}

std::vector<float> identityGameDraws(int caseSkin) {
    std::vector<float> draws = {drawFor(caseSkin, 3)};
    for (int i = 0; i < 22; ++i)
        draws.push_back(drawFor(i, 22));
    return draws;
}
