"""Sound synthesis for the game's cues: oscillators, simple instruments, drums,
filters, reverb and level control, all in numpy at 44.1 kHz mono.

A Timeline collects notes at times; a looping timeline wraps the tails of its
last notes round to its start, so that the loop repeats without a seam."""

import numpy as np

SR = 44100
NYQUIST = SR / 2


def midi(note):
    """Frequency of a MIDI note number, or of a name like 'A4', 'C#5', 'Bb3'."""
    if isinstance(note, str):
        names = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}
        n = names[note[0]]
        rest = note[1:]
        while rest and rest[0] in "#b":
            n += 1 if rest[0] == "#" else -1
            rest = rest[1:]
        note = n + 12 * (int(rest) + 1)
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def samples(seconds):
    return int(round(seconds * SR))


def times(n):
    return np.arange(n) / SR


def as_curve(value, n):
    return np.full(n, float(value)) if np.isscalar(value) else np.asarray(value, dtype=np.float64)


def glide(f0, f1, n, shape="exp"):
    """A frequency curve from f0 to f1 over n samples."""
    x = np.linspace(0.0, 1.0, n)
    if shape == "exp":
        return f0 * (f1 / f0) ** x
    return f0 + (f1 - f0) * x


def phase_of(freq, n):
    return 2 * np.pi * np.cumsum(as_curve(freq, n)) / SR


# --- envelopes ------------------------------------------------------------

def adsr(n, attack, decay, sustain, release, hold=None):
    """Linear attack, exponential-ish decay to sustain, release at the end."""
    a, d, r = samples(attack), samples(decay), samples(release)
    env = np.empty(n)
    t = np.arange(n)
    env[:] = sustain
    if d > 0:
        dec = sustain + (1 - sustain) * np.exp(-5.0 * (t - a) / d)
        env = np.where(t >= a, dec, env)
    if a > 0:
        env = np.where(t < a, t / a, env)
    if r > 0 and r < n:
        tail = np.ones(n)
        tail[n - r:] = np.linspace(1.0, 0.0, r) ** 2
        env *= tail
    return env


def perc(n, decay, attack=0.002):
    t = times(n)
    env = np.exp(-t / decay)
    a = samples(attack)
    if a > 0:
        env[:a] *= np.linspace(0, 1, a)
    return env


def fade(x, fade_in=0.004, fade_out=0.03):
    y = x.copy()
    a, b = samples(fade_in), samples(fade_out)
    if a:
        y[:a] *= np.sin(np.linspace(0, np.pi / 2, a)) ** 2
    if b:
        y[-b:] *= np.cos(np.linspace(0, np.pi / 2, b)) ** 2
    return y


# --- oscillators ----------------------------------------------------------

def sine(freq, n, phase0=0.0):
    return np.sin(phase_of(freq, n) + phase0)


def additive(freq, n, amp_of_harmonic, max_harmonics=80):
    """Sum of harmonics k*freq, each weighted by amp_of_harmonic(k, k*freq),
    skipping those above the audible band."""
    f = as_curve(freq, n)
    ph = phase_of(f, n)
    out = np.zeros(n)
    for k in range(1, max_harmonics + 1):
        fk = f * k
        if fk.min() > 16000:
            break
        amp = amp_of_harmonic(k, fk) * (fk < 16000)
        out += amp * np.sin(k * ph)
    return out


def lowpass_gain(fk, cutoff, order=2):
    return 1.0 / np.sqrt(1.0 + (fk / cutoff) ** (2 * order))


def saw(freq, n, cutoff=None, order=2):
    """Band-limited sawtooth, optionally darkened by a (time-varying) cutoff."""
    cut = None if cutoff is None else as_curve(cutoff, n)
    return additive(freq, n, lambda k, fk: (1.0 / k) * (1.0 if cut is None else lowpass_gain(fk, cut, order)))


def square(freq, n, cutoff=None):
    cut = None if cutoff is None else as_curve(cutoff, n)
    return additive(freq, n, lambda k, fk: (k % 2) / k * (1.0 if cut is None else lowpass_gain(fk, cut)))


def vibrato(freq, n, rate=5.5, depth=0.006, delay=0.15):
    t = times(n)
    ramp = np.clip((t - delay) / 0.2, 0, 1)
    return as_curve(freq, n) * (1 + depth * ramp * np.sin(2 * np.pi * rate * t))


# --- filters (offline, in the frequency domain) ---------------------------

def spectral(x, response):
    """Filters x by a zero-phase gain response(f) applied to its spectrum."""
    n = len(x)
    size = 1 << int(np.ceil(np.log2(max(2, n))))
    spectrum = np.fft.rfft(x, size)
    f = np.fft.rfftfreq(size, 1.0 / SR)
    return np.fft.irfft(spectrum * response(f), size)[:n]


def lowpass(x, cutoff, order=2):
    return spectral(x, lambda f: lowpass_gain(f, cutoff, order))


def highpass(x, cutoff, order=2):
    return spectral(x, lambda f: 1.0 / np.sqrt(1.0 + (cutoff / np.maximum(f, 1e-3)) ** (2 * order)))


def bandpass(x, low, high, order=2):
    return highpass(lowpass(x, high, order), low, order)


# --- instruments ----------------------------------------------------------

class Rng:
    def __init__(self, seed):
        self.gen = np.random.default_rng(seed)

    def noise(self, n):
        return self.gen.standard_normal(n)

    def uniform(self, a, b):
        return float(self.gen.uniform(a, b))


def brass(freq, dur, rng, attack=0.04, release=0.12, bright=6.0, vib=True):
    """A brass voice: a sawtooth whose brightness follows its loudness."""
    n = samples(dur)
    env = adsr(n, attack, 0.25, 0.7, release)
    f = vibrato(freq, n, depth=0.005) if vib else as_curve(freq, n)
    cutoff = as_curve(freq, n).mean() * (1.0 + bright * env)
    tone = saw(f, n, cutoff=cutoff, order=2)
    breath = bandpass(rng.noise(n), 800, 5000) * 0.02 * env
    return (tone * 0.5 + breath) * env


def strings(freq, dur, rng, attack=0.25, release=0.3, cutoff=2500, detune=0.004):
    n = samples(dur)
    env = adsr(n, attack, 0.5, 0.85, release)
    out = np.zeros(n)
    for d in (-detune, 0.0, detune):
        out += saw(vibrato(as_curve(freq, n) * (1 + d), n, rate=5.0 + 40 * d, depth=0.003, delay=0.1),
                   n, cutoff=cutoff)
    return out / 3 * env * 0.6


def bell(freq, dur, ratio=1.4, index=2.5, decay=0.6):
    """A frequency-modulated bell."""
    n = samples(dur)
    t = times(n)
    idx = index * np.exp(-t / (decay * 0.6))
    mod = np.sin(2 * np.pi * freq * ratio * t) * idx
    return np.sin(2 * np.pi * freq * t + mod) * perc(n, decay, 0.001)


def mallet(freq, dur, decay=0.35, bright=0.3):
    """Marimba or xylophone: a fundamental and its fourth partial, struck."""
    n = samples(dur)
    t = times(n)
    body = np.sin(2 * np.pi * freq * t) * np.exp(-t / decay)
    ping = bright * np.sin(2 * np.pi * freq * 3.93 * t) * np.exp(-t / (decay * 0.18))
    return (body + ping) * perc(n, 10.0, 0.0015)


def epiano(freq, dur, decay=1.2):
    """An electric piano: a sine carrier, a decaying modulator and a tine."""
    n = samples(dur)
    t = times(n)
    idx = 1.8 * np.exp(-t / 0.25) + 0.3
    tone = np.sin(2 * np.pi * freq * t + idx * np.sin(2 * np.pi * freq * t))
    tine = 0.15 * np.sin(2 * np.pi * freq * 7.0 * t) * np.exp(-t / 0.05)
    return (tone + tine) * perc(n, decay, 0.002) * adsr(n, 0.0, 0.0, 1.0, min(0.15, dur * 0.3))


def pluck(freq, dur, rng, damping=0.996, bright=0.6):
    """A plucked string (Karplus-Strong), computed one period at a time."""
    n = samples(dur)
    period = max(2, int(round(SR / freq)))
    out = np.zeros(n + period + 1)
    excite = rng.noise(period)
    excite = bright * excite + (1 - bright) * np.convolve(excite, np.ones(4) / 4, mode="same")
    out[:period] = excite
    pos = period
    while pos < n + 1:
        end = min(pos + period, n + 1)
        prev = out[pos - period:end - period]
        prev_next = out[pos - period + 1:end - period + 1]
        out[pos:end] = damping * 0.5 * (prev + prev_next)
        pos = end
    return out[:n] * adsr(n, 0.001, 0.0, 1.0, 0.02) * 0.7


def flute(freq, dur, rng, attack=0.06, release=0.15):
    """A soft lead: a sine with a little second and third harmonic, vibrato and breath."""
    n = samples(dur)
    f = vibrato(freq, n, rate=5.0, depth=0.004, delay=0.25)
    ph = phase_of(f, n)
    tone = np.sin(ph) + 0.18 * np.sin(2 * ph) + 0.06 * np.sin(3 * ph)
    breath = bandpass(rng.noise(n), freq, freq * 4) * 0.04
    return (tone + breath) * adsr(n, attack, 0.3, 0.8, min(release, dur * 0.4))


def sub_bass(freq, dur, decay=0.5):
    n = samples(dur)
    t = times(n)
    x = np.sin(2 * np.pi * freq * t) + 0.25 * np.sin(4 * np.pi * freq * t)
    return x * perc(n, decay, 0.005) * adsr(n, 0, 0, 1, 0.03)


# --- drums ----------------------------------------------------------------

def kick(rng, dur=0.5, f0=130.0, f1=45.0, decay=0.18):
    n = samples(dur)
    t = times(n)
    f = f1 + (f0 - f1) * np.exp(-t / 0.04)
    body = np.sin(phase_of(f, n)) * np.exp(-t / decay)
    click = highpass(rng.noise(n), 2000) * np.exp(-t / 0.004) * 0.3
    return (body + click) * adsr(n, 0.001, 0, 1, 0.02)


def snare(rng, dur=0.25, decay=0.09, tone=185.0, level_tone=0.5):
    n = samples(dur)
    t = times(n)
    rattle = bandpass(rng.noise(n), 1200, 9000) * np.exp(-t / decay)
    body = np.sin(2 * np.pi * tone * t) * np.exp(-t / 0.05) * level_tone
    return (rattle * 0.6 + body) * adsr(n, 0.0008, 0, 1, 0.01)


def hat(rng, dur=0.08, decay=0.025, open_=False):
    n = samples(dur)
    t = times(n)
    return highpass(rng.noise(n), 7000, 3) * np.exp(-t / (0.2 if open_ else decay)) * adsr(n, 0.0005, 0, 1, 0.005)


def crash(rng, dur=1.6, decay=0.55):
    n = samples(dur)
    t = times(n)
    wash = highpass(rng.noise(n), 3500, 2) * np.exp(-t / decay)
    shimmer = bandpass(rng.noise(n), 6000, 12000) * np.exp(-t / (decay * 1.5)) * 0.4
    return (wash + shimmer) * adsr(n, 0.001, 0, 1, 0.1) * 0.5


def timpani(freq, rng, dur=1.2, decay=0.45):
    n = samples(dur)
    t = times(n)
    x = np.zeros(n)
    for ratio, amp, dec in ((1.0, 1.0, 1.0), (1.5, 0.5, 0.6), (1.99, 0.3, 0.45), (2.44, 0.15, 0.3)):
        x += amp * np.sin(2 * np.pi * freq * ratio * t) * np.exp(-t / (decay * dec))
    thump = lowpass(rng.noise(n), 400) * np.exp(-t / 0.03) * 1.0
    return (x + thump) * adsr(n, 0.002, 0, 1, 0.05) * 0.6


def tick(rng, freq=2400.0, dur=0.05):
    n = samples(dur)
    t = times(n)
    x = np.sin(2 * np.pi * freq * t) * np.exp(-t / 0.006) + bandpass(rng.noise(n), 2000, 6000) * np.exp(
        -t / 0.003) * 0.5
    return x * adsr(n, 0.0003, 0, 1, 0.004)


def shaker(rng, dur=0.07):
    n = samples(dur)
    t = times(n)
    env = np.sin(np.pi * np.clip(t / dur, 0, 1)) ** 2
    return bandpass(rng.noise(n), 4000, 11000) * env * 0.5


def swell(rng, dur, low=500.0, high=9000.0):
    """A rising wash of noise, like a cymbal played backwards."""
    n = samples(dur)
    t = times(n)
    env = (t / dur) ** 3
    return bandpass(rng.noise(n), low, high) * env * 0.6


# --- mixing ---------------------------------------------------------------

class Timeline:
    def __init__(self, seconds, loop=False):
        self.n = samples(seconds)
        self.loop = loop
        self.buf = np.zeros(self.n)

    def add(self, at, sound, gain=1.0):
        start = samples(at)
        sound = np.asarray(sound) * gain
        if self.loop:
            idx = (start + np.arange(len(sound))) % self.n
            np.add.at(self.buf, idx, sound)
        else:
            end = min(self.n, start + len(sound))
            if end > start:
                self.buf[start:end] += sound[:end - start]

    def reverb(self, seconds=1.2, mix=0.18, damp=5000.0, seed=7):
        """Adds a diffuse tail: convolution with decaying filtered noise
        (circular for loops, so the tail of the end sounds at the start)."""
        rng = np.random.default_rng(seed)
        m = samples(seconds)
        t = times(m)
        ir = rng.standard_normal(m) * np.exp(-t / (seconds / 6.9))
        ir = lowpass(ir, damp)
        ir[:samples(0.012)] = 0.0
        ir /= np.sqrt(np.sum(ir ** 2))
        if self.loop:
            wet = np.fft.irfft(np.fft.rfft(self.buf) * np.fft.rfft(ir, self.n), self.n)
        else:
            size = 1 << int(np.ceil(np.log2(self.n + m)))
            wet = np.fft.irfft(np.fft.rfft(self.buf, size) * np.fft.rfft(ir, size), size)[:self.n]
        self.buf = self.buf + mix * wet
        return self


def k_weight(x):
    """A rough K-weighting as loudness meters use it: low bass counts less,
    presence a little more."""
    y = highpass(x, 100.0, 1)
    return y + 0.58 * highpass(y, 2000.0, 1)


def momentary_loudness(x, window=0.4):
    """The loudest 400 ms of x: K-weighted RMS in dB below full scale."""
    y = k_weight(x)
    w = samples(window)
    if len(y) <= w:
        return 10 * np.log10(np.mean(y ** 2) + 1e-12)
    c = np.concatenate([[0.0], np.cumsum(y ** 2)])
    ms = (c[w:] - c[:-w]) / w
    return 10 * np.log10(ms.max() + 1e-12)


def limit(x, ceiling=0.89, loop=False):
    """Soft limiter: gain reduction from a sliding peak, smoothed both ways."""
    peak = np.abs(x)
    if peak.max() <= ceiling:
        return x
    w = samples(0.004)
    padded = np.concatenate([peak[-w:], peak, peak[:w]]) if loop else np.pad(peak, w, mode="edge")
    win = np.lib.stride_tricks.sliding_window_view(padded, 2 * w + 1).max(axis=1)
    gain = np.minimum(1.0, ceiling / np.maximum(win, 1e-9))
    k = np.hanning(2 * w + 1)
    k /= k.sum()
    if loop:
        gain = np.fft.irfft(np.fft.rfft(gain) * np.fft.rfft(np.roll(np.pad(k, (0, len(gain) - len(k))), -w)),
                            len(gain))
    else:
        gain = np.convolve(np.pad(gain, w, mode="edge"), k, mode="valid")
    gain = np.minimum(gain, ceiling / np.maximum(peak, 1e-9))
    return x * np.minimum(gain, 1.0)


def master(x, target_db, loop=False, fade_in=0.004, fade_out=0.04):
    """Brings x to the target loudness, limits its peaks, and (for one-shot
    cues) fades its edges so that it starts and stops without a click."""
    x = x - np.mean(x) if loop else highpass(x, 25, 2)
    gain = 10 ** ((target_db - momentary_loudness(x)) / 20.0)
    y = limit(x * gain, loop=loop)
    if not loop:
        y = fade(y, fade_in, fade_out)
    return y
