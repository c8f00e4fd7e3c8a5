#!/usr/bin/env python3
"""Synthesizes Unwindle's fifteen built-in alert sounds and the short breaks' two cues.

Every clip is made here from scratch: struck and plucked objects are modelled
with damped resonators and Karplus-Strong strings, voices and whistles with
additive partials that follow pitch and loudness contours. Nothing is sampled.

Run it from anywhere:  python3 resources/sounds/make_sounds.py
It rewrites the seventeen .wav files next to this script and packs each into
the .uwc file the program carries (--pack-only: just pack the .wav files
again). The output is the same byte for byte on every run (fixed random seeds,
no dates); the one MP3 clip needs the `lame` encoder (Debian package "lame",
3.100).

The formats of the waves (rates, 8-bit, A-law, MP3) keep each one under about
50 kB; packed, all seventeen take about 136 kB of the executable.
"""

import math
import os
import random
import struct
import subprocess
import sys
import tempfile
import warnings

with warnings.catch_warnings():
    # audioop is deprecated in newer Pythons; it is still the stdlib's A-law coder in 3.11.
    warnings.simplefilter("ignore", DeprecationWarning)
    import audioop

HERE = os.path.dirname(os.path.abspath(__file__))
TAU = 2.0 * math.pi
PEAK = 10.0 ** (-3.0 / 20.0)  # -3 dBFS: loud enough to notice, never harsh

NOTE_INDEX = {"C": -9, "D": -7, "E": -5, "F": -4, "G": -2, "A": 0, "B": 2}


def hz(name):
    """Equal-tempered frequency of a note name such as 'A4', 'Bb4', 'F#5'."""
    semis = NOTE_INDEX[name[0]]
    rest = name[1:]
    while rest and rest[0] in "#b":
        semis += 1 if rest[0] == "#" else -1
        rest = rest[1:]
    return 440.0 * 2.0 ** ((semis + 12 * (int(rest) - 4)) / 12.0)


# ---------------------------------------------------------------- building blocks


def mix(dst, src, start, gain=1.0):
    """Adds src into dst from sample `start`, clipped to dst's length."""
    end = min(len(dst), start + len(src))
    for i in range(max(0, start), end):
        dst[i] += gain * src[i - start]


def interp(points, t):
    """Piecewise-linear value of breakpoints [(t, v), ...] at time t."""
    if t <= points[0][0]:
        return points[0][1]
    for (t0, v0), (t1, v1) in zip(points, points[1:]):
        if t <= t1:
            return v0 + (v1 - v0) * (t - t0) / (t1 - t0)
    return points[-1][1]


def pulse(width):
    """A half-sine mallet pulse `width` samples wide with unit area: the wider
    the pulse, the softer the mallet and the duller the strike."""
    w = max(1, int(width))
    p = [math.sin(math.pi * (i + 0.5) / w) for i in range(w)]
    s = sum(p)
    return [v / s for v in p]


def resonate(exc, rate, modes):
    """Drives a bank of two-pole resonators, one per vibration mode
    (frequency Hz, amplitude, decay time constant s), with the excitation.
    A unit impulse gives each mode a sine of its amplitude that decays with
    its time constant; repeated strikes add up with their phases, as on a
    real bell."""
    out = [0.0] * len(exc)
    nyquist = 0.45 * rate
    for f, amp, tau in modes:
        if f >= nyquist or amp == 0.0:
            continue
        w = TAU * f / rate
        r = math.exp(-1.0 / (tau * rate))
        c1 = 2.0 * r * math.cos(w)
        c2 = -r * r
        g = amp * math.sin(w)
        y1 = y2 = 0.0
        for i, x in enumerate(exc):
            y = c1 * y1 + c2 * y2 + g * x
            out[i] += y
            y2 = y1
            y1 = y
    return out


def strike(rate, modes, length, mallet_s, knock=0.0, rng=None):
    """One strike of a bar or bell: the modes rung by a mallet pulse, plus an
    optional short noise knock for the contact itself."""
    n = int(length * rate)
    exc = [0.0] * n
    for i, v in enumerate(pulse(mallet_s * rate)):
        if i < n:
            exc[i] += v
    out = resonate(exc, rate, modes)
    if knock and rng is not None:
        k = int(0.004 * rate)
        for i in range(min(k, n)):
            out[i] += knock * rng.uniform(-1.0, 1.0) * (1.0 - i / k) ** 2
    return out


def pluck(rate, freq, length, rng, t60=1.5, bright=0.6, pick=0.15):
    """A plucked string (Karplus-Strong): a burst of filtered noise circulating
    in a delay line one period long. A two-tap loss filter, set per note so
    that the fundamental dies away in `t60` seconds, damps the upper partials
    faster, as on a real string; an all-pass takes up the fractional part of
    the period so that high notes stay in tune even at low sample rates.
    `bright` sets the plectrum's hardness, `pick` the plucking point as a
    fraction of the string (near the end: thin and bright; near the middle:
    round and hollow)."""
    n = int(length * rate)
    period = rate / freq
    w0 = TAU * freq / rate
    target = 10.0 ** (-6.0 / (freq * t60))  # squared loop gain per period
    q = (1.0 - target) / (2.0 * (1.0 - math.cos(w0)))
    if q <= 0.25:
        stretch = 0.5 - 0.5 * math.sqrt(1.0 - 4.0 * q)
        gain = 0.99999
    else:
        stretch = 0.5
        gain = math.sqrt(target) / math.cos(0.5 * w0)
    delay = int(period - stretch - 0.1)
    frac = period - stretch - delay
    ap = (1.0 - frac) / (1.0 + frac)

    # The string starts bent into a triangle with its corner at the plucking
    # point (partials falling as 1/k^2, with gaps where the point is a node),
    # plus a little filtered noise for the scrape of the plectrum.
    corner = max(1, min(delay - 1, int(round(pick * delay))))
    shape = [i / corner if i <= corner else (delay - i) / (delay - corner) for i in range(delay)]
    noise = [rng.uniform(-1.0, 1.0) for _ in range(delay)]
    y = 0.0
    for _ in range(2):
        for i in range(delay):
            y += bright * (noise[i] - y)
            noise[i] = y
    exc = [shape[i] + 0.5 * bright * noise[i] for i in range(delay)]
    mean = sum(exc) / delay
    exc = [v - mean for v in exc]
    rms = math.sqrt(sum(v * v for v in exc) / delay) or 1.0
    exc = [v / rms for v in exc]

    line = [0.0] * delay
    idx = 0
    prev = ap_x = ap_y = 0.0
    c0 = gain * (1.0 - stretch)
    c1 = gain * stretch
    out = [0.0] * n
    for i in range(n):
        v = line[idx]
        lp = c0 * v + c1 * prev
        prev = v
        a = ap * lp + ap_x - ap * ap_y
        ap_x = lp
        ap_y = a
        if i < delay:
            a += exc[i]
        line[idx] = a
        idx += 1
        if idx == delay:
            idx = 0
        out[i] = a
    return out


def tone(rate, length, freq_at, amp_at, partials=((1, 1.0),), block=16):
    """A tone whose pitch and loudness follow functions of time (s); `partials`
    are (multiple of the pitch, relative amplitude). Partials above the
    Nyquist limit are left out as the pitch moves."""
    n = int(length * rate)
    out = [0.0] * n
    phase = 0.0
    nyquist = 0.45 * rate
    f = freq_at(0.0)
    a = amp_at(0.0)
    for i in range(n):
        if i % block == 0:
            t = i / rate
            f = freq_at(t)
            a = amp_at(t)
        phase += TAU * f / rate
        if phase > TAU * 64:
            phase -= TAU * 64
        s = 0.0
        for k, pa in partials:
            if k * f < nyquist:
                s += pa * math.sin(k * phase)
        out[i] = a * s
    return out


def smooth_noise(rng, n, rate, cutoff):
    """White noise low-passed (two one-pole stages) at about `cutoff` Hz,
    scaled to unit RMS: slow random wobble for pitch jitter and breath."""
    a = 1.0 - math.exp(-TAU * cutoff / rate)
    y1 = y2 = 0.0
    out = [0.0] * n
    for i in range(n):
        y1 += a * (rng.uniform(-1.0, 1.0) - y1)
        y2 += a * (y1 - y2)
        out[i] = y2
    rms = math.sqrt(sum(v * v for v in out) / max(1, n)) or 1.0
    return [v / rms for v in out]


def bandpass(sig, rate, centre, q):
    """Two-pole band-pass with unit peak gain (RBJ constant peak)."""
    w = TAU * centre / rate
    alpha = math.sin(w) / (2.0 * q)
    b0 = alpha
    a0 = 1.0 + alpha
    a1 = -2.0 * math.cos(w)
    a2 = 1.0 - alpha
    b0, b2, a1, a2 = b0 / a0, -alpha / a0, a1 / a0, a2 / a0
    x1 = x2 = y1 = y2 = 0.0
    out = [0.0] * len(sig)
    for i, x in enumerate(sig):
        y = b0 * x + b2 * x2 - a1 * y1 - a2 * y2
        x2 = x1
        x1 = x
        y2 = y1
        y1 = y
        out[i] = y
    return out


def finish(sig, rate, fade_in=0.003, fade_out=0.02, knee=None):
    """Removes any DC, fades both ends with raised-cosine ramps so that the
    clip starts and stops without a click, and sets the peak to -3 dBFS.
    With `knee` (a fraction of the peak), the few sharp attack peaks above
    it are rounded off first, so that the body of the sound is not left
    quiet by one spike."""
    # DC blocker (first-order high-pass at a few hertz)
    r = 1.0 - TAU * 5.0 / rate
    x1 = y1 = 0.0
    out = [0.0] * len(sig)
    for i, x in enumerate(sig):
        y = x - x1 + r * y1
        x1 = x
        y1 = y
        out[i] = y
    n = len(out)
    fi = max(1, int(fade_in * rate))
    for i in range(min(fi, n)):
        out[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fi)
    fo = max(1, int(fade_out * rate))
    for i in range(min(fo, n)):
        out[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fo)
    peak = max(abs(v) for v in out) or 1.0
    if knee:
        out = [v / peak for v in out]
        for i, v in enumerate(out):
            a = abs(v)
            if a > knee:
                a = knee + (1.0 - knee) * math.tanh((a - knee) / (1.0 - knee))
                out[i] = a if v > 0 else -a
        peak = max(abs(v) for v in out) or 1.0
    return [v * PEAK / peak for v in out]


# ---------------------------------------------------------------- the clips
# Each maker returns float samples in -1..1 for the clip's rate and length.


def make_bicycle(rate, n):
    # A thumb-lever bell: the hammer flicks the steel dome two or three times
    # per "ring". The dome's main mode is split into two close frequencies,
    # which gives the familiar warble; the higher modes are inharmonic and die
    # fast.
    rng = random.Random(1001)
    modes = [
        (1187.0, 0.22, 0.30),
        (2349.0, 1.00, 0.34),
        (2361.0, 0.80, 0.34),
        (3722.0, 0.45, 0.20),
        (3741.0, 0.30, 0.20),
        (4610.0, 0.22, 0.11),
        (4880.0, 0.12, 0.08),
    ]
    exc = [0.0] * n
    p = pulse(0.00025 * rate)
    for ring_start in (0.010, 0.430):
        for k, amp in enumerate((1.0, 0.85, 0.7)):
            t = ring_start + k * 0.052 + rng.uniform(-0.003, 0.003)
            s = int(t * rate)
            for i, v in enumerate(p):
                exc[s + i] += amp * v
    out = resonate(exc, rate, modes)
    return finish(out, rate, fade_out=0.08)


def make_chimes(rate, n):
    # Tubular wind chimes brushed from the highest tube to the lowest. A free
    # tube's overtones sit at 2.76, 5.40 and 8.93 times its fundamental; each
    # tube gets a slightly detuned twin mode so that it shimmers as it rings.
    rng = random.Random(1002)
    out = [0.0] * n
    notes = ["G6", "E6", "D6", "C6", "A5", "G5"]
    times = [0.00, 0.14, 0.29, 0.45, 0.62, 0.80]
    for i, (name, t) in enumerate(zip(notes, times)):
        f = hz(name)
        modes = [
            (f, 1.0, 0.75),
            (f * 1.0023, 0.5, 0.75),
            (f * 2.756, 0.55, 0.30),
            (f * 5.404, 0.25, 0.10),
            (f * 8.933, 0.10, 0.04),
        ]
        hit = strike(rate, modes, 1.8, 0.0004, knock=0.02, rng=rng)
        mix(out, hit, int((t + 0.005) * rate), 0.9 + 0.1 * rng.random())
    return finish(out, rate, fade_out=0.30)


def brass_note(rate, freq, dur, loud, rng, vibrato=False):
    """One brass note: the lips buzz in slightly flat and settle on the pitch,
    and the tone brightens as it gets louder (brass players' 'blare'), with
    a resonance of the bell around 1.2 kHz."""
    attack = 0.020
    release = 0.040
    n = int((dur + release) * rate)
    kmax = min(28, int(0.45 * rate / freq))
    out = [0.0] * n
    phase = 0.0
    shape = [0.0] * (kmax + 1)
    lev = 0.0
    f = freq
    for i in range(n):
        t = i / rate
        if t < attack:
            lev = math.sin(0.5 * math.pi * t / attack) * (1.0 + 0.12 * math.sin(math.pi * t / attack))
        elif t < dur:
            lev = 1.0 - 0.08 * (t - attack) / max(dur - attack, 1e-3)
        else:
            lev = (1.0 - 0.08) * 0.5 * (1.0 + math.cos(math.pi * (t - dur) / release))
        if i % 16 == 0:
            slope = 2.4 - 1.3 * min(lev, 1.0)
            for k in range(1, kmax + 1):
                fk = k * freq
                bell = 1.0 + 1.6 / (1.0 + ((fk - 1200.0) / 700.0) ** 2)
                shape[k] = k ** (-slope) * bell
            f = freq * (1.0 - 0.025 * math.exp(-t / 0.010))
            if vibrato and t > 0.10:
                f *= 1.0 + 0.0045 * math.sin(TAU * 5.5 * (t - 0.10))
        phase += TAU * f / rate
        s1 = math.sin(phase)
        c2 = 2.0 * math.cos(phase)
        sk_1, sk = 0.0, s1
        acc = shape[1] * s1
        for k in range(2, kmax + 1):
            sk_1, sk = sk, c2 * sk - sk_1
            acc += shape[k] * sk
        out[i] = loud * lev * acc
    # a breath of air as the tongue releases the note
    k = int(0.012 * rate)
    for i in range(min(k, n)):
        out[i] += 0.05 * loud * rng.uniform(-1.0, 1.0) * (1.0 - i / k)
    return out


def make_congratulations(rate, n):
    # "Ta-ta-ta-taaa": three trumpets in close harmony, three tongued notes
    # and a held chord with a touch of vibrato.
    rng = random.Random(1003)
    out = [0.0] * n
    voices = [
        (["G4", "G4", "G4", "C5"], 1.0),
        (["E4", "E4", "E4", "G4"], 0.75),
        (["C4", "C4", "C4", "E4"], 0.6),
    ]
    starts = [0.004, 0.078, 0.152, 0.226]
    durs = [0.055, 0.055, 0.055, 0.215]
    for notes, loud in voices:
        for j, name in enumerate(notes):
            last = j == 3
            note = brass_note(rate, hz(name), durs[j], loud * (1.0 if last else 0.85), rng, vibrato=last)
            mix(out, note, int(starts[j] * rate))
    return finish(out, rate, fade_out=0.03)


def make_doorbell(rate, n):
    # Two tone bars struck in turn, the higher first: "ding-dong". The bars
    # carry a weak octave from their resonator tubes and the usual inharmonic
    # bar overtones, which fade quickly and leave the round fundamental.
    rng = random.Random(1004)
    out = [0.0] * n
    for name, t, amp in (("E5", 0.010, 1.0), ("C5", 0.450, 1.0)):
        f = hz(name)
        modes = [
            (f, 1.0, 0.55),
            (f * 2.0, 0.08, 0.35),
            (f * 2.756, 0.30, 0.15),
            (f * 5.404, 0.12, 0.05),
        ]
        hit = strike(rate, modes, 1.0, 0.0009, knock=0.015, rng=rng)
        mix(out, hit, int(t * rate), amp)
    return finish(out, rate, fade_out=0.18)


def make_eastern(rate, n):
    # A koto-like melody in the Japanese "in" scale on A (A Bb D E F): bright
    # plucks near the end of the string, ringing over one another.
    rng = random.Random(1005)
    out = [0.0] * n
    beat = 0.30
    melody = [
        (0, ["A4"]), (1, ["E5"]), (2, ["F5"]), (3, ["E5"]),
        (4, ["D5"]), (5, ["Bb4"]), (6, ["A4"]),
        (7.5, ["D5"]), (8.5, ["E5"]), (9.5, ["Bb4"]),
        (10.5, ["A3", "A4"]),
    ]
    for b, names in melody:
        for name in names:
            f = hz(name)
            s = pluck(rate, f, 1.6, rng, t60=1.5, bright=0.7, pick=0.12)
            mix(out, s, int((0.01 + b * beat) * rate), 0.8 if name == "A3" else 1.0)
    return finish(out, rate, fade_out=0.35, knee=0.45)


def make_harp(rate, n):
    # An upward glissando over two octaves of C major, the fingers gaining
    # a little speed, each string plucked away from its middle and left to ring.
    rng = random.Random(1006)
    out = [0.0] * n
    names = ["C4", "D4", "E4", "F4", "G4", "A4", "B4", "C5",
             "D5", "E5", "F5", "G5", "A5", "B5", "C6"]
    t = 0.01
    for i, name in enumerate(names):
        s = pluck(rate, hz(name), 1.4, rng, t60=2.2, bright=0.3, pick=0.3)
        mix(out, s, int(t * rate), 0.7 + 0.3 * i / len(names))
        t += 0.058 - 0.0012 * i
    return finish(out, rate, fade_out=0.30)


def epiano(rate, freq, dur, loud):
    """A soft electric-piano note: a sine carrier phase-modulated at its own
    frequency, the modulation fading after the strike so the tone mellows."""
    n = int(dur * rate)
    out = [0.0] * n
    for i in range(n):
        t = i / rate
        env = (1.0 - math.exp(-t / 0.004)) * math.exp(-t / 0.9)
        index = 0.25 + 1.1 * math.exp(-t / 0.12)
        ph = TAU * freq * t
        out[i] = loud * env * math.sin(ph + index * math.sin(ph))
    rel = int(0.05 * rate)
    for i in range(min(rel, n)):
        out[n - 1 - i] *= i / rel
    return out


def pad_note(rate, freq, dur, loud):
    """A quiet sustained chord tone with slow attack and release."""
    n = int(dur * rate)
    out = [0.0] * n
    for i in range(n):
        t = i / rate
        env = min(1.0, t / 0.35) * min(1.0, (dur - t) / 0.45)
        ph = TAU * freq * t
        out[i] = loud * env * (math.sin(ph) + 0.2 * math.sin(2 * ph) + 0.05 * math.sin(3 * ph))
    return out


def make_life(rate, n):
    # A calm tune on a soft electric piano over a quiet pad:
    # C - Am - F - G7 - C, sixteen slow beats.
    out = [0.0] * n
    beat = 0.3625
    melody = [
        (0, 2, "E5"), (2, 1, "G5"), (3, 1, "E5"),
        (4, 2, "D5"), (6, 1, "C5"), (7, 1, "A4"),
        (8, 2, "C5"), (10, 1, "F5"), (11, 1, "E5"),
        (12, 1, "D5"), (13, 3, "C5"),
    ]
    for b, length, name in melody:
        note = epiano(rate, hz(name), length * beat + 0.9, 0.55)
        mix(out, note, int((0.02 + b * beat) * rate))
    # gentle broken chords below the tune
    bass = [
        (0, ["C3", "G3", "E4"]), (4, ["A2", "E3", "C4"]),
        (8, ["F2", "C3", "A3"]), (12, ["G2", "D3", "B3"]), (13, ["C3", "G3", "E4"]),
    ]
    for b, chord in bass:
        for j, name in enumerate(chord):
            note = epiano(rate, hz(name), 1.8, 0.28)
            mix(out, note, int((0.02 + (b + 0.5 * j) * beat) * rate))
    pads = [(0, 4, ["C4", "G4"]), (4, 4, ["A3", "E4"]), (8, 4, ["F3", "C4"]),
            (12, 1, ["G3", "D4"]), (13, 3, ["C4", "G4"])]
    for b, length, chord in pads:
        for name in chord:
            mix(out, pad_note(rate, hz(name), length * beat + 0.3, 0.07), int(b * beat * rate))
    return finish(out, rate, fade_in=0.005, fade_out=0.5)


def syllable(rate, dur, f_points, a_points, partials=((1, 1.0), (2, 0.12))):
    """A bird syllable: a whistle whose pitch and loudness follow breakpoints
    given over normalised time 0..1."""
    return tone(rate, dur,
                lambda t: interp(f_points, t / dur),
                lambda t: interp(a_points, t / dur),
                partials, block=4)


def make_nightingale(rate, n):
    # A nightingale phrase: a few "jug" notes, a crescendo of pure whistles,
    # a rapid trill of down-sweeps and a closing rattle with a flick upward.
    rng = random.Random(1007)
    out = [0.0] * n
    # "jug jug jug jug"
    for k in range(4):
        s = syllable(rate, 0.045, [(0, 3600), (0.3, 2600), (1, 1800)],
                     [(0, 0), (0.15, 1), (0.7, 0.8), (1, 0)], ((1, 1.0), (2, 0.25)))
        mix(out, s, int((0.02 + k * 0.105) * rate), 0.7)
    # "piu piu piu" rising in loudness
    for k, a in enumerate((0.35, 0.6, 0.9)):
        s = syllable(rate, 0.10, [(0, 1450), (0.2, 1750), (0.8, 1650), (1, 1300)],
                     [(0, 0), (0.2, 1), (0.8, 0.9), (1, 0)], ((1, 1.0), (2, 0.05)))
        mix(out, s, int((0.46 + k * 0.15) * rate), a)
    # trill: fast repeated down-sweeps, swelling and fading
    count = 18
    for k in range(count):
        env = math.sin(math.pi * (k + 0.5) / count)
        top = 6000 + 300 * rng.uniform(-1, 1)
        s = syllable(rate, 0.016, [(0, top), (1, 3400)],
                     [(0, 0), (0.2, 1), (1, 0)], ((1, 1.0), (2, 0.05)))
        mix(out, s, int((0.95 + k * 0.027) * rate), 0.45 + 0.55 * env)
    # closing rattle: a frequency-modulated buzz, then an upward flick
    t0 = 1.45
    dur = 0.36
    r = tone(rate, dur,
             lambda t: 2500 + 450 * math.sin(TAU * 95 * t) - 300 * t / dur,
             lambda t: interp([(0, 0), (0.05, 0.8), (0.7, 0.7), (1, 0)], t / dur),
             ((1, 1.0), (2, 0.2)), block=2)
    mix(out, r, int(t0 * rate))
    s = syllable(rate, 0.08, [(0, 2200), (1, 5200)], [(0, 0), (0.3, 1), (1, 0)])
    mix(out, s, int(1.86 * rate), 0.8)
    return finish(out, rate, fade_out=0.04)


def make_owl(rate, n):
    # A tawny-owl style call: a long "hooo", a pause, then "hu-hu-hooooo"
    # wavering as it fades. Each hoot is a low, soft tone with a breathy
    # noise band around it.
    rng = random.Random(1008)
    out = [0.0] * n
    hoots = [
        # start, length, pitch points (normalised time, Hz), loudness, vibrato
        (0.04, 0.46, [(0, 340), (0.15, 395), (0.8, 385), (1, 350)], 0.9, 0.0),
        (0.78, 0.14, [(0, 360), (0.3, 390), (1, 370)], 0.6, 0.0),
        (0.98, 0.16, [(0, 360), (0.3, 395), (1, 375)], 0.7, 0.0),
        (1.22, 1.00, [(0, 350), (0.1, 400), (0.6, 392), (1, 340)], 1.0, 0.02),
    ]
    for start, dur, pitch, loud, vib in hoots:
        att = min(0.05, dur * 0.3)

        def amp_at(t, dur=dur, att=att):
            a = 0.5 - 0.5 * math.cos(math.pi * min(1.0, t / att))
            rel = 0.35 * dur
            if t > dur - rel:
                a *= max(0.0, (dur - t) / rel) ** 1.5
            return a

        def f_at(t, dur=dur, pitch=pitch, vib=vib):
            f = interp(pitch, t / dur)
            if vib:
                f *= 1.0 + vib * math.sin(TAU * 7.0 * t) * min(1.0, t / 0.3)
            return f

        body = tone(rate, dur, f_at, amp_at, ((1, 1.0), (2, 0.18), (3, 0.05)), block=8)
        m = len(body)
        breath = bandpass([rng.uniform(-1.0, 1.0) for _ in range(m)], rate, 600.0, 1.2)
        for i in range(m):
            body[i] += 0.35 * breath[i] * amp_at(i / rate)
        mix(out, body, int(start * rate), loud)
    return finish(out, rate, fade_out=0.06)


def make_rooster(rate, n):
    # "Cock-a-doodle-doo": a harsh harmonic voice whose pitch climbs through
    # the syllables and holds on the last, long "doo" before it falls away.
    # The syllables are dips in loudness on one continuous call; the mouth
    # opens from "o" to "a" and back, which the moving formants model. The
    # rasp comes from a weak subharmonic and slow random pitch jitter.
    rng = random.Random(1009)
    # time, pitch (Hz), loudness, F1, F2
    path = [
        (0.00, 430, 0.0, 600, 1100),
        (0.025, 470, 0.9, 700, 1200),
        (0.11, 540, 0.75, 750, 1250),
        (0.135, 520, 0.03, 650, 1150),
        (0.155, 520, 0.03, 650, 1150),
        (0.18, 560, 0.8, 800, 1350),
        (0.27, 600, 0.65, 800, 1350),
        (0.295, 580, 0.03, 600, 1100),
        (0.315, 600, 0.03, 600, 1100),
        (0.34, 650, 0.95, 520, 950),
        (0.46, 700, 0.85, 560, 1000),
        (0.485, 670, 0.04, 600, 1100),
        (0.505, 670, 0.04, 600, 1100),
        (0.53, 700, 0.9, 700, 1200),
        (0.72, 790, 1.0, 650, 1100),
        (1.15, 770, 0.9, 560, 1000),
        (1.45, 640, 0.55, 500, 900),
        (1.70, 520, 0.0, 450, 850),
    ]
    cols = list(zip(*path))
    times = cols[0]
    pts = [list(zip(times, c)) for c in cols[1:]]
    jitter = smooth_noise(rng, n, rate, 25.0)
    nyquist = 0.45 * rate
    out = [0.0] * n
    phase = 0.0
    amps = []
    for i in range(n):
        t = i / rate
        if i % 8 == 0:
            f0 = interp(pts[0], t) * (1.0 + 0.012 * jitter[i])
            loud = interp(pts[1], t)
            f1 = interp(pts[2], t)
            f2 = interp(pts[3], t)
            formants = ((f1, 110.0, 1.0), (f2, 150.0, 0.7), (2600.0, 250.0, 0.35))
            amps = []
            # harmonics and the half-order subharmonics that make it rasp
            for h in range(1, 2 * int(nyquist / (0.5 * f0)) + 1):
                k = h * 0.5
                fk = k * f0
                if fk >= nyquist:
                    break
                g = 0.04 + sum(a / (1.0 + ((fk - fc) / bw) ** 2) for fc, bw, a in formants)
                src = k ** -0.6 * (1.0 if h % 2 == 0 else 0.22)
                amps.append((k, g * src))
        phase += TAU * f0 / rate
        if phase > TAU * 256:
            phase -= TAU * 256
        s = 0.0
        for k, a in amps:
            s += a * math.sin(k * phase)
        out[i] = loud * s
    # consonants: a "k" burst at the start and soft "d" taps
    for t, amp in ((0.005, 0.5), (0.305, 0.25), (0.495, 0.25)):
        s = int(t * rate)
        burst = bandpass([rng.uniform(-1.0, 1.0) for _ in range(int(0.02 * rate))], rate, 1800.0, 1.5)
        for i, v in enumerate(burst):
            if s + i < n:
                out[s + i] += amp * v * (1.0 - i / len(burst))
    return finish(out, rate, fade_out=0.05)


def make_rubber_duck(rate, n):
    # Squeezing a rubber duck forces air out through its little reed: a
    # squeak that jumps up and wavers, then a shorter, higher one as the air
    # rushes back in when the duck is let go.
    rng = random.Random(1010)
    out = [0.0] * n
    wob = smooth_noise(rng, n, rate, 30.0)

    def squeak(start, dur, pitch, loud):
        m = int(dur * rate)
        s0 = int(start * rate)
        sig = tone(rate, dur,
                   lambda t: interp(pitch, t / dur) * (1.0 + 0.015 * wob[min(n - 1, s0 + int(t * rate))]),
                   lambda t: interp([(0, 0), (0.06, 1), (0.8, 0.85), (1, 0)], t / dur),
                   ((1, 1.0), (2, 0.55), (3, 0.35), (4, 0.18), (5, 0.1)), block=2)
        hiss = bandpass([rng.uniform(-1.0, 1.0) for _ in range(m)], rate, 3000.0, 2.0)
        for i in range(m):
            sig[i] += 0.08 * hiss[i] * interp([(0, 0), (0.1, 1), (1, 0)], i / m)
        mix(out, sig, s0, loud)

    squeak(0.015, 0.30, [(0, 1300), (0.15, 2050), (0.6, 2150), (1, 1850)], 1.0)
    squeak(0.355, 0.16, [(0, 2200), (0.4, 2500), (1, 2350)], 0.6)
    return finish(out, rate, fade_out=0.02)


def make_sparrow(rate, n):
    # House sparrows: loud "cheep" notes shaped like a chevron (up, then
    # down), a few two-part "chirrup"s, and a second bird further away.
    rng = random.Random(1011)
    out = [0.0] * n

    def cheep(t, loud, base, dur):
        s = syllable(rate, dur,
                     [(0, base), (0.3, base * 1.35), (0.7, base * 1.15), (1, base * 0.85)],
                     [(0, 0), (0.15, 1), (0.6, 0.9), (1, 0)], ((1, 1.0), (2, 0.3)))
        mix(out, s, int(t * rate), loud)

    def chirrup(t, loud, base):
        cheep(t, loud, base, 0.055)
        s = syllable(rate, 0.07, [(0, base * 1.5), (1, base * 0.95)],
                     [(0, 0), (0.2, 1), (1, 0)], ((1, 1.0), (2, 0.25)))
        mix(out, s, int((t + 0.065) * rate), loud * 0.8)

    near = [
        (0.03, "cheep"), (0.30, "cheep"), (0.52, "chirrup"),
        (0.98, "cheep"), (1.18, "cheep"), (1.60, "chirrup"),
        (1.85, "cheep"), (2.32, "cheep"), (2.52, "chirrup"),
    ]
    for t, kind in near:
        base = 3100 + 250 * rng.uniform(-1, 1)
        if kind == "cheep":
            cheep(t, 0.9 + 0.1 * rng.random(), base, 0.085 + 0.02 * rng.random())
        else:
            chirrup(t, 0.9, base)
    for t in (0.72, 1.42, 2.10, 2.80):
        cheep(t, 0.3, 3600 + 200 * rng.uniform(-1, 1), 0.07)
    return finish(out, rate, fade_out=0.05)


def make_phone(rate, n):
    # An electromechanical ringer: the clapper swings at 20 Hz between two
    # small bells of different pitch, striking each once per swing, which
    # gives the rapid two-tone trill; after the ring the bells ring out.
    rng = random.Random(1012)

    def bell(f):
        return [
            (f, 1.0, 0.28),
            (f * 1.006, 0.5, 0.28),
            (f * 2.32, 0.5, 0.15),
            (f * 3.28, 0.3, 0.09),
            (f * 4.41, 0.15, 0.05),
        ]

    exc_a = [0.0] * n
    exc_b = [0.0] * n
    p = pulse(0.0003 * rate)
    t = 0.01
    while t < 0.74:
        for exc, off in ((exc_a, 0.0), (exc_b, 0.025)):
            s = int((t + off + rng.uniform(-0.001, 0.001)) * rate)
            amp = 0.85 + 0.15 * rng.random()
            for i, v in enumerate(p):
                if s + i < n:
                    exc[s + i] += amp * v
        t += 0.05
    out = resonate(exc_a, rate, bell(1040.0))
    mix(out, resonate(exc_b, rate, bell(1310.0)), 0, 0.85)
    return finish(out, rate, fade_out=0.08)


def make_water_drop(rate, n):
    # A drop falling into water: the bubble it traps rings as a sine whose
    # pitch rises quickly while it dies away.
    out = [0.0] * n
    phase = 0.0
    for i in range(n):
        t = i / rate
        f = 700.0 + 2600.0 * (1.0 - math.exp(-t / 0.022))
        phase += TAU * f / rate
        env = (1.0 - math.exp(-t / 0.0015)) * math.exp(-t / 0.020)
        out[i] = env * math.sin(phase)
    return finish(out, rate, fade_in=0.001, fade_out=0.006)


def make_xylophone(rate, n):
    # Hard mallets on rosewood bars: two octaves of C major up, a bright
    # arpeggio back down and a final octave. Xylophone bars are tuned so that
    # the first overtone is three times the fundamental; the tube under each
    # bar strengthens the fundamental, and everything dies quickly.
    rng = random.Random(1014)
    out = [0.0] * n

    def bar(name, t, loud):
        f = hz(name)
        tau = 0.32 * (523.0 / f) ** 0.5
        modes = [
            (f, 1.0, tau),
            (f * 3.0, 0.45, tau * 0.45),
            (f * 6.1, 0.15, tau * 0.15),
            (f * 10.2, 0.06, tau * 0.08),
        ]
        hit = strike(rate, modes, 1.0, 0.00025, knock=0.06, rng=rng)
        mix(out, hit, int(t * rate), loud)

    up = ["C5", "D5", "E5", "F5", "G5", "A5", "B5", "C6",
          "D6", "E6", "F6", "G6", "A6", "B6", "C7"]
    t = 0.01
    for i, name in enumerate(up):
        bar(name, t, 0.75 + 0.25 * i / len(up))
        t += 0.062
    t += 0.06
    for name in ["G6", "E6", "C6", "G5", "E5", "C5"]:
        bar(name, t, 0.9)
        t += 0.085
    t += 0.07
    bar("C5", t, 1.0)
    bar("C6", t + 0.003, 0.8)
    return finish(out, rate, fade_out=0.15)


def soft_chime(rate, n, notes, seed):
    """Two soft chime notes, one after the other: a felt mallet on a small
    tuned bar, mostly its round fundamental, with a faint octave and a faint
    bar overtone that die away first. For the short breaks, which come often:
    a gentle cue rather than an alert."""
    rng = random.Random(seed)
    out = [0.0] * n
    for name, t, amp in notes:
        f = hz(name)
        modes = [
            (f, 1.0, 0.22),
            (f * 2.0, 0.05, 0.12),
            (f * 2.756, 0.04, 0.05),
        ]
        hit = strike(rate, modes, 0.6, 0.0025, knock=0.004, rng=rng)
        mix(out, hit, int(t * rate), amp)
    return finish(out, rate, fade_in=0.004, fade_out=0.15)


def make_short_start(rate, n):
    # A short break begins: a rising fourth, G5 then C6.
    return soft_chime(rate, n, (("G5", 0.010, 0.85), ("C6", 0.200, 1.0)), 1016)


def make_short_end(rate, n):
    # A short break is over: the same fourth falling, C6 then G5.
    return soft_chime(rate, n, (("C6", 0.010, 1.0), ("G5", 0.200, 0.85)), 1017)


# ---------------------------------------------------------------- file writers


def chunk(tag, body):
    """A RIFF chunk; odd-sized bodies get the pad byte RIFF requires."""
    data = tag + struct.pack("<I", len(body)) + body
    if len(body) % 2:
        data += b"\x00"
    return data


def riff(chunks):
    body = b"WAVE" + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def pcm_wave(samples, rate, bits):
    if bits == 8:
        # 8-bit PCM is unsigned, 128 is silence
        data = bytes(max(0, min(255, int(round(v * 128.0)) + 128)) for v in samples)
    else:
        data = struct.pack("<%dh" % len(samples),
                           *(max(-32768, min(32767, int(round(v * 32767.0)))) for v in samples))
    block = bits // 8
    fmt = struct.pack("<HHIIHH", 1, 1, rate, rate * block, block, bits)
    return riff([chunk(b"fmt ", fmt), chunk(b"data", data)])


def alaw_wave(samples, rate):
    lin = struct.pack("<%dh" % len(samples),
                      *(max(-32768, min(32767, int(round(v * 32767.0)))) for v in samples))
    data = audioop.lin2alaw(lin, 2)
    fmt = struct.pack("<HHIIHHH", 6, 1, rate, rate, 1, 8, 0)
    return riff([chunk(b"fmt ", fmt), chunk(b"fact", struct.pack("<I", len(samples))),
                 chunk(b"data", data)])


# MPEG-2.5 layer III at 11025 Hz allows 8, 16, 24, 32 ... kbit/s; 24 is the
# nearest to the intended ~20 kbit/s that keeps a soft melody free of warble.
MP3_KBPS = 24
LAME = ["lame", "--quiet", "-m", "m", "--resample", "11.025", "-b", str(MP3_KBPS),
        "--cbr", "-q", "2", "-t", "--noreplaygain", "--nohist"]


def mp3_frames(data):
    """Splits an MPEG audio stream into frames, dropping any ID3 tag, and
    checks that every frame is MPEG-2.5 layer III, mono, 11025 Hz."""
    if data.startswith(b"ID3"):
        size = (data[6] << 21) | (data[7] << 14) | (data[8] << 7) | data[9]
        data = data[10 + size:]
    if len(data) >= 128 and data[-128:-125] == b"TAG":
        data = data[:-128]
    rates25 = {0: 11025, 1: 12000, 2: 8000}
    kbps = [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160]
    frames = []
    pos = 0
    while pos < len(data):
        h = struct.unpack(">I", data[pos:pos + 4])[0]
        if (h >> 21) & 0x7FF != 0x7FF or (h >> 19) & 3 != 0 or (h >> 17) & 3 != 1:
            raise SystemExit("lame produced an unexpected frame at byte %d" % pos)
        br = kbps[(h >> 12) & 15] * 1000
        sr = rates25[(h >> 10) & 3]
        pad = (h >> 9) & 1
        if sr != 11025 or (h >> 6) & 3 != 3:
            raise SystemExit("lame produced a frame that is not mono 11025 Hz")
        size = 72 * br // sr + pad
        frames.append(data[pos:pos + size])
        pos += size
    return frames


def mp3_wave(samples, rate):
    # lame reads a plain 16-bit wave file: its raw-input mode goes through
    # libsndfile on Debian and is less dependable.
    with tempfile.TemporaryDirectory() as tmp:
        src = os.path.join(tmp, "life.wav")
        dst = os.path.join(tmp, "life.mp3")
        with open(src, "wb") as f:
            f.write(pcm_wave(samples, rate, 16))
        try:
            subprocess.run(LAME + [src, dst], check=True)
        except FileNotFoundError:
            raise SystemExit("make_sounds.py: the LIFE clip needs the lame encoder "
                             "(apt-get install lame)")
        with open(dst, "rb") as f:
            enc = f.read()
    frames = mp3_frames(enc)
    data = b"".join(frames)
    block = 72 * MP3_KBPS * 1000 // rate  # frame length without the padding byte
    # MPEGLAYER3WAVEFORMAT: wID 1 (MPEG), fdwFlags 0 (padding as ISO: lame pads
    # some frames to hold the exact bit rate), one frame per block, and the
    # decoder delay that Windows' MP3 codec expects.
    fmt = struct.pack("<HHIIHHH", 0x55, 1, rate, MP3_KBPS * 1000 // 8, 1, 0, 12)
    fmt += struct.pack("<HIHHH", 1, 0, block, 1, 1393)
    return riff([chunk(b"fmt ", fmt), chunk(b"fact", struct.pack("<I", len(samples))),
                 chunk(b"data", data)])



# ---------------------------------------------------------------- packed clips
#
# The program carries each clip packed (a format of our own, made by pack_clip
# below and unpacked by alerts/clip_pack.cpp) and rebuilds the PCM wave at play
# time. The MP3 clip is carried as it is.
#
#   a RIFF/WAVE file: a "fmt " chunk of format tag PACKED_TAG (mono, the rate,
#   block align 1, the bits per sample), and a "data" chunk that holds
#   a header, little-endian, 16 bytes:
#     "UWC1", sample rate (u32), bits (u8: 8 or 16), tolerance d (u8),
#     predictor order (u8: 1 or 2), 0 (u8), sample count (u32)
#   then the residuals, range-coded (the binary range coder of LZMA: 32-bit
#   range, probabilities of a 0 in 12 bits, moved 1/16 of the way each bit).
#   The samples are signed (8-bit ones less 128). Each is predicted from the
#   ones rebuilt before it (order 1: p = x[n-1]; order 2: p = 2 x[n-1] - x[n-2];
#   0 before the start; kept within the sample range); the residual r is counted
#   in steps of 2d + 1, so x = clamp(p + r (2d + 1)) is never more than d away
#   from the original. r is zigzag-mapped to z (0, -1, 1, -2 ... -> 0, 1, 2, 3
#   ...) and written as n, the bit length of z + 1 less one, in unary (n ones
#   and a zero, each bit i under context (previous sample's n, at most 12; i)),
#   then the n bits of z + 1 below its top bit, highest first: the first two
#   under context (n, which), the others under context n.

PACKED_TAG = 0x5557  # "WU": a format tag of our own
# Tolerance per sample width: one step of 8-bit audio; 255 of 32768 for 16-bit
# (the error stays more than 40 dB below a clip's peak).
PACK_TOLERANCE = {8: 1, 16: 255}


def wave_samples(blob):
    """(rate, bits, signed samples) of a PCM or A-law RIFF/WAVE (A-law as 16-bit)."""
    pos, fmt, data = 12, None, None
    while pos + 8 <= len(blob):
        tag, size = blob[pos:pos + 4], struct.unpack("<I", blob[pos + 4:pos + 8])[0]
        body = blob[pos + 8:pos + 8 + size]
        if tag == b"fmt ":
            fmt = body
        elif tag == b"data":
            data = body
        pos += 8 + size + (size & 1)
    kind, _, rate = struct.unpack("<HHI", fmt[:8])
    bits = struct.unpack("<H", fmt[14:16])[0]
    if kind == 6:
        data, bits = audioop.alaw2lin(data, 2), 16
    elif kind != 1:
        return None
    if bits == 8:
        return rate, 8, [b - 128 for b in data]
    return rate, 16, list(struct.unpack("<%dh" % (len(data) // 2), data))


class RangeEncoder:
    """LZMA's binary range encoder with adaptive probabilities by context."""

    def __init__(self):
        self.low, self.range, self.cache, self.pending = 0, 0xFFFFFFFF, 0, 1
        self.out = bytearray()
        self.probs = {}

    def shift_low(self):
        if self.low < 0xFF000000 or self.low > 0xFFFFFFFF:
            carry = self.low >> 32
            byte = self.cache
            while self.pending:
                self.out.append((byte + carry) & 0xFF)
                byte = 0xFF
                self.pending -= 1
            self.cache = (self.low >> 24) & 0xFF
        self.pending += 1
        self.low = (self.low & 0x00FFFFFF) << 8

    def bit(self, context, bit):
        p = self.probs.get(context, 2048)
        bound = (self.range >> 12) * p
        if bit:
            self.low += bound
            self.range -= bound
            p -= p >> 4
        else:
            self.range = bound
            p += (4096 - p) >> 4
        self.probs[context] = p
        while self.range < (1 << 24):
            self.range <<= 8
            self.shift_low()

    def finish(self):
        for _ in range(5):
            self.shift_low()
        return bytes(self.out)


def residuals(samples, bits, order):
    d = PACK_TOLERANCE[bits]
    step = 2 * d + 1
    lo, hi = -(1 << (bits - 1)), (1 << (bits - 1)) - 1
    zs = []
    x1 = x2 = 0
    for s in samples:
        p = max(lo, min(hi, x1 if order == 1 else 2 * x1 - x2))
        e = s - p
        r = (abs(e) + d) // step * (1 if e >= 0 else -1)
        x = max(lo, min(hi, p + r * step))
        assert abs(x - s) <= d
        zs.append(2 * r if r >= 0 else -2 * r - 1)
        x2, x1 = x1, x
    return zs


def encode(zs):
    rc = RangeEncoder()
    prev = 0
    for z in zs:
        n = (z + 1).bit_length() - 1
        for i in range(n):
            rc.bit(("n", min(prev, 12), i), 1)
        rc.bit(("n", min(prev, 12), n), 0)
        for j in range(n - 1, -1, -1):
            which = n - 1 - j
            rc.bit(("top", n, which) if which < 2 else ("low", n), (z + 1) >> j & 1)
        prev = n
    return rc.finish()


def pack_clip(rate, bits, samples):
    # Whichever predictor packs the clip smaller.
    body, order = min((encode(residuals(samples, bits, o)), o) for o in (1, 2))
    head = b"UWC1" + struct.pack("<IBBBBI", rate, bits, PACK_TOLERANCE[bits], order, 0,
                                 len(samples))
    # Carried as a RIFF/WAVE whose format is our own, so that nothing takes it for PCM.
    average = len(body) * rate // max(1, len(samples))
    fmt = struct.pack("<HHIIHH", PACKED_TAG, 1, rate, average, 1, bits)
    return riff([chunk(b"fmt ", fmt), chunk(b"data", head + body)])


def packed(blob):
    """What the program carries for the wave `blob`: packed, or the wave itself."""
    found = wave_samples(blob)
    return pack_clip(*found) if found else blob


# ---------------------------------------------------------------- catalogue

# resource name, maker, encoding, rate, bits, samples (length in samples)
CLIPS = [
    ("BICYCLE", make_bicycle, "pcm", 11127, 16, 11865),
    ("CHIMES", make_chimes, "pcm", 22050, 8, 37266),
    ("CONGRATULATIONS", make_congratulations, "pcm", 44100, 16, 21320),
    ("DOORBELL", make_doorbell, "pcm", 22050, 8, 21168),
    ("EASTERN", make_eastern, "pcm", 8000, 8, 31950),
    ("HARP", make_harp, "pcm", 11025, 8, 14832),
    ("LIFE", make_life, "mp3", 11025, 16, 63945),
    ("NIGHTENGALE", make_nightingale, "pcm", 22050, 8, 45168),
    ("OWL", make_owl, "pcm", 11025, 16, 25159),
    ("ROOSTER", make_rooster, "pcm", 8000, 8, 14342),
    # A-law at a standard rate: the system decoders refuse 22254 Hz.
    ("RUBBERDUCK", make_rubber_duck, "alaw", 22050, 8, 11826),
    ("SPARROW", make_sparrow, "pcm", 16000, 8, 48910),
    ("PHONE", make_phone, "pcm", 11025, 8, 9982),
    ("WATERDROP", make_water_drop, "pcm", 8000, 16, 557),
    ("XYLOPHONE", make_xylophone, "pcm", 22050, 8, 48944),
    # The short breaks' cues, not in the catalogue the user picks from: small, soft, 8-bit.
    ("SHORTSTART", make_short_start, "pcm", 11025, 8, 7718),
    ("SHORTEND", make_short_end, "pcm", 11025, 8, 7718),
]


def build(name, maker, encoding, rate, bits, count):
    samples = maker(rate, count)
    assert len(samples) == count, (name, len(samples), count)
    if encoding == "pcm":
        return pcm_wave(samples, rate, bits)
    if encoding == "alaw":
        return alaw_wave(samples, rate)
    return mp3_wave(samples, rate)


def write_packed(name):
    """Packs name.wav into name.uwc, the file sounds.rc compiles in."""
    with open(os.path.join(HERE, name.lower() + ".wav"), "rb") as f:
        blob = packed(f.read())
    with open(os.path.join(HERE, name.lower() + ".uwc"), "wb") as f:
        f.write(blob)
    return len(blob)


def main(argv):
    args = argv[1:]
    pack_only = "--pack-only" in args
    wanted = {a.upper() for a in args if a != "--pack-only"}
    for name, maker, encoding, rate, bits, count in CLIPS:
        if wanted and name not in wanted:
            continue
        if not pack_only:
            blob = build(name, maker, encoding, rate, bits, count)
            path = os.path.join(HERE, name.lower() + ".wav")
            with open(path, "wb") as f:
                f.write(blob)
            print("%-16s %6d bytes  %5.2f s" % (name.lower() + ".wav", len(blob), count / rate))
        size = write_packed(name)
        print("%-16s %6d bytes" % (name.lower() + ".uwc", size))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
