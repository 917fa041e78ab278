#include "sound_decoder.h"

#include "regular_file.h"
#include "sdl_library.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <memory>
#include <mpg123.h>

namespace media {

namespace {

// A file that decodes to this much less than the length its header declares
// was cut short.
constexpr double kCutShortToleranceMs = 5;

// The sample rates a sound file may have; outside them the file is damaged or
// made to harm (a WAV at 1 Hz would be resampled to 44 100 times its size).
constexpr int kLowestRate = 8000;
constexpr int kHighestRate = 192000;
constexpr int kMostChannels = 8;

// Bytes read or decoded at a time.
constexpr size_t kChunkBytes = 64 * 1024;

// A compressed WAV (ADPCM and the like) is decoded whole by SDL: only a small one.
constexpr qint64 kLargestCompressedWav = 4 * 1024 * 1024;

enum class Container { Mp3, Wav, Unknown };

// What a file's first bytes say it is.
Container containerOf(const QString& path) {
    files::OpenFile opened(path, files::Access::Read, files::Links::Follow);
    QFile file;
    if (!opened.isOpen() ||
        !file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle))
        return Container::Unknown;
    const QByteArray head = file.read(4);
    if (head.startsWith("RIFF"))
        return Container::Wav;
    if (head.startsWith("ID3"))
        return Container::Mp3;
    // An MPEG audio frame's sync word, layer III.
    if (head.size() >= 2 && uchar(head[0]) == 0xFF && (uchar(head[1]) & 0xE6) == 0xE2)
        return Container::Mp3;
    return Container::Unknown;
}

// "1:02:03" or "4:05".
QString clockText(double seconds) {
    const auto whole = qint64(seconds + 0.5);
    const qint64 hours = whole / 3600;
    const qint64 minutes = whole / 60 % 60;
    const qint64 rest = whole % 60;
    if (hours > 0)
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(rest, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(minutes).arg(rest, 2, 10, QLatin1Char('0'));
}

QString tooLong(const QString& length) {
    return QStringLiteral("too long to keep: it lasts %1; at most %2 is kept")
        .arg(length, clockText(double(kLongestSoundFrames) / kSoundRate));
}

// The bytes a sound of that many frames at that rate takes once decoded.
qint64 decodedBytes(qint64 frames, qint64 rate) {
    return frames * kSoundRate / std::max<qint64>(rate, 1) * qint64(sizeof(int16_t));
}

QString noRoom(qint64 roomBytes, qint64 bytes) {
    return QStringLiteral("not kept: the sounds decoded already take %1 MB, and this one's %2 MB "
                          "would pass the %3 MB all sounds may take")
        .arg((kAllSoundsBytes - roomBytes) >> 20)
        .arg(bytes >> 20)
        .arg(kAllSoundsBytes >> 20);
}

// Interleaved samples of any format, rate and channel count, taken a chunk at a
// time as they are decoded and converted at once into the output's format. Stops
// taking them once the sound is longer than the longest kept.
class Converter {
  public:
    // expectedFrames: the source's length as its header declares it, if known,
    // so that the samples are held in one block of the right size.
    explicit Converter(qint64 roomBytes) : roomFrames_(roomBytes / qint64(sizeof(int16_t))) {}

    bool begin(SDL_AudioFormat format, int channels, int rate, qint64 expectedFrames,
               QString& problem) {
        direct_ = format == AUDIO_S16SYS && channels == 1 && rate == kSoundRate;
        if (expectedFrames > 0) {
            const qint64 frames = expectedFrames * kSoundRate / rate + kSoundRate / 10;
            out_.reserve(size_t(std::min(
                {frames, kLongestSoundFrames + kSlackFrames, roomFrames_ + kSlackFrames})));
        }
        if (direct_)
            return true;
        sdl_ = sdlLibrary(&problem);
        if (!sdl_)
            return false;
        format_ = format;
        rate_ = rate;
        frameBytes_ = size_t(SDL_AUDIO_BITSIZE(format) / 8 * channels);
        stream_ = sdl_->NewAudioStream(format, Uint8(channels), rate, AUDIO_S16SYS, 1, kSoundRate);
        if (!stream_) {
            problem = QString::fromUtf8(sdl_->GetError());
            return false;
        }
        return true;
    }

    ~Converter() {
        if (stream_)
            sdl_->FreeAudioStream(stream_);
    }

    // False once the sound is too long, or on a failure (in problem).
    bool put(const void* samples, size_t bytes, QString& problem) {
        if (direct_) {
            const auto* first = static_cast<const int16_t*>(samples);
            append(first, bytes / 2);
        } else {
            if (sdl_->AudioStreamPut(stream_, samples, int(bytes)) != 0) {
                problem = QString::fromUtf8(sdl_->GetError());
                return false;
            }
            framesPut_ += qint64(bytes / frameBytes_);
            if (!drain(problem))
                return false;
        }
        return !tooLong() && !overRoom();
    }

    // The samples the resampler still holds. Flushing alone leaves the last
    // tens of milliseconds in the resampler (64 ms of a sound at 8 kHz), so a
    // tenth of a second of silence follows the sound, and is cut off again.
    bool finish(QString& problem) {
        if (direct_)
            return true;
        const std::vector<Uint8> silence(size_t(rate_ / 10) * frameBytes_,
                                         format_ == AUDIO_U8 ? 0x80 : 0);
        if (sdl_->AudioStreamPut(stream_, silence.data(), int(silence.size())) != 0 ||
            sdl_->AudioStreamFlush(stream_) != 0) {
            problem = QString::fromUtf8(sdl_->GetError());
            return false;
        }
        if (!drain(problem))
            return false;
        const auto length = size_t((framesPut_ * kSoundRate + rate_ / 2) / rate_);
        if (out_.size() > length)
            out_.resize(length);
        return true;
    }

    [[nodiscard]] bool tooLong() const { return qint64(out_.size()) > kLongestSoundFrames; }
    [[nodiscard]] qint64 frames() const { return qint64(out_.size()); }
    // More than the room given, past the few samples by which the length
    // found by decoding may pass the one estimated from the header.
    [[nodiscard]] bool overRoom() const {
        return qint64(out_.size()) > roomFrames_ + kSoundRate / 100;
    }

    std::vector<int16_t> take() {
        // A block held far larger than the sound (a header that promised more)
        // is given back.
        if (out_.capacity() - out_.size() > kSlackFrames)
            out_.shrink_to_fit();
        return std::move(out_);
    }

  private:
    static constexpr qint64 kSlackFrames = kSoundRate;

    bool drain(QString& problem) {
        int16_t converted[kChunkBytes / 2];
        for (;;) {
            const int got = sdl_->AudioStreamGet(stream_, converted, int(sizeof converted));
            if (got < 0) {
                problem = QString::fromUtf8(sdl_->GetError());
                return false;
            }
            if (got == 0)
                return true;
            append(converted, size_t(got) / 2);
        }
    }

    void append(const int16_t* samples, size_t count) {
        if (out_.size() + count > out_.capacity()) {
            // Grows as a vector does, but never past the longest sound kept.
            const size_t cap = size_t(kLongestSoundFrames + kSlackFrames);
            size_t wanted = std::max(out_.capacity() * 2, out_.size() + count);
            wanted = std::max(std::min(wanted, cap), out_.size() + count);
            out_.reserve(wanted);
        }
        out_.insert(out_.end(), samples, samples + count);
    }

    qint64 roomFrames_;
    const SdlLibrary* sdl_ = nullptr;
    SDL_AudioStream* stream_ = nullptr;
    bool direct_ = false;
    SDL_AudioFormat format_ = 0;
    int rate_ = kSoundRate;
    size_t frameBytes_ = 1;
    qint64 framesPut_ = 0; // source frames taken so far
    std::vector<int16_t> out_;
};

// What a WAV file's header says.
struct WavHeader {
    int format = 0; // 1: integer PCM, 3: floating point, others compressed
    int channels = 0;
    int rate = 0;
    int blockAlign = 0;
    int bits = 0;
    qint64 dataOffset = -1;
    qint64 dataBytes = 0;
    bool cutShort = false; // the data ends before its declared size
};

// Reads the chunks up to the sound data. Empty when it can be decoded, else why not.
QString readWavHeader(QFile& file, WavHeader& header) {
    const QByteArray riff = file.read(12);
    if (riff.size() < 12 || !riff.startsWith("RIFF") || riff.mid(8, 4) != "WAVE")
        return QStringLiteral("not a WAV file");
    bool haveFormat = false;
    for (;;) {
        const QByteArray chunk = file.read(8);
        if (chunk.size() < 8)
            return haveFormat ? QStringLiteral("no sound data in the WAV file")
                              : QStringLiteral("no format in the WAV file");
        const QByteArray id = chunk.left(4);
        const qint64 size = qFromLittleEndian<quint32>(chunk.constData() + 4);
        const qint64 start = file.pos();
        if (id == "fmt ") {
            const QByteArray format = file.read(std::min<qint64>(size, 40));
            if (format.size() < 16)
                return QStringLiteral("damaged WAV format");
            const char* f = format.constData();
            header.format = qFromLittleEndian<quint16>(f);
            header.channels = qFromLittleEndian<quint16>(f + 2);
            header.rate = int(std::min<quint32>(qFromLittleEndian<quint32>(f + 4), INT32_MAX));
            header.blockAlign = qFromLittleEndian<quint16>(f + 12);
            header.bits = qFromLittleEndian<quint16>(f + 14);
            // WAVE_FORMAT_EXTENSIBLE: the real format leads its sub-format.
            if (header.format == 0xFFFE && format.size() >= 26)
                header.format = qFromLittleEndian<quint16>(f + 24);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return QStringLiteral("no format before the sound data in the WAV file");
            header.dataOffset = file.pos();
            header.dataBytes = size;
            const qint64 there = file.size() - header.dataOffset;
            if (there < size) {
                header.dataBytes = there;
                header.cutShort = true;
            }
            return {};
        }
        // Chunks are padded to an even size.
        if (!file.seek(start + size + (size & 1)))
            return QStringLiteral("damaged WAV file");
    }
}

// The data chunk of an integer or floating point WAV, read and converted a
// chunk at a time. 24-bit and 64-bit samples, which SDL does not take, are
// widened or narrowed on the way.
bool streamPcm(QFile& file, const WavHeader& header, Converter& converter, QString& problem) {
    const int bytesPerSample = header.blockAlign / header.channels;
    const size_t chunk = kChunkBytes / size_t(header.blockAlign) * size_t(header.blockAlign);
    std::vector<char> buffer(std::max<size_t>(chunk, size_t(header.blockAlign)));
    std::vector<int32_t> wide;
    std::vector<float> narrow;
    qint64 left = header.dataBytes;
    while (left >= header.blockAlign) {
        const qint64 want =
            std::min<qint64>(qint64(buffer.size()), left) / header.blockAlign * header.blockAlign;
        const qint64 got = file.read(buffer.data(), want);
        if (got <= 0)
            break;
        left -= got;
        const size_t samples = size_t(got) / size_t(bytesPerSample);
        const void* data = buffer.data();
        size_t bytes = size_t(got);
        if (header.format == 1 && bytesPerSample == 3) {
            wide.resize(samples);
            for (size_t i = 0; i < samples; ++i) {
                const auto* b = reinterpret_cast<const uchar*>(buffer.data()) + 3 * i;
                wide[i] =
                    int32_t(uint32_t(b[0]) << 8 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 24);
            }
            data = wide.data();
            bytes = samples * 4;
        } else if (header.format == 3 && bytesPerSample == 8) {
            narrow.resize(samples);
            for (size_t i = 0; i < samples; ++i)
                narrow[i] = float(qFromLittleEndian<double>(buffer.data() + 8 * i));
            data = narrow.data();
            bytes = samples * 4;
        }
        if (!converter.put(data, bytes, problem))
            return false;
    }
    return true;
}

// A compressed WAV, decoded whole by SDL into 16-bit samples at its own rate,
// then converted a chunk at a time. SDL is given the bytes already read from the
// open file, up to the end of the sound data, with the data chunk's size set to
// what the file holds: SDL reserves memory for the size a header declares, and a
// header may declare gigabytes the file does not have.
bool loadCompressedWav(QFile& file, Converter* converter, const WavHeader& header, qint64 roomBytes,
                       QString& problem) {
    const SdlLibrary* sdl = sdlLibrary(&problem);
    if (!sdl)
        return false;
    if (!file.seek(0)) {
        problem = file.errorString();
        return false;
    }
    QByteArray bytesRead = file.read(header.dataOffset + header.dataBytes);
    if (bytesRead.size() != header.dataOffset + header.dataBytes) {
        problem = QStringLiteral("damaged WAV file");
        return false;
    }
    qToLittleEndian<quint32>(quint32(header.dataBytes), bytesRead.data() + header.dataOffset - 4);
    SDL_AudioSpec wav{};
    Uint8* buffer = nullptr;
    Uint32 bytes = 0;
    SDL_RWops* memory = sdl->RWFromConstMem(bytesRead.constData(), int(bytesRead.size()));
    if (!memory || !sdl->LoadWAV_RW(memory, 1, &wav, &buffer, &bytes)) { // frees `memory`
        problem = QString::fromUtf8(sdl->GetError());
        return false;
    }
    const std::unique_ptr<Uint8, decltype(sdl->FreeWAV)> held(buffer, sdl->FreeWAV);
    if (wav.channels != header.channels || wav.freq != header.rate) {
        problem = QStringLiteral("damaged WAV format");
        return false;
    }
    const qint64 needed =
        decodedBytes(qint64(bytes) / (SDL_AUDIO_BITSIZE(wav.format) / 8 * wav.channels), wav.freq);
    if (needed > roomBytes) {
        problem = noRoom(roomBytes, needed);
        return false;
    }
    if (!converter->begin(wav.format, wav.channels, wav.freq, 0, problem))
        return false;
    const size_t frameBytes = size_t(SDL_AUDIO_BITSIZE(wav.format) / 8 * wav.channels);
    const size_t chunk = std::max(frameBytes, kChunkBytes / frameBytes * frameBytes);
    for (size_t at = 0; at < bytes; at += chunk) {
        if (!converter->put(buffer + at, std::min(chunk, size_t(bytes) - at), problem))
            return false;
    }
    return true;
}

// What is said of a sound that stopped decoding once it was too long or too
// large: empty when it did not.
QString stopped(const Converter& converter, qint64 roomBytes) {
    if (converter.tooLong())
        return tooLong(QStringLiteral("over ") +
                       clockText(double(kLongestSoundFrames) / kSoundRate));
    if (converter.overRoom())
        return noRoom(roomBytes, decodedBytes(converter.frames(), kSoundRate));
    return {};
}

DecodedSound decodeWav(const QString& path, qint64 roomBytes) {
    DecodedSound sound;
    // Only a regular file, also when a link names it: never a pipe or a device.
    files::OpenFile opened(path, files::Access::Read, files::Links::Follow);
    QFile file;
    if (!opened.isOpen()) {
        sound.problem = opened.problem();
        return sound;
    }
    if (!file.open(opened.release(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        sound.problem = file.errorString();
        return sound;
    }
    WavHeader header;
    sound.problem = readWavHeader(file, header);
    if (!sound.problem.isEmpty())
        return sound;
    if (header.rate < kLowestRate || header.rate > kHighestRate) {
        sound.problem = QStringLiteral("its sample rate of %1 Hz is outside %2 to %3 Hz")
                            .arg(header.rate)
                            .arg(kLowestRate)
                            .arg(kHighestRate);
        return sound;
    }
    if (header.channels < 1 || header.channels > kMostChannels) {
        sound.problem = QStringLiteral("it has %1 channels").arg(header.channels);
        return sound;
    }
    sound.cutShort = header.cutShort;

    SDL_AudioFormat format = 0;
    int bytesPerSample = 0;
    if (header.format == 1 && header.bits > 0 && header.bits <= 32) {
        bytesPerSample = (header.bits + 7) / 8;
        static constexpr SDL_AudioFormat kIntegers[] = {AUDIO_U8, AUDIO_S16LSB, AUDIO_S32LSB,
                                                        AUDIO_S32LSB};
        format = kIntegers[bytesPerSample - 1];
    } else if (header.format == 3 && (header.bits == 32 || header.bits == 64)) {
        bytesPerSample = header.bits / 8;
        format = AUDIO_F32LSB;
    }

    Converter converter(roomBytes);
    if (format != 0) {
        if (header.blockAlign != bytesPerSample * header.channels) {
            sound.problem = QStringLiteral("damaged WAV format");
            return sound;
        }
        const qint64 frames = header.dataBytes / header.blockAlign;
        if (frames * kSoundRate / header.rate > kLongestSoundFrames) {
            sound.problem = tooLong(clockText(double(frames) / header.rate));
            return sound;
        }
        if (const qint64 needed = decodedBytes(frames, header.rate); needed > roomBytes) {
            sound.problem = noRoom(roomBytes, needed);
            return sound;
        }
        if (!converter.begin(format, header.channels, header.rate, frames, sound.problem) ||
            !streamPcm(file, header, converter, sound.problem) ||
            !converter.finish(sound.problem)) {
            if (const QString why = stopped(converter, roomBytes); !why.isEmpty())
                sound.problem = why;
            return sound;
        }
    } else {
        // Every chunk before the sound data is read along with it.
        if (header.dataBytes > kLargestCompressedWav || header.dataOffset > kLargestCompressedWav) {
            sound.problem = QStringLiteral("a compressed WAV file (format %1) of %2 MB: "
                                           "only PCM WAV or MP3 is decoded at that size")
                                .arg(header.format)
                                .arg(double(header.dataOffset + header.dataBytes) / 1e6, 0, 'f', 1);
            return sound;
        }
        if (!loadCompressedWav(file, &converter, header, roomBytes, sound.problem) ||
            !converter.finish(sound.problem)) {
            if (const QString why = stopped(converter, roomBytes); !why.isEmpty())
                sound.problem = why;
            return sound;
        }
    }
    if (const QString why = stopped(converter, roomBytes); !why.isEmpty()) {
        sound.problem = why;
        return sound;
    }
    sound.samples = converter.take();
    return sound;
}

DecodedSound decodeMp3(const QString& path, qint64 roomBytes) {
    DecodedSound sound;
    // Only a regular file, also when a link names it: never a pipe or a device.
    // Open until the decoder is gone.
    const files::OpenFile opened(path, files::Access::Read, files::Links::Follow);
    if (!opened.isOpen()) {
        sound.problem = opened.problem();
        return sound;
    }
    int error = MPG123_OK;
    const std::unique_ptr<mpg123_handle, decltype(&mpg123_delete)> decoder(
        mpg123_new(nullptr, &error), &mpg123_delete);
    if (!decoder) {
        sound.problem = QString::fromUtf8(mpg123_plain_strerror(error));
        return sound;
    }
    mpg123_handle* mh = decoder.get();
    // The engine names a damaged file once itself.
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0);
    // 16-bit samples at the file's own rate and channels.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t rateCount = 0;
    mpg123_rates(&rates, &rateCount);
    for (size_t i = 0; i < rateCount; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0;
    int encoding = 0;
    if (mpg123_open_fd(mh, opened.fd()) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || channels < 1 ||
        rate <= 0) {
        sound.problem = QString::fromUtf8(mpg123_strerror(mh));
        return sound;
    }
    // The whole length as the file's header declares it (a Xing or Info frame),
    // or else as its size and first frame suggest, before decoding shows how
    // much is really there. One that seems too long is measured from every
    // frame's header, without decoding, and refused at once if it is.
    off_t declared = mpg123_length(mh);
    const auto tooLongToKeep = [rate](off_t frames) {
        return qint64(frames) * kSoundRate / rate > kLongestSoundFrames;
    };
    // So is one that seems too large for the room left.
    const auto tooLarge = [rate, roomBytes](off_t frames) {
        return decodedBytes(qint64(frames), rate) > roomBytes;
    };
    if (declared > 0 && (tooLongToKeep(declared) || tooLarge(declared)) &&
        mpg123_scan(mh) == MPG123_OK) {
        declared = mpg123_length(mh);
        if (declared > 0 && tooLongToKeep(declared)) {
            sound.problem = tooLong(clockText(double(declared) / double(rate)));
            return sound;
        }
        if (declared > 0 && tooLarge(declared)) {
            sound.problem = noRoom(roomBytes, decodedBytes(qint64(declared), rate));
            return sound;
        }
    }

    Converter converter(roomBytes);
    if (!converter.begin(AUDIO_S16SYS, channels, int(rate), qint64(declared), sound.problem))
        return sound;
    qint64 frames = 0;
    unsigned char buffer[kChunkBytes];
    bool fits = true;
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(mh, buffer, sizeof buffer, &done);
        frames += qint64(done / 2 / size_t(channels));
        if (done > 0 && !converter.put(buffer, done / 2 / size_t(channels) * size_t(channels) * 2,
                                       sound.problem)) {
            fits = false;
            break;
        }
        // The end, damage or a change of format from here on: what is decoded is played.
        if (result != MPG123_OK)
            break;
    }
    // Decoding stopped soon after the longest or largest sound kept (a header
    // that declared less, or a file that could not be measured).
    if (const QString why = stopped(converter, roomBytes); !why.isEmpty()) {
        sound.problem = why;
        return sound;
    }
    if (!fits)
        return sound;
    if (frames == 0) {
        sound.problem = QStringLiteral("no sound in the file");
        return sound;
    }
    const double decodedMs = 1000.0 * double(frames) / double(rate);
    sound.cutShort =
        declared > 0 && 1000.0 * double(declared) / double(rate) > decodedMs + kCutShortToleranceMs;
    mpg123_close(mh);
    if (!converter.finish(sound.problem))
        return sound;
    if (const QString why = stopped(converter, roomBytes); !why.isEmpty()) {
        sound.problem = why;
        return sound;
    }
    sound.samples = converter.take();
    return sound;
}

} // namespace

DecodedSound decodeSound(const QString& path, qint64 roomBytes) {
    DecodedSound sound;
    switch (containerOf(path)) {
    case Container::Mp3:
        sound = decodeMp3(path, roomBytes);
        break;
    case Container::Wav:
        sound = decodeWav(path, roomBytes);
        break;
    case Container::Unknown:
        sound.problem = QStringLiteral("not a sound file");
        return sound;
    }
    if (sound.problem.isEmpty() && sound.samples.empty())
        sound.problem = QStringLiteral("no sound in the file");
    return sound;
}

} // namespace media
