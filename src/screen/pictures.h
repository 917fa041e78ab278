#pragma once

#include <QIcon>
#include <QPixmap>
#include <QString>

// The window's pictures, built into the program. On a high-density screen the
// double-size version ("name@2x.png") is used when there is one.
namespace pictures {

[[nodiscard]] QPixmap load(const QString& name, qreal devicePixelRatio);
[[nodiscard]] QString plateName(int plateIndex); // the numbered plate of case plateIndex + 1

// The program's icon in every size built into it, so that its windows show it
// wherever the binary runs from, installed or not.
[[nodiscard]] QIcon icon();

// Starts decoding, on threads of their own, the pictures the first game window
// shows at the primary screen's pixel ratio: the window's controls are built
// meanwhile, and load() takes each picture when it is ready instead of decoding
// it again. Call once, after the application object exists.
void decodeAhead();
// Frees what was decoded ahead and not taken (a window drawn at another ratio).
void forgetDecodedAhead();

inline const QString kLogo = QStringLiteral("logo");
inline const QString kBriefcase = QStringLiteral("briefcase");
inline const QString kBackground = QStringLiteral("background");
inline const QString kHistoryFrame = QStringLiteral("history-frame");

} // namespace pictures
