#include "sound_settings.h"

#include "sound_engine.h"

#include "settings_file.h"

#include <algorithm>
#include <cstdio>

namespace {

const QString kMutedKey = QStringLiteral("sound/muted");
const QString kVolumeKey = QStringLiteral("sound/volume");

} // namespace

void keepSettings(const QList<QPair<QString, QString>>& values) {
    static bool failureSaid = false;
    const game::SettingsFile file(game::SettingsFile::userFile());
    QString error;
    if (!file.set(values, &error) && !failureSaid) {
        failureSaid = true;
        std::fprintf(stderr,
                     "zorban: cannot write the settings to %s (%s); the file is kept as it "
                     "was\n",
                     qPrintable(file.path()), qPrintable(error));
    }
}

SoundSettings::SoundSettings(media::SoundEngine* engine, QObject* parent)
    : QObject(parent), engine_(engine) {
    const game::SettingsFile settings(game::SettingsFile::userFile());
    settings.removeLeftovers();
    muted_ = settings.boolValue(kMutedKey).value_or(false);
    volume_ = std::clamp(settings.intValue(kVolumeKey).value_or(100), 0, 100);
    apply();
}

void SoundSettings::setMuted(bool muted) {
    muted_ = muted;
    apply();
    keepSettings({{kMutedKey, game::SettingsFile::boolText(muted_)}});
    emit changed();
}

void SoundSettings::setVolume(int percent) {
    volume_ = std::clamp(percent, 0, 100);
    apply();
    keepSettings({{kVolumeKey, QString::number(volume_)}});
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
