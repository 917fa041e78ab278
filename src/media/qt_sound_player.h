#pragma once

#include "sound_player.h"

#include <memory>

// The sound player over Qt Multimedia.
class QtSoundPlayer final : public SoundPlayer {
    Q_OBJECT
  public:
    explicit QtSoundPlayer(QObject* parent = nullptr);
    ~QtSoundPlayer() override;

    void setFileName(const QString& path) override;
    [[nodiscard]] QString fileName() const override;
    void setPlayCount(int count) override;
    [[nodiscard]] int playCount() const override;
    [[nodiscard]] double currentPosition() const override;
    [[nodiscard]] double length() const override;
    void play() override;
    void stop() override;

  private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
