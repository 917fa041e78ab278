#include "settings.h"

#include "background_writes.h"
#include "settings_file.h"

#include <QStringList>
#include <algorithm>
#include <atomic>
#include <cstdio>

namespace storage {

namespace {

const QString kMutedKey = QStringLiteral("sound/muted");
const QString kVolumeKey = QStringLiteral("sound/volume");
const QString kGeometryKey = QStringLiteral("window/geometry");
const QString kFullScreenKey = QStringLiteral("window/fullScreen");
const QString kLanguageKey = QStringLiteral("interface/language");
const QString kQuickPaceKey = QStringLiteral("game/quickPace");
const QString kSummaryAtEndKey = QStringLiteral("game/summaryAtEnd");

constexpr int kFullVolume = 100;

std::atomic<bool> inBackground{false};

// Writes values to the file at path; the first failure of a run is said.
bool writeNow(const QString& path, const QList<QPair<QString, QString>>& values) {
    static std::atomic<bool> failureSaid{false};
    QString error;
    if (SettingsFile(path).set(values, &error))
        return true;
    if (!failureSaid.exchange(true))
        std::fprintf(stderr,
                     "zorban: cannot write the settings to %s (%s); the file is kept as it "
                     "was\n",
                     qPrintable(path), qPrintable(error));
    return false;
}

// What the file holds once this run's own writes are done.
SettingsFile current(const QString& path) {
    if (inBackground)
        background_writes::wait();
    return SettingsFile(path);
}

} // namespace

Settings::Settings() : path_(SettingsFile::userFile()) {}

Settings::Settings(QString path) : path_(std::move(path)) {}

bool Settings::muted() const {
    return current(path_).boolValue(kMutedKey).value_or(false);
}

int Settings::volume() const {
    return std::clamp(current(path_).intValue(kVolumeKey).value_or(kFullVolume), 0, kFullVolume);
}

std::optional<QRect> Settings::windowPlace() const {
    const std::optional<QRect> place = current(path_).rectValue(kGeometryKey);
    return place && place->isValid() ? place : std::nullopt;
}

bool Settings::fullScreen() const {
    return current(path_).boolValue(kFullScreenKey).value_or(false);
}

QString Settings::language() const {
    const std::optional<QString> kept = current(path_).value(kLanguageKey);
    // Only the exact codes the game writes count: anything else is not a choice.
    static const QStringList known{QStringLiteral("ru"), QStringLiteral("en")};
    return kept && known.contains(*kept) ? *kept : QString();
}

bool Settings::quickPace() const {
    return current(path_).boolValue(kQuickPaceKey).value_or(false);
}

bool Settings::summaryAtEnd() const {
    return current(path_).boolValue(kSummaryAtEndKey).value_or(false);
}

bool Settings::setMuted(bool muted) const {
    return write({{kMutedKey, SettingsFile::boolText(muted)}});
}

bool Settings::setVolume(int percent) const {
    return write({{kVolumeKey, QString::number(std::clamp(percent, 0, kFullVolume))}});
}

bool Settings::setWindow(const QRect& place, bool fullScreen) const {
    return write({{kGeometryKey, SettingsFile::rectText(place)},
                  {kFullScreenKey, SettingsFile::boolText(fullScreen)}});
}

bool Settings::setLanguage(const QString& language) const {
    return write({{kLanguageKey, language}});
}

bool Settings::setQuickPace(bool quick) const {
    return write({{kQuickPaceKey, SettingsFile::boolText(quick)}});
}

bool Settings::setSummaryAtEnd(bool shown) const {
    return write({{kSummaryAtEndKey, SettingsFile::boolText(shown)}});
}

void Settings::removeLeftovers() const {
    SettingsFile(path_).removeLeftovers();
}

void Settings::writeInBackground() {
    inBackground = true;
}

bool Settings::write(const QList<QPair<QString, QString>>& values) const {
    if (!inBackground)
        return writeNow(path_, values);
    background_writes::post([path = path_, values] { writeNow(path, values); });
    return true;
}

} // namespace storage
