#include "sound_settings.h"

#include "sound_engine.h"

#include <QSettings>
#include <algorithm>

namespace {

const char kMutedKey[] = "sound/muted";
const char kVolumeKey[] = "sound/volume";

QSettings userSettings() {
    return QSettings(QStringLiteral("zorban"), QStringLiteral("zorban"));
}

} // namespace

SoundSettings::SoundSettings(media::SoundEngine* engine, QObject* parent)
    : QObject(parent), engine_(engine) {
    const QSettings settings = userSettings();
    muted_ = settings.value(QLatin1String(kMutedKey), false).toBool();
    bool isNumber = false;
    const int volume = settings.value(QLatin1String(kVolumeKey), 100).toInt(&isNumber);
    volume_ = isNumber ? std::clamp(volume, 0, 100) : 100;
    apply();
}

void SoundSettings::setMuted(bool muted) {
    muted_ = muted;
    apply();
    userSettings().setValue(QLatin1String(kMutedKey), muted_);
    emit changed();
}

void SoundSettings::setVolume(int percent) {
    volume_ = std::clamp(percent, 0, 100);
    apply();
    userSettings().setValue(QLatin1String(kVolumeKey), volume_);
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
