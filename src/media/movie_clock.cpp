#include "movie_clock.h"

#include <QCoreApplication>
#include <QPointer>
#include <algorithm>
#include <cmath>

MovieClock::MovieClock(QObject* parent) : QObject(parent) {
    timer_.setTimerType(Qt::PreciseTimer);
    connect(&timer_, &QTimer::timeout, this, &MovieClock::tick);
    elapsed_.start();
}

MovieClock& MovieClock::instance() {
    // Owned by the application, so the timer never outlives the event loop's thread data.
    static QPointer<MovieClock> clock;
    if (!clock)
        clock = new MovieClock(QCoreApplication::instance());
    return *clock;
}

qint64 MovieClock::now() const {
    return manual_ ? manualMs_ : elapsed_.elapsed() + offsetMs_;
}

void MovieClock::setManualTime(bool manual) {
    if (manual == manual_)
        return;
    // Time goes on from where it stood, so no movie jumps back or ahead.
    if (manual)
        manualMs_ = now();
    else
        offsetMs_ = manualMs_ - elapsed_.elapsed();
    manual_ = manual;
}

void MovieClock::attach(MovieClockClient* client) {
    if (std::find(clients_.begin(), clients_.end(), client) != clients_.end())
        return;
    clients_.push_back(client);
    retime();
}

void MovieClock::detach(MovieClockClient* client) {
    const auto it = std::find(clients_.begin(), clients_.end(), client);
    if (it == clients_.end())
        return;
    clients_.erase(it);
    retime();
}

void MovieClock::advance(qint64 ms) {
    (manual_ ? manualMs_ : offsetMs_) += std::max<qint64>(ms, 0);
    tick();
}

void MovieClock::tick() {
    const qint64 time = now();
    // A movie that reaches its end detaches itself during its tick.
    const std::vector<MovieClockClient*> clients = clients_;
    for (MovieClockClient* client : clients) {
        if (std::find(clients_.begin(), clients_.end(), client) != clients_.end())
            client->clockTick(time);
    }
}

void MovieClock::retime() {
    if (clients_.empty()) {
        timer_.stop();
        return;
    }
    double fastest = 0;
    for (const MovieClockClient* client : clients_)
        fastest = std::max(fastest, client->clockFrameRate());
    // Twice per frame of the fastest movie: a tick every whole frame period drifts
    // against the frames' own boundaries (33 ms against 33.3 ms), and every few
    // seconds one frame would be held twice as long or skipped altogether.
    const int period = fastest > 0
                           ? std::max(kMinIntervalMs, static_cast<int>(std::floor(500.0 / fastest)))
                           : kMinIntervalMs;
    if (timer_.isActive() && timer_.interval() == period)
        return;
    timer_.start(period);
}
