#include "fake_sound_player.h"

#include <QMetaObject>
#include <QTimer>

void FakeSoundPlayer::start(const QString& path) {
    m_current = path;
    m_history << path;
    m_loopings << m_looping;
    begin();
}

void FakeSoundPlayer::setLooping(bool looping) {
    m_looping = looping;
    if (!m_loopings.isEmpty())
        m_loopings.last() = looping;
}

void FakeSoundPlayer::resume() {
    if (!m_current.isEmpty() && !m_playing)
        begin();
}

void FakeSoundPlayer::endClip() {
    m_playing = false;
    m_position = kClipLength;
    emit clipEnded();
}

void FakeSoundPlayer::begin() {
    ++m_generation;
    m_playing = true;
    m_position = 0;
    if (!m_missing.contains(m_current)) {
        if (m_autoEndMs >= 0) {
            QTimer::singleShot(m_autoEndMs, this, [this, clip = m_generation] {
                if (clip == m_generation && m_playing && !m_looping)
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
