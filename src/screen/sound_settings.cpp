#include "sound_settings.h"

#include "sound_engine.h"

#include "settings.h"

#include <algorithm>

SoundSettings::SoundSettings(media::SoundEngine* engine, QObject* parent)
    : QObject(parent), engine_(engine) {
    const storage::Settings settings;
    settings.removeLeftovers();
    muted_ = settings.muted();
    volume_ = settings.volume();
    apply();
}

void SoundSettings::setMuted(bool muted) {
    muted_ = muted;
    apply();
    storage::Settings().setMuted(muted_);
    emit changed();
}

void SoundSettings::setVolume(int percent) {
    volume_ = std::clamp(percent, 0, 100);
    apply();
    storage::Settings().setVolume(volume_);
    emit changed();
}

void SoundSettings::louder() {
    if (muted_)
        setMuted(false);
    setVolume(volume_ + kVolumeStep);
}

void SoundSettings::quieter() {
    setVolume(volume_ - kVolumeStep);
}

void SoundSettings::muteThisRun() {
    muted_ = true;
    apply();
    emit changed();
}

void SoundSettings::apply() {
    if (!engine_)
        return;
    engine_->setVolume(volume_);
    engine_->setMuted(muted_);
}
