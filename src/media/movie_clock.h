#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <vector>

// A movie that the clock drives while it plays and is shown.
class MovieClockClient {
  public:
    [[nodiscard]] virtual double clockFrameRate() const = 0;
    virtual void clockTick(qint64 nowMs) = 0;

  protected:
    ~MovieClockClient() = default;
};

// The one timer behind every playing movie. It runs only while at least one
// client is attached, ticking twice per frame of the fastest client (never more
// often than every kMinIntervalMs); movies work out their frame from the clock's
// time, so a late tick shows the right frame, not a slower movie.
class MovieClock final : public QObject {
    Q_OBJECT
  public:
    static constexpr int kMinIntervalMs = 8;

    // The clock of the running application, made on first use and owned by it.
    [[nodiscard]] static MovieClock& instance();

    // Milliseconds since the clock was made, plus every advance().
    [[nodiscard]] qint64 now() const;

    void attach(MovieClockClient* client);
    void detach(MovieClockClient* client);

    [[nodiscard]] bool isRunning() const { return timer_.isActive(); }
    [[nodiscard]] int interval() const { return timer_.interval(); }
    [[nodiscard]] int clientCount() const { return static_cast<int>(clients_.size()); }

    // Moves the clock's time forward and lets every attached movie catch up at
    // once, so tests need not wait for real time to pass.
    void advance(qint64 ms);
    // With manual time the clock's time stands still but for advance(), so
    // tests know exactly which frame is due.
    void setManualTime(bool manual);

  private:
    explicit MovieClock(QObject* parent);
    void tick();
    void retime();

    QTimer timer_;
    QElapsedTimer elapsed_;
    qint64 offsetMs_ = 0;
    bool manual_ = false;
    qint64 manualMs_ = 0;
    std::vector<MovieClockClient*> clients_;
};
