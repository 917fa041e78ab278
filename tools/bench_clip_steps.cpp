// Benchmark, not a test: how long after the end of a sound clip the game takes
// its next step, with the real sound player and the window's clip-waiting timer.
// Plays the clip once per step, 100 steps by default, and prints the figures.
// Usage: bench_clip_steps [clip.mp3] [steps]
#include "qt_sound_player.h"
#include "widgets.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QTimer>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

double maximum(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QLoggingCategory::setFilterRules(QStringLiteral("qt.multimedia.*=false"));
    QGuiApplication app(argc, argv);
    const QString clip = argc > 1 ? QString::fromLocal8Bit(argv[1])
                                  : QStringLiteral(ZORBAN_SOURCE_DIR "/tests/data/click-700ms.mp3");
    const int steps = argc > 2 ? std::max(1, atoi(argv[2])) : 100;

    QtSoundPlayer player;
    QElapsedTimer clock;
    clock.start();
    qint64 startedNs = 0;
    qint64 endedNs = 0;
    std::vector<double> reactionMs;  // end of clip reported -> next step
    std::vector<double> overshootMs; // next step -> clip start + its length
    // Connected first, so it notes the end before the waiting timer reacts.
    QObject::connect(&player, &SoundPlayer::clipEnded, [&] { endedNs = clock.nsecsElapsed(); });

    ClipWaitTimer* wait = nullptr;
    std::function<void()> nextStep;
    wait = new ClipWaitTimer(&app, &player, [&] {
        if (!player.hasClipEnded())
            return;
        const qint64 now = clock.nsecsElapsed();
        wait->setInterval(0);
        reactionMs.push_back((now - endedNs) / 1e6);
        overshootMs.push_back((now - startedNs) / 1e6 - player.length());
        if (static_cast<int>(reactionMs.size()) == steps)
            QTimer::singleShot(0, &app, &QCoreApplication::quit);
        else
            QTimer::singleShot(0, &app, nextStep);
    });
    nextStep = [&] {
        startedNs = clock.nsecsElapsed();
        player.setFileName(clip);
        player.setPlayCount(1);
        wait->setInterval(1);
    };
    QTimer::singleShot(0, &app, nextStep);
    app.exec();

    std::printf("clip %s, %d steps, length %.0f ms\n", qPrintable(clip), steps, player.length());
    std::printf("end of clip reported -> next step: median %.3f ms, max %.3f ms\n",
                median(reactionMs), maximum(reactionMs));
    std::printf("next step after clip start + length: median %.1f ms, max %.1f ms\n",
                median(overshootMs), maximum(overshootMs));
    return 0;
}
