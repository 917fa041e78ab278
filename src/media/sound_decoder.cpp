#include "sound_decoder.h"

#include "sdl_library.h"

#include <QFile>
#include <memory>
#include <mpg123.h>

namespace media {

namespace {

// A file that decodes to this much less than the length its header declares
// was cut short.
constexpr double kCutShortToleranceMs = 5;

enum class Container { Mp3, Wav, Unknown };

// What a file's first bytes say it is.
Container containerOf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
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

// Interleaved samples of any format, rate and channel count, in the output's format.
bool convert(const void* samples, size_t bytes, SDL_AudioFormat format, int channels, int rate,
             std::vector<int16_t>& out, QString& problem) {
    if (format == AUDIO_S16SYS && channels == 1 && rate == kSoundRate) {
        const auto* first = static_cast<const int16_t*>(samples);
        out.assign(first, first + bytes / 2);
        return true;
    }
    const SdlLibrary* sdl = sdlLibrary(&problem);
    if (!sdl)
        return false;
    const std::unique_ptr<SDL_AudioStream, decltype(sdl->FreeAudioStream)> stream(
        sdl->NewAudioStream(format, Uint8(channels), rate, AUDIO_S16SYS, 1, kSoundRate),
        sdl->FreeAudioStream);
    if (!stream || sdl->AudioStreamPut(stream.get(), samples, int(bytes)) != 0 ||
        sdl->AudioStreamFlush(stream.get()) != 0) {
        problem = QString::fromUtf8(sdl->GetError());
        return false;
    }
    out.resize(size_t(sdl->AudioStreamAvailable(stream.get())) / 2);
    const int got = sdl->AudioStreamGet(stream.get(), out.data(), int(out.size() * 2));
    out.resize(got > 0 ? size_t(got) / 2 : 0);
    return true;
}

DecodedSound decodeWav(const QString& path) {
    DecodedSound sound;
    const SdlLibrary* sdl = sdlLibrary(&sound.problem);
    if (!sdl)
        return sound;
    SDL_AudioSpec wav{};
    Uint8* buffer = nullptr;
    Uint32 bytes = 0;
    SDL_RWops* file = sdl->RWFromFile(QFile::encodeName(path).constData(), "rb");
    if (!file || !sdl->LoadWAV_RW(file, 1, &wav, &buffer, &bytes)) { // closes the file
        sound.problem = QString::fromUtf8(sdl->GetError());
        return sound;
    }
    const std::unique_ptr<Uint8, decltype(sdl->FreeWAV)> held(buffer, sdl->FreeWAV);
    convert(buffer, bytes, wav.format, wav.channels, wav.freq, sound.samples, sound.problem);
    return sound;
}

DecodedSound decodeMp3(const QString& path) {
    DecodedSound sound;
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
    if (mpg123_open(mh, QFile::encodeName(path).constData()) != MPG123_OK ||
        mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || channels < 1) {
        sound.problem = QString::fromUtf8(mpg123_strerror(mh));
        return sound;
    }
    // The whole length as the file's header declares it (or as its size
    // suggests), before decoding shows how much is really there.
    const off_t declared = mpg123_length(mh);

    std::vector<int16_t> decoded;
    unsigned char buffer[32768];
    for (;;) {
        size_t done = 0;
        const int result = mpg123_read(mh, buffer, sizeof buffer, &done);
        const auto* samples = reinterpret_cast<const int16_t*>(buffer);
        decoded.insert(decoded.end(), samples, samples + done / 2);
        // The end, damage or a change of format from here on: what is decoded is played.
        if (result != MPG123_OK)
            break;
    }
    const size_t frames = decoded.size() / size_t(channels);
    if (frames == 0) {
        sound.problem = QStringLiteral("no sound in the file");
        return sound;
    }
    const double decodedMs = 1000.0 * double(frames) / double(rate);
    sound.cutShort =
        declared > 0 && 1000.0 * double(declared) / double(rate) > decodedMs + kCutShortToleranceMs;
    mpg123_close(mh);
    convert(decoded.data(), frames * size_t(channels) * 2, AUDIO_S16SYS, channels, int(rate),
            sound.samples, sound.problem);
    return sound;
}

} // namespace

DecodedSound decodeSound(const QString& path) {
    DecodedSound sound;
    switch (containerOf(path)) {
    case Container::Mp3:
        sound = decodeMp3(path);
        break;
    case Container::Wav:
        sound = decodeWav(path);
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
