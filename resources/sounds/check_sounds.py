#!/usr/bin/env python3
"""Checks the built-in sounds (the fifteen alert sounds and the short breaks'
two cues) before they go into unwindle.exe.

For each clip: a well-formed RIFF/WAVE file whose chunk sizes add up, the
format (encoding, bits, rate, mono) the catalogue expects, a length close to
the intended one, a size PlaySoundA is happy to play from memory, a
comfortable level that is neither silent nor clipped, and quiet ends (no
click). Also checks that sounds.rc names exactly these seventeen resources.

Standard library only. Prints one line per clip; exits 1 on any failure.
Usage: check_sounds.py [folder]   (default: the folder of this script)
"""

import math
import os
import re
import struct
import sys
import warnings

with warnings.catch_warnings():
    warnings.simplefilter("ignore", DeprecationWarning)
    import audioop

PCM, ALAW, MP3 = 1, 6, 0x55
MAX_BYTES = 55000
LENGTH_TOLERANCE = 0.15

# resource name, format tag, bits per sample, sample rate, intended length (s)
EXPECTED = [
    ("BICYCLE", PCM, 16, 11127, 1.1),
    ("CHIMES", PCM, 8, 22050, 1.7),
    ("CONGRATULATIONS", PCM, 16, 44100, 0.5),
    ("DOORBELL", PCM, 8, 22050, 1.0),
    ("EASTERN", PCM, 8, 8000, 4.0),
    ("HARP", PCM, 8, 11025, 1.3),
    ("LIFE", MP3, 0, 11025, 5.8),
    ("NIGHTENGALE", PCM, 8, 22050, 2.0),
    ("OWL", PCM, 16, 11025, 2.3),
    ("ROOSTER", PCM, 8, 8000, 1.8),
    ("RUBBERDUCK", ALAW, 8, 22050, 0.5),
    ("SPARROW", PCM, 8, 16000, 3.1),
    ("PHONE", PCM, 8, 11025, 0.9),
    ("WATERDROP", PCM, 16, 8000, 0.07),
    ("XYLOPHONE", PCM, 8, 22050, 2.1),
    # the short breaks' soft cues (not in the catalogue)
    ("SHORTSTART", PCM, 8, 11025, 0.7),
    ("SHORTEND", PCM, 8, 11025, 0.7),
]

MP3_KBPS_25 = [0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160]
MP3_RATES_25 = {0: 11025, 1: 12000, 2: 8000}
MP3_SAMPLES_PER_FRAME = 576  # MPEG-2/2.5 layer III


class Bad(Exception):
    pass


def need(cond, what):
    if not cond:
        raise Bad(what)


def read_chunks(blob):
    """Walks the RIFF file; returns [(id, body)] and insists that every size
    adds up: the RIFF size is the file size less 8, each chunk fits, odd
    chunks carry their pad byte, and nothing trails the last chunk."""
    need(len(blob) >= 12, "shorter than a RIFF header")
    need(blob[0:4] == b"RIFF", "does not start with RIFF")
    need(blob[8:12] == b"WAVE", "RIFF form is not WAVE")
    riff_size = struct.unpack_from("<I", blob, 4)[0]
    need(riff_size == len(blob) - 8, "RIFF size %d, file holds %d" % (riff_size, len(blob) - 8))
    chunks = []
    pos = 12
    while pos < len(blob):
        need(pos + 8 <= len(blob), "truncated chunk header at byte %d" % pos)
        cid = blob[pos:pos + 4]
        size = struct.unpack_from("<I", blob, pos + 4)[0]
        end = pos + 8 + size
        need(end <= len(blob), "chunk %r runs past the end of the file" % cid)
        chunks.append((cid, blob[pos + 8:end]))
        pos = end + (size & 1)
    need(pos == len(blob), "chunks do not end at the end of the file")
    ids = [c for c, _ in chunks]
    for cid in ids:
        need(cid in (b"fmt ", b"fact", b"data"), "unexpected chunk %r" % cid)
        need(ids.count(cid) == 1, "chunk %r appears more than once" % cid)
    need(ids[0] == b"fmt ", "the fmt chunk does not come first")
    need(b"data" in ids, "no data chunk")
    return dict(chunks)


def to_floats(data, tag, bits):
    """Samples in -1..1 for PCM (8-bit unsigned, 16-bit signed) and A-law."""
    if tag == ALAW:
        data = audioop.alaw2lin(data, 2)
        bits = 16
    if bits == 8:
        return [(b - 128) / 128.0 for b in data]
    need(len(data) % 2 == 0, "16-bit data of odd length")
    return [v / 32768.0 for v in struct.unpack("<%dh" % (len(data) // 2), data)]


def check_level(samples, tag, bits):
    """Returns (peak dBFS, RMS dBFS) after checking the clip is audible, not
    clipped and starts and ends near silence."""
    need(samples, "no samples")
    peak = max(abs(v) for v in samples)
    rms = math.sqrt(sum(v * v for v in samples) / len(samples))
    peak_db = 20 * math.log10(peak) if peak else -200.0
    rms_db = 20 * math.log10(rms) if rms else -200.0
    need(rms_db > -30.0, "too quiet (RMS %.1f dBFS)" % rms_db)
    need(-6.0 <= peak_db <= -1.0, "peak %.1f dBFS, wanted about -3" % peak_db)
    # clipping: two or more samples in a row at the extreme codes
    if tag == ALAW:
        top = max(abs(v) for v in to_floats(bytes([0x2A, 0xAA]), ALAW, 8))
    elif bits == 8:
        top = 127 / 128.0
    else:
        top = 32767 / 32768.0
    run = 0
    for v in samples:
        run = run + 1 if (v >= top or v <= -top - 1e-9 or v <= -1.0) else 0
        need(run < 2, "clipped run of samples")
    edge = 0.02
    need(abs(samples[0]) <= edge and abs(samples[-1]) <= edge, "starts or ends with a jump (click)")
    return peak_db, rms_db


def check_pcm_or_alaw(chunks, tag, bits, rate):
    fmt = chunks[b"fmt "]
    if tag == PCM:
        need(len(fmt) == 16, "PCM fmt chunk of %d bytes, wanted 16" % len(fmt))
        need(b"fact" not in chunks, "PCM file with a fact chunk")
    else:
        need(len(fmt) == 18, "A-law fmt chunk of %d bytes, wanted 18" % len(fmt))
        need(struct.unpack_from("<H", fmt, 16)[0] == 0, "A-law cbSize is not 0")
    ftag, ch, sr, avg, align, bps = struct.unpack_from("<HHIIHH", fmt)
    need(ftag == tag, "format tag %#x, wanted %#x" % (ftag, tag))
    need(ch == 1, "%d channels, wanted mono" % ch)
    need(sr == rate, "rate %d Hz, wanted %d" % (sr, rate))
    need(bps == bits, "%d bits, wanted %d" % (bps, bits))
    need(align == bits // 8, "block align %d" % align)
    need(avg == rate * align, "average bytes per second %d" % avg)
    data = chunks[b"data"]
    count = len(data) // align
    need(len(data) % align == 0, "data is not whole samples")
    if tag == ALAW:
        need(b"fact" in chunks and len(chunks[b"fact"]) == 4, "A-law file without a 4-byte fact chunk")
        need(struct.unpack("<I", chunks[b"fact"])[0] == count, "fact sample count disagrees with data")
    return count, to_floats(data, tag, bits)


def mp3_frames(data):
    """Walks the MPEG audio frames of the data chunk. Returns (frame count,
    bit rate, list of frame lengths)."""
    need(not data.startswith(b"ID3"), "MP3 data starts with an ID3 tag")
    need(b"TAG" != data[-128:-125], "MP3 data ends with an ID3v1 tag")
    pos = 0
    bitrates = set()
    lengths = []
    while pos < len(data):
        need(pos + 4 <= len(data), "truncated MP3 frame header")
        h = struct.unpack_from(">I", data, pos)[0]
        need((h >> 21) & 0x7FF == 0x7FF, "lost MP3 frame sync at byte %d" % pos)
        need((h >> 19) & 3 == 0, "not an MPEG-2.5 frame (11025 Hz)")
        need((h >> 17) & 3 == 1, "not a layer III frame")
        bidx = (h >> 12) & 15
        need(0 < bidx < 15, "free-format or bad bit rate")
        sidx = (h >> 10) & 3
        need(MP3_RATES_25.get(sidx) == 11025, "frame rate is not 11025 Hz")
        need((h >> 6) & 3 == 3, "frame is not mono")
        br = MP3_KBPS_25[bidx] * 1000
        size = 72 * br // 11025 + ((h >> 9) & 1)
        frame = data[pos:pos + size]
        need(len(frame) == size, "last MP3 frame is cut short")
        # mono MPEG-2 side info is 9 bytes; an encoder's info frame keeps
        # its tag right after it
        tag = frame[4 + 9 + (2 if not (h >> 16) & 1 else 0):][:4]
        need(tag not in (b"Xing", b"Info", b"LAME"), "MP3 data carries an encoder info frame")
        bitrates.add(br)
        lengths.append(size)
        pos += size
    need(lengths, "no MP3 frames")
    need(len(bitrates) == 1, "MP3 bit rate changes between frames")
    return len(lengths), bitrates.pop(), lengths


def check_mp3(chunks, rate):
    fmt = chunks[b"fmt "]
    need(len(fmt) == 30, "MP3 fmt chunk of %d bytes, wanted 30" % len(fmt))
    ftag, ch, sr, avg, align, bps, cb = struct.unpack_from("<HHIIHHH", fmt)
    wid, flags, block, per_block, delay = struct.unpack_from("<HIHHH", fmt, 18)
    need(ftag == MP3, "format tag %#x, wanted 0x55" % ftag)
    need(ch == 1, "%d channels, wanted mono" % ch)
    need(sr == rate, "rate %d Hz, wanted %d" % (sr, rate))
    need(align == 1 and bps == 0 and cb == 12, "block align / bits / cbSize not 1 / 0 / 12")
    need(wid == 1, "wID %d, wanted 1 (MPEG)" % wid)
    need(flags in (0, 1, 2), "fdwFlags %d" % flags)
    need(per_block == 1 and delay == 1393, "nFramesPerBlock / nCodecDelay not 1 / 1393")
    need(b"fact" in chunks and len(chunks[b"fact"]) == 4, "MP3 file without a 4-byte fact chunk")
    count = struct.unpack("<I", chunks[b"fact"])[0]
    data = chunks[b"data"]
    frames, br, lengths = mp3_frames(data)
    need(avg == br // 8, "average bytes per second %d, frames are %d kbit/s" % (avg, br // 1000))
    need(block == 72 * br // 11025, "nBlockSize %d is not the frame length" % block)
    if flags == 2:
        need(all(n == block for n in lengths), "padded frames although fdwFlags says padding off")
    need(frames * MP3_SAMPLES_PER_FRAME >= count, "fewer frames than the fact sample count")
    need(frames * MP3_SAMPLES_PER_FRAME <= count + 4 * 1152, "far more frames than the fact count")
    # audible: the frames carry real coded data, not the few bytes of silence
    nonzero = sum(1 for b in data if b) / len(data)
    need(nonzero > 0.6, "MP3 frames look empty (silent)")
    return count, frames, br


# ---------------------------------------------------------------- packed clips
# The program carries each clip as name.uwc: packed by make_sounds.py ("UWC1"),
# or the wave itself (LIFE). Unpacked here by a decoder of this script's own,
# every sample must come back within PACKED_MAX_ERROR of full scale and the
# clip as a whole at least PACKED_MIN_SNR_DB above the error.
PACKED_MAX_ERROR = 0.01
PACKED_MIN_SNR_DB = 20.0


def unpack(blob):
    """(rate, bits, signed samples) of a packed clip: RIFF/WAVE, format 0x5557, UWC1 data
    (the layout is described in make_sounds.py)."""
    chunks = read_chunks(blob)
    tag, channels, rate_fmt = struct.unpack("<HHI", chunks[b"fmt "][:8])
    need(tag == 0x5557 and channels == 1, "format %#x, %d channels: not packed" % (tag, channels))
    blob = chunks[b"data"]
    need(blob[:4] == b"UWC1" and len(blob) >= 21, "not a UWC1 clip")
    rate, bits, tol, order, _, count = struct.unpack("<IBBBBI", blob[4:16])
    need(bits in (8, 16) and order in (1, 2) and rate == rate_fmt, "bad UWC1 header")
    stream = blob[16:]
    # The range decoder's state: [range, code, next byte]
    state = [0xFFFFFFFF, int.from_bytes(stream[1:5], "big"), 5]
    probs = {}

    def bit(where):
        rng, code, at = state
        p = probs.setdefault(where, 2048)
        split = (rng >> 12) * p
        if code < split:
            rng, b = split, 0
            probs[where] = p + ((4096 - p) >> 4)
        else:
            code, rng, b = code - split, rng - split, 1
            probs[where] = p - (p >> 4)
        while rng < 2 ** 24:
            need(at < len(stream), "UWC1 stream cut short")
            rng, code, at = rng * 256, (code * 256 + stream[at]) & 0xFFFFFFFF, at + 1
        state[:] = [rng, code, at]
        return b

    top = 2 ** (bits - 1)
    out = []
    prev = [0, 0]
    length = 0
    for _ in range(count):
        ctx = min(length, 12)
        n = 0
        while bit(("len", ctx, n)):
            n += 1
        value = 1
        for i in range(n):
            value = value * 2 + bit(("top", n, i) if i < 2 else ("low", n))
        length = n
        z = value - 1
        r = z // 2 if z % 2 == 0 else -(z + 1) // 2
        guess = prev[1] if order == 1 else prev[1] * 2 - prev[0]
        guess = min(top - 1, max(-top, guess))
        x = min(top - 1, max(-top, guess + r * (tol * 2 + 1)))
        out.append(x)
        prev = [prev[1], x]
    return rate, bits, out


def original_samples(chunks, tag, bits):
    """The wave's samples as signed integers (A-law as 16-bit), to compare with."""
    data = chunks[b"data"]
    if tag == ALAW:
        data, bits = audioop.alaw2lin(data, 2), 16
    if bits == 8:
        return bits, [b - 128 for b in data]
    return bits, list(struct.unpack("<%dh" % (len(data) // 2), data))


def check_packed(folder, name, blob, chunks, tag, bits, rate):
    path = os.path.join(folder, name.lower() + ".uwc")
    need(os.path.exists(path), "%s.uwc is missing" % name.lower())
    packed = open(path, "rb").read()
    if tag == MP3:
        need(packed == blob, "%s.uwc is not the wave itself" % name.lower())
        return len(packed), "as it is"
    prate, pbits, got = unpack(packed)
    obits, want = original_samples(chunks, tag, bits)
    need((prate, pbits, len(got)) == (rate, obits, len(want)),
         "packed %d Hz %d-bit %d samples, wanted %d Hz %d-bit %d"
         % (prate, pbits, len(got), rate, obits, len(want)))
    full = 2 ** (pbits - 1)
    worst = max(abs(a - b) for a, b in zip(got, want))
    need(worst <= PACKED_MAX_ERROR * full,
         "a sample %d off, more than %.0f %% of full scale" % (worst, PACKED_MAX_ERROR * 100))
    noise = sum((a - b) ** 2 for a, b in zip(got, want))
    signal = sum(b * b for b in want)
    snr = 10 * math.log10(signal / noise) if noise else float("inf")
    need(snr >= PACKED_MIN_SNR_DB, "SNR %.1f dB, under %.0f dB" % (snr, PACKED_MIN_SNR_DB))
    return len(packed), "max error %d, SNR %.1f dB" % (worst, snr)


def check_rc(folder, names):
    path = os.path.join(folder, "sounds.rc")
    need(os.path.exists(path), "sounds.rc is missing")
    text = open(path, encoding="ascii").read()
    body = re.sub(r"//[^\n]*", "", text)
    need(re.search(r"^\s*LANGUAGE\s+LANG_ENGLISH\s*,\s*SUBLANG_ENGLISH_US\s*$", body, re.M),
         "sounds.rc does not set LANGUAGE LANG_ENGLISH, SUBLANG_ENGLISH_US")
    found = re.findall(r"^\s*(\w+)\s+WAVE\s+\"([^\"]+)\"\s*$", body, re.M)
    lines = [ln for ln in body.splitlines() if ln.strip() and not ln.strip().startswith("#")
             and not ln.strip().startswith("LANGUAGE")]
    need(len(lines) == len(found), "sounds.rc has lines that are not NAME WAVE \"file\"")
    got = [n for n, _ in found]
    need(sorted(got) == sorted(names) and len(set(got)) == len(got),
         "sounds.rc names %s, wanted %s" % (sorted(got), sorted(names)))
    for n, f in found:
        need(f == n.lower() + ".uwc", "resource %s points at %s" % (n, f))


def main(argv):
    folder = argv[1] if len(argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    failures = 0
    for name, tag, bits, rate, length in EXPECTED:
        fname = name.lower() + ".wav"
        path = os.path.join(folder, fname)
        try:
            need(os.path.exists(path), "missing")
            blob = open(path, "rb").read()
            need(len(blob) <= MAX_BYTES, "%d bytes, more than %d" % (len(blob), MAX_BYTES))
            chunks = read_chunks(blob)
            if tag == MP3:
                count, frames, br = check_mp3(chunks, rate)
                level = "%d frames at %d kbit/s" % (frames, br // 1000)
                kind = "MP3 mono %d Hz" % rate
            else:
                count, samples = check_pcm_or_alaw(chunks, tag, bits, rate)
                peak_db, rms_db = check_level(samples, tag, bits)
                level = "peak %.1f dBFS, RMS %.1f dBFS" % (peak_db, rms_db)
                kind = ("A-law" if tag == ALAW else "PCM %d-bit" % bits) + " mono %d Hz" % rate
            seconds = count / rate
            need(abs(seconds - length) <= LENGTH_TOLERANCE * length,
                 "%.3f s long, wanted %.2f s +-15%%" % (seconds, length))
            size, fidelity = check_packed(folder, name, blob, chunks, tag, bits, rate)
            print("ok    %-16s %-20s %-24s %6.3f s %6d bytes  %s; packed %6d bytes, %s"
                  % (name, fname, kind, seconds, len(blob), level, size, fidelity))
        except Bad as e:
            failures += 1
            print("FAIL  %-16s %-20s %s" % (name, fname, e))
    try:
        check_rc(folder, [e[0] for e in EXPECTED])
        print("ok    sounds.rc names the %d clips" % len(EXPECTED))
    except Bad as e:
        failures += 1
        print("FAIL  sounds.rc: %s" % e)
    if failures:
        print("%d check(s) failed" % failures)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
