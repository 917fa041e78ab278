#pragma once

#include <QPixmap>
#include <QString>

// The window's pictures, built into the program. On a high-density screen the
// double-size version ("name@2x.png") is used when there is one.
namespace pictures {

[[nodiscard]] QPixmap load(const QString& name, qreal devicePixelRatio);
[[nodiscard]] QString plateName(int plateIndex); // the numbered plate of case plateIndex + 1

inline const QString kLogo = QStringLiteral("logo");
inline const QString kBriefcase = QStringLiteral("briefcase");
inline const QString kBackground = QStringLiteral("background");
inline const QString kHistoryFrame = QStringLiteral("history-frame");

} // namespace pictures
