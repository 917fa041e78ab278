"""Synthesises the game's sound cues and encodes them as mono MP3.

Usage: sounds.py MUSIC_DIR CLICK_FILE

Every cue is made from fixed note lists and seeded noise, so each run writes the
same bytes. Each cue is brought to the same loudness; loops are rendered on a
circular timeline and encoded so that the decoded clip has exactly the length of
a whole number of bars. After encoding, each file is decoded again and its
length checked against the intended one."""

import os
import subprocess
import sys
import tempfile
import wave

import numpy as np

import synth as s
from synth import SR, Rng, Timeline, midi

LOUD_CUE = -15.0      # loudness of one-shot cues, dBFS over the loudest 400 ms
LOUD_LOOP = -17.0     # loops sit a little lower: they run under the game for long
BITRATE = 96


# --- one-shot cues --------------------------------------------------------

def chosen():
    """Suspense before a case opens: a snare roll that speeds up and swells over
    a rising chord, resolved by a hit."""
    rng = Rng(101)
    hit_at, total = 1.55, 2.1
    tl = Timeline(total)
    t, rate = 0.0, 9.0
    while t < hit_at - 0.04:
        level = 0.45 + 0.55 * (t / hit_at) ** 1.4
        tl.add(t, s.snare(rng, 0.12, decay=0.05, level_tone=0.3), 0.35 * level * rng.uniform(0.85, 1.0))
        rate = 9.0 + 19.0 * (t / hit_at) ** 1.3
        t += 1.0 / rate
    n = s.samples(hit_at)
    swell = np.linspace(0.15, 1.0, n) ** 1.5
    for root, gain in (("A2", 0.5), ("E3", 0.35), ("A3", 0.3)):
        f = s.glide(midi(root), midi(root) * 2 ** (7 / 12), n)
        tone = s.saw(f, n, cutoff=s.glide(400, 3500, n), order=2)
        tl.add(0, s.fade(tone * swell, 0.05, 0.03), gain * 0.45)
    tl.add(0, s.swell(rng, hit_at, 800, 10000), 0.25)
    tl.add(hit_at, s.crash(rng, 0.6, 0.25), 0.42)
    tl.add(hit_at, s.kick(rng, 0.5), 0.54)
    tl.add(hit_at, s.timpani(midi("A1"), rng, 0.55, 0.2), 0.48)
    for note in ("A3", "C#4", "E4", "A4"):
        tl.add(hit_at, s.brass(midi(note), 0.35, rng, attack=0.015, release=0.2, bright=8), 0.22)
    return tl.reverb(1.0, 0.15).buf


def funny_intro():
    """Tiny amount gone: a slide whistle up and a bouncy xylophone answer."""
    rng = Rng(102)
    tl = Timeline(1.3)
    n = s.samples(0.32)
    f = s.vibrato(s.glide(700, 1900, n), n, rate=9, depth=0.02, delay=0.0)
    whistle = s.sine(f, n) + 0.05 * s.bandpass(rng.noise(n), 1500, 5000)
    tl.add(0.0, s.fade(whistle * np.linspace(0.6, 1.0, n), 0.02, 0.04), 0.35)
    for at, note in ((0.36, "C6"), (0.46, "G5"), (0.56, "E6"), (0.66, "C7")):
        tl.add(at, s.mallet(midi(note), 0.45, decay=0.16, bright=0.5), 0.4)
    # "boing": a wobbling low pluck
    n = s.samples(0.5)
    f = s.glide(150, 230, n) * (1 + 0.08 * np.sin(2 * np.pi * 11 * s.times(n)) * np.exp(-s.times(n) / 0.2))
    tl.add(0.78, s.sine(f, n) * s.perc(n, 0.16), 0.5)
    tl.add(0.36, s.snare(rng, 0.1, 0.03, 300, 0.2), 0.12)
    tl.add(0.66, s.snare(rng, 0.1, 0.03, 300, 0.2), 0.12)
    return tl.reverb(0.8, 0.12).buf


def good():
    """A small amount gone: a bright major arpeggio of bells over a warm chord."""
    rng = Rng(103)
    tl = Timeline(1.6)
    for i, note in enumerate(("C5", "E5", "G5", "C6", "E6")):
        tl.add(0.02 + i * 0.085, s.bell(midi(note), 1.2, ratio=3.5, index=1.2, decay=0.55), 0.22)
        tl.add(0.02 + i * 0.085, s.mallet(midi(note), 0.5, decay=0.2, bright=0.2), 0.18)
    for note in ("C4", "E4", "G4", "C5"):
        tl.add(0.0, s.strings(midi(note), 1.3, rng, attack=0.08, release=0.5, cutoff=3000), 0.22)
    tl.add(0.0, s.sub_bass(midi("C2"), 1.2, 0.5), 0.18)
    tl.add(0.35, s.crash(rng, 1.2, 0.4), 0.08)
    return tl.reverb(1.4, 0.22).buf


def chemodany():
    """A middling amount gone: a calm whoosh and an open, undecided chord."""
    rng = Rng(104)
    tl = Timeline(1.3)
    tl.add(0.0, s.swell(rng, 0.3, 400, 6000), 0.3)
    for at, note in ((0.28, "G4"), (0.28, "D5"), (0.5, "A4"), (0.5, "E5")):
        tl.add(at, s.mallet(midi(note), 0.8, decay=0.35, bright=0.15), 0.3)
    for note in ("G3", "D4", "A4"):
        tl.add(0.25, s.strings(midi(note), 1.0, rng, attack=0.1, release=0.5, cutoff=1800), 0.2)
    tl.add(0.28, s.sub_bass(midi("G2"), 0.9, 0.4), 0.16)
    return tl.reverb(1.2, 0.2).buf


def large():
    """A large amount gone: a minor brass chord that sags a semitone, over a drum."""
    rng = Rng(105)
    tl = Timeline(1.6)
    n = s.samples(1.35)
    bend = np.concatenate([np.ones(s.samples(0.55)), s.glide(1.0, 2 ** (-1 / 12), n - s.samples(0.55), "lin")])
    for note in ("D3", "F3", "A3", "D4"):
        f = s.vibrato(midi(note) * bend, n, depth=0.004)
        tone = s.saw(f, n, cutoff=midi(note) * 8, order=2)
        tl.add(0.0, tone * s.adsr(n, 0.03, 0.3, 0.6, 0.45), 0.18)
    tl.add(0.0, s.timpani(midi("D2"), rng, 1.2, 0.4), 0.42)
    tl.add(0.0, s.sub_bass(midi("D1"), 1.3, 0.6), 0.23)
    return tl.reverb(1.3, 0.2).buf


def big_delete():
    """A big amount gone: a hit and a dark chord that drops."""
    rng = Rng(106)
    tl = Timeline(1.7)
    n = s.samples(1.5)
    drop = np.concatenate([np.ones(s.samples(0.3)), s.glide(1.0, 2 ** (-5 / 12), n - s.samples(0.3))])
    for note in ("C3", "Eb3", "Gb3", "C4"):
        f = s.vibrato(midi(note) * drop, n, rate=6, depth=0.006, delay=0.2)
        cutoff = midi(note) * np.linspace(10, 3, n)
        tl.add(0.0, s.saw(f, n, cutoff=cutoff) * s.adsr(n, 0.012, 0.3, 0.55, 0.5), 0.2)
    tl.add(0.0, s.kick(rng, 0.6, 110, 38, 0.35), 0.54)
    tl.add(0.0, s.crash(rng, 1.5, 0.5), 0.24)
    tl.add(0.0, s.timpani(midi("C2"), rng, 1.3, 0.5), 0.36)
    return tl.reverb(1.5, 0.22).buf


def bad():
    """The millions gone: a heavy hit, then brass and strings falling an octave."""
    rng = Rng(107)
    tl = Timeline(2.0)
    n = s.samples(1.8)
    fall = np.concatenate([np.ones(s.samples(0.25)), s.glide(1.0, 0.5, n - s.samples(0.25))])
    for note in ("A2", "C3", "Eb3", "A3", "C4"):
        f = s.vibrato(midi(note) * fall, n, rate=5, depth=0.008, delay=0.25)
        cutoff = midi(note) * np.linspace(10, 2, n)
        tl.add(0.0, s.saw(f, n, cutoff=cutoff) * s.adsr(n, 0.01, 0.4, 0.6, 0.6), 0.17)
    tl.add(0.0, s.strings(midi("Eb5") * fall, 1.8, rng, attack=0.05, release=0.6, cutoff=4000), 0.2)
    tl.add(0.0, s.kick(rng, 0.9, 90, 30, 0.5), 0.6)
    tl.add(0.0, s.timpani(midi("A1"), rng, 1.8, 0.7), 0.48)
    tl.add(0.0, s.crash(rng, 1.8, 0.7), 0.28)
    tl.add(0.6, s.timpani(midi("Eb2"), rng, 1.2, 0.5), 0.24)
    return tl.reverb(1.6, 0.25).buf


def declined():
    """Offer declined: two decisive stabs, down a fourth, and a cymbal."""
    rng = Rng(108)
    tl = Timeline(1.05)
    for at, root in ((0.0, "E3"), (0.2, "A2")):
        for iv in (0, 7, 12, 15):
            f = midi(root) * 2 ** (iv / 12)
            tl.add(at, s.brass(f, 0.16 if at == 0 else 0.5, rng, attack=0.01, release=0.15 if at == 0 else 0.35,
                               bright=9, vib=False), 0.24)
        tl.add(at, s.timpani(midi(root), rng, 0.7, 0.25), 0.3)
    tl.add(0.2, s.crash(rng, 0.8, 0.3), 0.21)
    tl.add(0.2, s.kick(rng, 0.4, decay=0.12), 0.3)
    return tl.reverb(0.9, 0.18).buf


def fanfare():
    """Winnings: a brass pick-up into a held major chord with drums and bells."""
    rng = Rng(109)
    tl = Timeline(2.7)
    for at in (0.0, 0.13, 0.26):
        for iv in (0, 4, 7):
            tl.add(at, s.brass(midi("G4") * 2 ** (iv / 12), 0.11, rng, attack=0.008, release=0.05,
                               bright=9, vib=False), 0.2)
        tl.add(at, s.snare(rng, 0.15, 0.06), 0.3)
    hold = 0.39
    for note in ("C4", "G4", "C5", "E5", "G5"):
        tl.add(hold, s.brass(midi(note), 1.9, rng, attack=0.02, release=0.9, bright=8), 0.2)
    tl.add(hold, s.timpani(midi("C3"), rng, 1.5, 0.5), 0.3)
    tl.add(hold, s.kick(rng, 0.4, decay=0.12), 0.35)
    tl.add(hold, s.crash(rng, 2.0, 0.8), 0.28)
    for i, note in enumerate(("C6", "E6", "G6", "C7")):
        tl.add(hold + 0.1 + i * 0.07, s.bell(midi(note), 1.2, ratio=3.5, index=1.0, decay=0.5), 0.08)
    tl.add(hold, s.sub_bass(midi("C2"), 2.0, 0.8), 0.12)
    return tl.reverb(1.6, 0.22).buf


def board_reveal():
    """The board lights up plate by plate: after a short swell, one harp note
    for each of the 22 plates as they appear (every 75 ms from 0.5 s), rising
    through the scale into a shimmering chord."""
    rng = Rng(110)
    total, first, step = 3.0, 0.5, 0.075
    tl = Timeline(total)
    scale = [0, 2, 4, 7, 9]
    for i in range(22):
        f = midi(48 + 12 * (i // 5) + scale[i % 5])
        tl.add(first + i * step, s.pluck(f, 1.0, rng, damping=0.997, bright=0.6), 0.3 + 0.15 * i / 21)
    n = s.samples(total)
    t = s.times(n)
    pad = np.zeros(n)
    for note, det in (("C5", 0.0), ("E5", 0.3), ("G5", 0.6), ("D6", 0.9), ("E6", 1.2)):
        trem = 1 + 0.3 * np.sin(2 * np.pi * 6.3 * t + det)
        pad += s.sine(midi(note), n) * trem
    swell = np.clip(t / 2.2, 0, 1) ** 1.5 * np.clip((total - t) / 0.6, 0, 1)
    tl.add(0.0, pad * swell, 0.05)
    tl.add(0.0, s.swell(rng, first, 2000, 12000), 0.25)
    end = first + 22 * step
    for i, note in enumerate(("G6", "C7", "E7")):
        tl.add(end + i * 0.06, s.bell(midi(note), 0.8, ratio=3.5, index=0.8, decay=0.4), 0.1)
    for note in ("C4", "G4", "E5"):
        tl.add(end, s.strings(midi(note), total - end, rng, attack=0.05, release=0.5, cutoff=2500), 0.12)
    return tl.reverb(1.6, 0.28).buf


def own_case():
    """An own case revealed: a reversed cymbal swell into a bright hit."""
    rng = Rng(111)
    tl = Timeline(1.5)
    hit = 0.5
    tl.add(0.0, s.swell(rng, hit, 1500, 12000), 0.5)
    tl.add(hit, s.kick(rng, 0.4, decay=0.12), 0.4)
    tl.add(hit, s.crash(rng, 1.0, 0.35), 0.24)
    for note in ("D4", "A4", "D5", "F#5"):
        tl.add(hit, s.brass(midi(note), 0.7, rng, attack=0.01, release=0.45, bright=8), 0.22)
    tl.add(hit, s.bell(midi("D6"), 0.9, ratio=3.5, index=1.2, decay=0.4), 0.15)
    tl.add(hit, s.sub_bass(midi("D2"), 0.9, 0.45), 0.14)
    return tl.reverb(1.2, 0.2).buf


def last_case_suspense():
    """Before the last case after a final swap: heartbeats and a low drone that rises."""
    rng = Rng(112)
    hit_at, total = 1.75, 2.2
    tl = Timeline(total)
    t, gap = 0.0, 0.62
    while t < hit_at - 0.2:
        tl.add(t, s.kick(rng, 0.3, 80, 40, 0.12), 0.42)
        tl.add(t + 0.16, s.kick(rng, 0.3, 70, 38, 0.1), 0.27)
        t += gap
        gap *= 0.82
    n = s.samples(hit_at)
    swell = np.linspace(0.2, 1.0, n) ** 2
    for root, gain in (("D2", 0.4), ("A2", 0.35), ("Eb3", 0.3), ("A3", 0.25), ("D4", 0.2)):
        f = s.glide(midi(root), midi(root) * 2 ** (5 / 12), n)
        tl.add(0.0, s.fade(s.saw(f, n, cutoff=s.glide(400, 3000, n)) * swell, 0.1, 0.02), gain * 0.45)
    tl.add(0.0, s.swell(rng, hit_at, 300, 4000), 0.2)
    tl.add(hit_at, s.timpani(midi("D2"), rng, 0.45, 0.18), 0.54)
    tl.add(hit_at, s.crash(rng, 0.45, 0.18), 0.28)
    return tl.reverb(1.0, 0.18).buf


def click_700ms():
    n = s.samples(0.7)
    return s.fade(s.sine(880.0, n) * 0.5, 0.015, 0.03)


def blip_40ms():
    """The shortest clip the tests play: whole games go by in seconds with it."""
    n = s.samples(0.04)
    return s.fade(s.sine(660.0, n) * 0.5, 0.005, 0.01)


# --- loops ----------------------------------------------------------------

def whole_cycles(freq, length):
    """The frequency nearest to freq that fits a whole number of periods into
    the loop, so that a tone held through the loop joins its start smoothly."""
    return round(freq * length) / length


def banker_loop():
    """The banker's thinking music: two bars at 100 bpm of a ticking clock, a
    heartbeat bass and a dark, slowly breathing chord."""
    rng = Rng(201)
    bpm, bars = 100.0, 2
    beat = 60.0 / bpm
    tl = Timeline(beat * 4 * bars, loop=True)
    length = beat * 4 * bars
    for i in range(8 * bars):
        tl.add(i * beat / 2, s.tick(rng, 2600.0 if i % 2 == 0 else 1900.0), 0.22 if i % 2 == 0 else 0.16)
    for bar in range(bars):
        b0 = bar * 4 * beat
        for at in (0.0, 0.75 * beat, 2 * beat, 2.75 * beat):
            tl.add(b0 + at, s.kick(rng, 0.4, 75, 38, 0.14), 0.33 if at in (0.0, 2 * beat) else 0.2)
        for at, note in ((0.0, "D2"), (2 * beat, "D2")):
            tl.add(b0 + at, s.sub_bass(midi(note), beat * 1.8, 0.5), 0.16)
    n = s.samples(length)
    t = s.times(n)
    breath = 0.65 + 0.35 * np.sin(2 * np.pi * t / length - np.pi / 2)
    chord = np.zeros(n)
    for note in ("D3", "F3", "A3", "E4"):
        f = whole_cycles(midi(note), length) * (1 + 0.002 * np.sin(2 * np.pi * 2 * t / length))
        chord += s.saw(f, n, cutoff=700 + 500 * breath)
    tl.add(0.0, chord * breath, 0.1)
    trem = np.abs(np.sin(2 * np.pi * (16 * bars / 2) * t / length))
    tl.add(0.0, s.sine(whole_cycles(midi("A5"), length), n) * trem * 0.5 * breath, 0.05)
    return tl.reverb(1.2, 0.2).buf


def exchange_loop():
    """Cases change hands: a pizzicato figure in D minor at 120 bpm with a shaker."""
    rng = Rng(202)
    bpm, bars = 120.0, 2
    beat = 60.0 / bpm
    tl = Timeline(beat * 4 * bars, loop=True)
    figure = ["D4", "F4", "A4", "F4", "D4", "F4", "A4", "C5",
              "Bb3", "D4", "F4", "D4", "A3", "C#4", "E4", "A4"]
    for i, note in enumerate(figure):
        accent = 1.0 if i % 4 == 0 else 0.75
        tl.add(i * beat / 2, s.pluck(midi(note), 0.6, rng, damping=0.993, bright=0.8), 0.45 * accent)
    for i in range(16 * bars // 2 * 2):
        tl.add(i * beat / 4, s.shaker(rng), 0.25 if i % 2 == 0 else 0.15)
    for bar, root in enumerate(("D2", "Bb1")):
        for k in range(4):
            tl.add(bar * 4 * beat + k * beat, s.pluck(midi(root if k < 3 else ("A1" if bar else "C2")), 0.5, rng,
                                                      damping=0.99, bright=0.3), 0.6)
        tl.add(bar * 4 * beat, s.kick(rng, 0.3, 90, 45, 0.1), 0.24)
        tl.add(bar * 4 * beat + 2 * beat, s.snare(rng, 0.2, 0.07), 0.18)
    return tl.reverb(1.0, 0.18).buf


def credits_loop():
    """The credits: eight bars at 80 bpm of electric piano chords in F major, a
    soft bass, brushes and a bell melody."""
    rng = Rng(203)
    bpm, bars = 80.0, 8
    beat = 60.0 / bpm
    tl = Timeline(beat * 4 * bars, loop=True)
    chords = [("F3", "A3", "C4", "E4"), ("D3", "F3", "A3", "C4"), ("Bb2", "D3", "F3", "A3"),
              ("C3", "E3", "G3", "Bb3"), ("F3", "A3", "C4", "E4"), ("D3", "F3", "A3", "C4"),
              ("G2", "Bb2", "D3", "F3"), ("C3", "E3", "G3", "Bb3")]
    bass = ["F2", "D2", "Bb1", "C2", "F2", "D2", "G1", "C2"]
    melody = [("A5", 0, 1.5), ("G5", 1.5, 0.5), ("F5", 2, 2), ("A5", 4, 1), ("C6", 5, 1), ("A5", 6, 2),
              ("F5", 8, 1.5), ("G5", 9.5, 0.5), ("A5", 10, 1), ("Bb5", 11, 1), ("G5", 12, 3), ("E5", 15, 1),
              ("F5", 16, 1.5), ("E5", 17.5, 0.5), ("D5", 18, 2), ("F5", 20, 1), ("A5", 21, 1), ("C6", 22, 2),
              ("Bb5", 24, 1.5), ("A5", 25.5, 0.5), ("G5", 26, 2), ("E5", 28, 2), ("G5", 30, 2)]
    for bar, chord in enumerate(chords):
        b0 = bar * 4 * beat
        for k, at in enumerate((0.0, 1.5, 2.5, 3.5)):
            for j, note in enumerate(chord):
                tl.add(b0 + at * beat + j * 0.012, s.epiano(midi(note), beat * 1.8, decay=1.6),
                       (0.09, 0.05, 0.07, 0.04)[k])
        for note in chord[:3]:
            tl.add(b0 - 0.05, s.strings(midi(note), 4 * beat + 0.35, rng, attack=0.5, release=0.5,
                                        cutoff=1400), 0.09)
        tl.add(b0, s.sub_bass(midi(bass[bar]), beat * 1.9, 0.7), 0.22)
        tl.add(b0 + 2.5 * beat, s.sub_bass(midi(bass[bar]) * 1.5, beat * 1.4, 0.5), 0.14)
        for q in range(8):
            tl.add(b0 + q * beat / 2, s.shaker(rng, 0.09), 0.08 if q % 2 else 0.11)
        tl.add(b0, s.kick(rng, 0.3, 90, 45, 0.1), 0.18)
        tl.add(b0 + 2 * beat, s.kick(rng, 0.3, 90, 45, 0.1), 0.12)
        for at in (1, 3):
            tl.add(b0 + at * beat, s.snare(rng, 0.15, 0.05, 220, 0.15), 0.07)
    for note, at, dur in melody:
        tl.add(at * beat, s.bell(midi(note), min(2.5, dur * beat + 0.8), ratio=3.0, index=0.7, decay=0.7), 0.07)
        tl.add(at * beat, s.flute(midi(note), dur * beat + 0.05, rng), 0.16)
    return tl.reverb(2.0, 0.3, damp=4000).buf


# --- output ---------------------------------------------------------------

ONE_SHOTS = {
    "chosen.mp3": chosen,
    "funny intro.mp3": funny_intro,
    "good.mp3": good,
    "chemodany.mp3": chemodany,
    "large.mp3": large,
    "big delete.mp3": big_delete,
    "bad.mp3": bad,
    "нет2.mp3": declined,
    "intro.mp3": fanfare,
    "magic2.mp3": board_reveal,
    "kolvo.mp3": own_case,
    "end обмен.mp3": last_case_suspense,
}
LOOPS = {
    "bank.mp3": banker_loop,
    "обмен.mp3": exchange_loop,
    "Rule.mp3": credits_loop,
}


def write_wav(path, x):
    pcm = np.clip(np.round(x * 32767.0), -32768, 32767).astype("<i2")
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(SR)
        w.writeframes(pcm.tobytes())


def read_wav(path):
    with wave.open(path, "rb") as w:
        return np.frombuffer(w.readframes(w.getnframes()), dtype="<i2").astype(np.float64) / 32768.0


def encode(x, path, bitrate=BITRATE):
    """Encodes mono 44.1 kHz CBR MP3 with LAME's gapless header and no ID3 tag,
    then decodes it to check that the decoded length is the intended one."""
    with tempfile.TemporaryDirectory() as tmp:
        wav, back = os.path.join(tmp, "in.wav"), os.path.join(tmp, "out.wav")
        write_wav(wav, x)
        subprocess.run(["lame", "--quiet", "-m", "m", "-b", str(bitrate), "--cbr", "-q", "2",
                        "--resample", "44.1", wav, path], check=True)
        subprocess.run(["lame", "--quiet", "--decode", path, back], check=True)
        decoded = read_wav(back)
    return decoded


def seam_jump(x):
    """How big the step from the last sample back to the first is, against the
    typical step between neighbours (1 means no seam at all)."""
    steps = np.abs(np.diff(x))
    return abs(x[0] - x[-1]) / (np.percentile(steps, 99) + 1e-9)


def main(music_dir, click_path):
    os.makedirs(music_dir, exist_ok=True)
    os.makedirs(os.path.dirname(click_path), exist_ok=True)
    jobs = [(name, fn, False) for name, fn in ONE_SHOTS.items()] + [(name, fn, True) for name, fn in LOOPS.items()]
    print(f"{'file':<18} {'seconds':>8} {'decoded':>8} {'loud dB':>8} {'peak dB':>8}  note")
    for name, fn, loop in jobs:
        x = s.master(fn(), LOUD_LOOP if loop else LOUD_CUE, loop=loop)
        decoded = encode(x, os.path.join(music_dir, name))
        note = ""
        if len(decoded) != len(x):
            note = f"decoded length differs by {len(decoded) - len(x)} samples"
        elif loop:
            note = f"loop seam {seam_jump(decoded):.2f} x typical step"
        print(f"{name:<18} {len(x) / SR:8.3f} {len(decoded) / SR:8.3f} {s.momentary_loudness(decoded):8.1f} "
              f"{20 * np.log10(np.abs(decoded).max()):8.1f}  {note}")
    decoded = encode(click_700ms(), click_path)
    print(f"{os.path.basename(click_path):<18} {0.7:8.3f} {len(decoded) / SR:8.3f}")
    blip_path = os.path.join(os.path.dirname(click_path), "blip-40ms.mp3")
    decoded = encode(blip_40ms(), blip_path)
    print(f"{os.path.basename(blip_path):<18} {0.04:8.3f} {len(decoded) / SR:8.3f}")


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
