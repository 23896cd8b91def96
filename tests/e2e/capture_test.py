#!/usr/bin/python3
"""The capture analyser on made-up captures: what the end-to-end test hears must be what played."""

import os
import sys
import unittest

import numpy as np

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import capture  # noqa: E402

TONES = {
    "level1\\a.vgz": capture.Tone("level1\\A.vgz", 3300, 800, -6.0),
    "level1\\b.vgz": capture.Tone("level1\\B.vgz", 3350, 800, -6.0),
    "level1\\key.vgz": capture.Tone("level1\\key.vgz", 2600, 30, -6.0),
    "level1\\blust.vgz": capture.Tone("level1\\blust.vgz", 2650, 130, -6.0),
    "level1\\err.vgz": capture.Tone("level1\\err.vgz", 2700, 380, -6.0),
    "level1\\success.vgz": capture.Tone("level1\\success.vgz", 2750, 450, -6.0),
    "level1\\bgrn.vgz": capture.Tone("level1\\bgrn.vgz", 2550, 8000, -18.0),
}


class Mix:
    """A capture being made: sounds added at a time, a level and a balance, as the mixer does."""

    def __init__(self, seconds):
        self.samples = np.zeros((int(seconds * capture.RATE), 2))

    def play(self, file, at, length=None, volume_db=0.0, pan_db=0.0):
        """`pan_db` below 0 takes that much off the right channel, above 0 off the left."""
        tone = TONES[file.lower()]
        length = tone.length_ms / 1000 if length is None else length
        first = int(at * capture.RATE)
        n = np.arange(int(length * capture.RATE))
        wave = 10 ** ((tone.peak_db + volume_db) / 20) * np.sin(2 * np.pi * tone.frequency * n / capture.RATE)
        fade = min(len(n) // 2, 144)  # 3 ms
        wave[:fade] *= np.linspace(0, 1, fade)
        wave[len(n) - fade :] *= np.linspace(1, 0, fade)
        left = 10 ** (-pan_db / 20) if pan_db > 0 else 1.0
        right = 10 ** (pan_db / 20) if pan_db < 0 else 1.0
        end = min(len(self.samples), first + len(n))
        self.samples[first:end, 0] += left * wave[: end - first]
        self.samples[first:end, 1] += right * wave[: end - first]

    def heard(self):
        clipped = np.clip(np.rint(self.samples * 32768), -32768, 32767) / 32768
        return capture.timeline(clipped.astype(np.float32), TONES)


def plays(events, file):
    return [e for e in events if e.file == file]


def starts(events):
    return [e.start for e in events]


class CaptureTest(unittest.TestCase):
    def test_a_character_unanswered_comes_again_louder_from_another_side(self):
        mix = Mix(3.0)
        mix.play("level1\\bgrn.vgz", 0.1, length=2.8)
        mix.play("level1\\A.vgz", 0.2, volume_db=-8, pan_db=-30)
        mix.play("level1\\A.vgz", 1.0, volume_db=-7, pan_db=30)  # no gap at all
        mix.play("level1\\A.vgz", 1.85, volume_db=-6, pan_db=0)
        a = plays(mix.heard(), "level1\\A.vgz")
        np.testing.assert_allclose(starts(a), [0.2, 1.0, 1.85], atol=0.015)
        self.assertEqual([e.side(15) for e in a], ["left", "right", "centre"])
        for event, volume, balance in zip(a, (-8, -7, -6), (30, -30, 0)):
            self.assertAlmostEqual(event.level_db, -6 + volume, delta=0.3)
            self.assertAlmostEqual(event.balance_db, balance, delta=0.3)
            self.assertAlmostEqual(event.duration, 0.8, delta=0.03)

    def test_a_repeat_from_the_same_side_one_db_louder_is_a_play_of_its_own(self):
        mix = Mix(2.0)
        mix.play("level1\\B.vgz", 0.2, volume_db=-8, pan_db=-30)
        mix.play("level1\\B.vgz", 1.0, volume_db=-7, pan_db=-30)
        b = plays(mix.heard(), "level1\\B.vgz")
        self.assertEqual(len(b), 2)
        self.assertAlmostEqual(b[1].level_db - b[0].level_db, 1.0, delta=0.2)

    def test_a_character_drawn_again_with_the_answer_restarts_without_a_trace_in_the_signal(self):
        # Cut at a whole number of its cycles, from the same side at the same level.
        mix = Mix(2.0)
        mix.play("level1\\A.vgz", 0.2, length=0.4, volume_db=-8)
        mix.play("level1\\A.vgz", 0.6, volume_db=-8)
        a = plays(mix.heard(), "level1\\A.vgz")
        np.testing.assert_allclose(starts(a), [0.2, 0.6], atol=0.015)

    def test_typing_and_answering_give_a_click_then_the_cues_and_the_next_character(self):
        mix = Mix(2.0)
        mix.play("level1\\bgrn.vgz", 0.0, length=2.0)
        mix.play("level1\\A.vgz", 0.1, volume_db=-8, pan_db=30)
        mix.play("level1\\key.vgz", 0.5)
        mix.play("level1\\blust.vgz", 0.56)
        mix.play("level1\\success.vgz", 0.56, volume_db=-8, pan_db=30)
        mix.play("level1\\B.vgz", 0.56, volume_db=-8)
        events = mix.heard()
        click, cue, success = (plays(events, f)[0] for f in ("level1\\key.vgz", "level1\\blust.vgz", "level1\\success.vgz"))
        self.assertAlmostEqual(click.start, 0.5, delta=0.02)
        self.assertEqual((click.side(), cue.side(), success.side(15)), ("centre", "centre", "right"))
        self.assertAlmostEqual(success.balance_db, -30, delta=0.5)
        self.assertEqual(len(plays(events, "level1\\A.vgz")), 1)

    def test_an_answer_over_a_busy_level_clips_but_the_spray_is_no_sound(self):
        # The answer cue at full volume, the success cue, two characters and the music.
        mix = Mix(1.0)
        mix.play("level1\\bgrn.vgz", 0.0, length=1.0)
        for file in ("level1\\A.vgz", "level1\\B.vgz", "level1\\success.vgz"):
            mix.play(file, 0.2, length=0.4, volume_db=-8)
        mix.play("level1\\blust.vgz", 0.2)
        self.assertGreater(np.abs(mix.samples).max(), 1.0)
        heard = sorted(e.file for e in mix.heard())
        self.assertEqual(heard, sorted(["level1\\bgrn.vgz", "level1\\A.vgz", "level1\\B.vgz",
                                        "level1\\success.vgz", "level1\\blust.vgz"]))

    def test_a_click_followed_by_a_faint_steady_spray_of_its_tone_is_heard_at_its_own_level(self):
        # When the cues after it clip the mix, the spray may hold the click's frequency faintly
        # but steadily right after it: the click is the loud play, not the faint spray.
        mix = Mix(1.5)
        mix.play("level1\\bgrn.vgz", 0.0, length=1.5)
        mix.play("level1\\A.vgz", 0.1, volume_db=-7)
        mix.play("level1\\key.vgz", 0.5)
        mix.play("level1\\key.vgz", 0.53, length=0.2, volume_db=-47)  # the spray
        mix.play("level1\\err.vgz", 0.57, volume_db=-7)
        mix.play("level1\\blust.vgz", 0.57)
        events = mix.heard()
        clicks = plays(events, "level1\\key.vgz")
        self.assertEqual(len(clicks), 1, capture.describe(events))
        self.assertAlmostEqual(clicks[0].start, 0.5, delta=0.02)
        self.assertAlmostEqual(clicks[0].level_db, -6, delta=1.5)
        for cue in ("level1\\blust.vgz", "level1\\err.vgz"):
            self.assertAlmostEqual(plays(events, cue)[0].start, 0.57, delta=0.02)

if __name__ == "__main__":
    unittest.main()
