#include "fake_sound_player.h"

#include <QMetaObject>
#include <QTimer>

void FakeSoundPlayer::setFileName(const QString& path) {
    m_current = path;
    m_history << path;
    m_playCounts << m_playCount;
    start();
}

void FakeSoundPlayer::setPlayCount(int count) {
    m_playCount = count;
    if (!m_playCounts.isEmpty())
        m_playCounts.last() = count;
}

void FakeSoundPlayer::play() {
    if (!m_current.isEmpty() && !m_playing)
        start();
}

void FakeSoundPlayer::endClip() {
    m_playing = false;
    m_position = kClipLength;
    emit clipEnded();
}

void FakeSoundPlayer::start() {
    ++m_generation;
    m_playing = true;
    m_position = 0;
    if (!m_missing.contains(m_current)) {
        if (m_autoEndMs >= 0) {
            QTimer::singleShot(m_autoEndMs, this, [this, clip = m_generation] {
                if (clip == m_generation && m_playing && m_playCount != 0)
                    endClip();
            });
        }
        return;
    }
    m_playing = false;
    m_position = kClipLength;
    QMetaObject::invokeMethod(
        this,
        [this, clip = m_generation] {
            if (clip == m_generation)
                emit clipEnded();
        },
        Qt::QueuedConnection);
}
