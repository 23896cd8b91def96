"""Reads what the game's mixer played, as captured by SDL's disk audio driver, and turns it into a
timeline of the tone pack's sounds: which file played, from when to when, how loud on each
channel.

The capture is the mixer's raw output: signed 16-bit little-endian stereo, left sample first,
48000 frames a second. Every file of the tone pack is a pure tone of its own frequency (tones.txt
beside the pack lists them), all of them multiples of 50 Hz. Over a frame of 20 ms every such tone
makes whole cycles, so a transform over exactly one frame at one tone's frequency does not see
any other steady tone at all: levels read this way need no window and have no leakage. Over two
frames (40 ms apart) a steady tone's complex value comes back exactly, which tells one play from
the next even when a sound is restarted without a gap or from another side.
"""

import dataclasses
import os

import numpy as np

RATE = 48000
FRAME = 960  # 20 ms: every tone of the pack makes whole cycles in it
HOP = 480  # 10 ms between frames
FLOOR_DB = -66.0  # below this a tone counts as absent on a channel
# Every sound of the game plays at -8 dB or louder on its loud side (-14 dBFS with the pack's
# -6 dBFS peaks); quieter events are the broadband spray of clipping when many sounds add up.
EVENT_FLOOR_DB = -40.0
CLEAN = 0.05  # relative change over two frames below which a tone is steady
# Within a stretch of sound, frames this far below its loudest are another sound's faint spray
# over the tone (clipping, a neighbour's edge), not part of a play: they split the stretch, so
# that a short loud play (a click) is told from a faint but steady spray right beside it.
SPLIT_DB = 30.0


@dataclasses.dataclass
class Tone:
    file: str
    frequency: int
    length_ms: int
    peak_db: float


@dataclasses.dataclass
class Event:
    """One play of a file: the stretch of time in which its tone sounds steadily."""

    file: str
    start: float  # seconds from the start of the capture
    end: float
    left_db: float  # steady level on each channel, dBFS
    right_db: float
    steady: bool = True  # False when too short to hold still over 40 ms (a click, a spray)

    @property
    def balance_db(self):
        """Left minus right: positive when the sound comes from the left."""
        return self.left_db - self.right_db

    @property
    def level_db(self):
        return max(self.left_db, self.right_db)

    @property
    def duration(self):
        return self.end - self.start

    def side(self, tolerance_db=6.0):
        if self.balance_db > tolerance_db:
            return "left"
        if self.balance_db < -tolerance_db:
            return "right"
        return "centre"

    def __str__(self):
        return (
            f"{self.start:8.3f}-{self.end:8.3f} {self.file:28s} "
            f"L{self.left_db:6.1f} R{self.right_db:6.1f} {self.side()}"
        )


def load_tones(pack_dir):
    """The tone table: file name in lower case (with backslashes, as the game names it) to Tone."""
    tones = {}
    with open(os.path.join(pack_dir, "tones.txt"), encoding="utf-8") as table:
        for line in table:
            if not line.strip() or line.startswith("#"):
                continue
            file, frequency, length_ms, peak_db = line.split()
            tones[file.lower()] = Tone(file, int(frequency), int(length_ms), float(peak_db))
    return tones


def read_capture(path, start_frame=0, frames=None):
    """The capture as an array of (left, right) floats in -1..1."""
    with open(path, "rb") as capture:
        capture.seek(start_frame * 4)
        data = capture.read(-1 if frames is None else frames * 4)
    usable = len(data) // 4 * 4
    samples = np.frombuffer(data[:usable], dtype="<i2").astype(np.float32) / 32768.0
    return samples.reshape(-1, 2)


def tone_values(samples, tones):
    """The complex value of every tone on each channel, frame by frame, scaled so that a steady
    tone of amplitude A reads |A|. Returns (files, values) with values shaped (frames, tones, 2)."""
    files = list(tones)
    if len(samples) < FRAME:
        return files, np.zeros((0, len(files), 2), dtype=np.complex64)
    count = 1 + (len(samples) - FRAME) // HOP
    frequencies = np.array([tones[f].frequency for f in files], dtype=np.float64)
    n = np.arange(FRAME)
    basis = (np.exp(-2j * np.pi * np.outer(n, frequencies) / RATE) * (2.0 / FRAME)).astype(np.complex64)
    values = np.empty((count, len(files), 2), dtype=np.complex64)
    for start in range(0, count, 2048):
        stop = min(count, start + 2048)
        index = (np.arange(start, stop) * HOP)[:, None] + n[None, :]
        for channel in range(2):
            values[start:stop, :, channel] = samples[index, channel] @ basis
    return files, values


def _db(magnitude):
    return 20 * np.log10(np.maximum(magnitude, 1e-9))


def timeline(samples, tones, offset_s=0.0):
    """Every play of the capture, in order of start."""
    files, values = tone_values(samples, tones)
    events = []
    for t, key in enumerate(files):
        tone = tones[key]
        events.extend(_plays(tone, values[:, t, :], offset_s))
    events.sort(key=lambda e: e.start)
    events = [e for e in events if e.level_db > EVENT_FLOOR_DB]
    return [e for e in events if not _splatter(e, events)]


def _frame_time(k):
    return (k * HOP + FRAME / 2) / RATE


def _plays(tone, values, offset_s):
    magnitude = np.abs(values)  # (frames, 2)
    loud = magnitude.max(axis=1)
    active = _db(loud) > FLOOR_DB
    # Over two frames a steady tone's value comes back unchanged (every tone is a multiple of
    # 50 Hz and two hops are 20 ms); anything that changes it is an edge.
    change = np.full(len(values), np.inf)
    if len(values) > 2:
        diff = np.abs(values[2:] - values[:-2]).max(axis=1)
        change[2:] = diff / np.maximum(loud[2:], 1e-9)
    clean = active & (change < CLEAN)
    plays = []
    for first, last in _stretches(active):
        level = _db(loud[first : last + 1])
        for a, b in _stretches(level > level.max() - SPLIT_DB):
            plays.extend(_split_run(tone, values, magnitude, clean, first + a, first + b, offset_s))
    return plays


def _stretches(mask):
    """(first, last) of every stretch of consecutive True values in `mask`."""
    stretches = []
    k = 0
    while k < len(mask):
        if not mask[k]:
            k += 1
            continue
        last = k
        while last + 1 < len(mask) and mask[last + 1]:
            last += 1
        stretches.append((k, last))
        k = last + 1
    return stretches


def _split_run(tone, values, magnitude, clean, first, last, offset_s):
    """The plays within one stretch of sound: steady stretches joined unless the tone's value
    jumped between them (a restart, a new side, a new volume)."""
    groups = []  # [first clean frame, last clean frame]
    k = first
    while k <= last:
        if clean[k]:
            g = k
            while g + 1 <= last and clean[g + 1]:
                g += 1
            groups.append([k, g])
            k = g + 1
        else:
            k += 1
    # A few steady frames between edges are another sound's edge or click spraying over this
    # tone, not a play of its own (every play of the game's sounds holds steady far longer).
    if any(g1 - g0 >= 3 for g0, g1 in groups):
        groups = [g for g in groups if g[1] - g[0] >= 3]
    step = np.exp(2j * np.pi * tone.frequency * HOP / RATE)
    merged = []
    for group in groups:
        if merged:
            a = merged[-1][1]
            b = group[0]
            expected = values[a] * step ** (b - a)
            scale = max(np.abs(values[a]).max(), 1e-9)
            # Same play when the value carried on: well under the 12% of a 1 dB step.
            if np.abs(values[b] - expected).max() / scale < 0.06:
                merged[-1][1] = group[1]
                continue
        merged.append(group)
    plays = []
    for i, (g0, g1) in enumerate(merged):
        body = magnitude[g0 : g1 + 1]
        left = float(_db(np.median(body[:, 0])))
        right = float(_db(np.median(body[:, 1])))
        steady = max(left, right)
        loud = _db(magnitude.max(axis=1))
        # Edges: at the stretch's own edges, the frame whose centre meets the sound's edge reads
        # half the amplitude (-6 dB); between two plays, the middle of the unsteady frames.
        if i == 0:
            s = first
            while s < g0 and loud[s] < steady - 6.0:
                s += 1
            start = _frame_time(s)
        else:
            start = (_frame_time(merged[i - 1][1]) + _frame_time(g0)) / 2
        if i == len(merged) - 1:
            e = last
            while e > g1 and loud[e] < steady - 6.0:
                e -= 1
            end = _frame_time(e)
        else:
            end = (_frame_time(g1) + _frame_time(merged[i + 1][0])) / 2
        plays.extend(_restarts(tone, Event(tone.file, start + offset_s, end + offset_s, left, right)))
    if not merged:
        # Shorter than a steady stretch (a 30 ms click, or the spray of another sound's edge).
        body = magnitude[first : last + 1]
        peak = body.max(axis=1).argmax()
        left, right = (float(x) for x in _db(body[peak]))
        plays.append(
            Event(tone.file, _frame_time(first) + offset_s, _frame_time(last) + offset_s, left, right, False)
        )
    return plays


def _restarts(tone, event):
    """A sound restarted from its beginning at the same side and volume may keep its phase (both
    plays start on a device buffer's edge), so nothing in the signal marks the restart; but a
    play never lasts longer than its file, and the last one runs to its end."""
    length = tone.length_ms / 1000.0
    if length > 2.0 or event.duration <= length + 0.03:
        return [event]
    plays = []
    end = event.end
    while end - event.start > length + 0.03:
        plays.append(dataclasses.replace(event, start=end - length, end=end))
        end -= length
    plays.append(dataclasses.replace(event, end=end))
    return plays[::-1]


def _splatter(event, events):
    """A sudden start or stop of a loud tone sprays briefly over every other frequency."""
    if event.steady:
        return False
    for other in events:
        if other is event or other.level_db < event.level_db + 6:
            continue
        if min(abs(other.start - event.start), abs(other.end - event.start)) < 0.04:
            return True
    return False


def events_of(events, file):
    return [e for e in events if e.file.lower() == file.lower()]


def describe(events):
    return "\n".join(str(e) for e in events)
