#!/usr/bin/python3
"""The MP3 player through Wine's real sound output.

Files made by LAME play as the encoder's own decoder hears them, sample for
sample (ALSA file device); pause, resume, stop and a second start are heard at
once (pulseaudio pipe sink, in real time); bad files leave the player alive
and idle. Driven through tools/playmp3, which prints how long each call took.
"""

import os
import shutil
import tempfile
import time
import unittest
from pathlib import Path

import bench
import sound_rig as rig

STATE = None
WORK = None
AT_ONCE = 0.05         # seconds a player call may take
IDLE_CPU = 0.03        # CPU seconds a quiet player may use per second
IDLE_WAKEUPS = 10      # thread wake-ups a quiet player may have per second
WORKER_THREAD = "mp3 player"  # the name the player's worker thread gives itself
CODEC_DELAY = 576 + 529  # the encoder's delay plus the decoder's, in samples


def setUpModule():
    global STATE, WORK
    STATE = bench.State()
    STATE.exe("playmp3.exe")
    WORK = Path(tempfile.mkdtemp(prefix="zv-sound-"))


def tearDownModule():
    if WORK:
        shutil.rmtree(WORK, ignore_errors=True)


def start_player(env):
    return rig.Player(STATE, env, WORK)


class Files:
    """Tone files made in a temporary folder."""

    def __init__(self):
        self.dir = Path(tempfile.mkdtemp(prefix="tones-", dir=str(WORK)))

    def tone(self, name, rate, channels, lame_args, pieces):
        wav = self.dir / (name + ".wav")
        mp3 = self.dir / (name + ".mp3")
        rig.write_wav(wav, rate, channels, pieces)
        rig.encode(wav, mp3, lame_args)
        return mp3


def call(test, player, command, *args):
    took = getattr(player, command)(*args) if args else player.send(command)
    test.assertLess(took, AT_ONCE, "%s took %.3f s" % (command, took))


def quiet(player, window, device_open=False):
    """Whether the player neither computes nor wakes up over `window` seconds.
    A polling thread shows in its wake-ups long before its CPU time does.
    While a device is open Wine's own sound threads tick hundreds of times a
    second, so then only the player's worker thread is counted."""
    cpu, all_threads, worker = player.activity_over(window, WORKER_THREAD)
    woken = worker if device_open else all_threads
    return cpu < IDLE_CPU * window and woken < IDLE_WAKEUPS * window


def wait_quiet(player, timeout=5.0):
    return rig.poll(lambda: quiet(player, 0.5), timeout, step=0)


class ExactSamples(unittest.TestCase):
    """Through an ALSA device that writes every sample to a file."""

    @classmethod
    def setUpClass(cls):
        cls.files = Files()
        cls.runs = 0

    def capture(self, path, channels):
        """Plays one file in a fresh player; the samples the device received."""
        type(self).runs += 1
        device = rig.AlsaFile(self.files.dir, "capture%d" % self.runs)
        player = start_player(device.env)
        try:
            call(self, player, "play", path)
            self.assertTrue(device.wait_until_still(), "nothing reached the sound device")
            self.assertTrue(wait_quiet(player), "the player stays busy after the song")
            self.assertTrue(player.quit(), "playmp3 did not end cleanly")
        finally:
            player.kill()
        return device.samples(channels)

    def assertSameSound(self, got, ref, what, partial=False):
        """got must be ref delayed by the codec delay, within a few LSB; with
        partial, a prefix of ref (a file cut short)."""
        lead = got[:CODEC_DELAY]
        self.assertLess(abs(lead).max(initial=0), 64, "%s: sound before the codec delay" % what)
        body = got[CODEC_DELAY:CODEC_DELAY + len(ref)]
        n = len(body)
        if not partial:
            self.assertEqual(n, len(ref), "%s: %d of %d samples played" % (what, n, len(ref)))
        diff = abs(body - ref[:n]).max(initial=0)
        self.assertLessEqual(diff, 8, "%s: differs from the encoder's decode by up to %d" % (what, diff))
        tail = got[CODEC_DELAY + len(ref):]
        self.assertLess(abs(tail).max(initial=0), 64, "%s: sound after the end" % what)
        return n

    def assertTone(self, got, rate, freq, seconds, what):
        for channel in range(got.shape[1]):
            runs = rig.loud_runs(got[:, channel], rate, bridge_ms=0)
            self.assertEqual(len(runs), 1, "%s: the tone breaks up: %r" % (what, runs))
            start, end = runs[0]
            self.assertAlmostEqual((end - start) / rate, seconds, delta=0.03, msg=what)
            self.assertAlmostEqual(rig.frequency(got[start:end, channel], rate), freq, delta=freq * 0.01, msg=what)

    def test_tones_play_exactly(self):
        cases = [
            # name, rate, channels, encoder options, frequency
            ("mpeg1_stereo_cbr", 44100, 2, ["-b", "128"], 440),
            ("mpeg1_mono_cbr", 44100, 1, ["-m", "m", "-b", "64"], 523),
            ("mpeg1_stereo_vbr", 44100, 2, ["-V", "2"], 880),
            ("mpeg2_mono_vbr", 22050, 1, ["-V", "4"], 660),
            ("mpeg2_stereo_cbr", 22050, 2, ["-b", "64"], 330),
            ("mpeg25_mono_cbr", 11025, 1, ["-b", "32"], 220),
        ]
        for name, rate, channels, options, freq in cases:
            with self.subTest(name):
                mp3 = self.files.tone(name, rate, channels, options, [(freq, 1.0)])
                ref, ref_rate = rig.reference(mp3, self.files.dir)
                self.assertEqual(ref_rate, rate)
                got = self.capture(mp3, channels)
                self.assertSameSound(got, ref, name)
                self.assertTone(got, rate, freq, 1.0, name)

    def test_tags_are_skipped_even_with_a_large_picture(self):
        mp3 = self.files.tone("tagged", 44100, 2, ["-V", "4"], [(440, 1.0)])
        # The "picture" is itself MP3 frames of another tone, so any frame
        # sync taken inside the tag would be heard.
        decoy = self.files.tone("decoy", 44100, 2, ["-b", "320"], [(1500, 20.0)])
        tagged = self.files.dir / "tagged_with_picture.mp3"
        tagged.write_bytes(rig.id3v2_with_picture(decoy.read_bytes()) + mp3.read_bytes()
                           + rig.ape_tag() + rig.id3v1())
        self.assertGreater(tagged.stat().st_size, 700_000)
        ref, _ = rig.reference(mp3, self.files.dir)
        got = self.capture(tagged, 2)
        self.assertSameSound(got, ref, "tagged")
        self.assertTone(got, 44100, 440, 1.0, "tagged")

    def test_path_with_chinese_folder_and_file_names(self):
        mp3 = self.files.tone("plain", 44100, 2, ["-b", "128"], [(440, 0.5)])
        folder = os.fsencode(self.files.dir) + b"/" + "测试音乐".encode("gbk")
        os.mkdir(folder)
        named = folder + b"/" + "五秒钟的歌.mp3".encode("gbk")
        with open(named, "wb") as f:
            f.write(mp3.read_bytes())
        ref, _ = rig.reference(mp3, self.files.dir)
        self.assertSameSound(self.capture(named, 2), ref, "GBK path")

    def test_cut_and_damaged_files_play_what_can_be_decoded(self):
        mp3 = self.files.tone("whole", 44100, 2, ["-b", "128"], [(440, 2.0)])
        data = mp3.read_bytes()
        ref, _ = rig.reference(mp3, self.files.dir)
        cut = self.files.dir / "cut.mp3"
        cut.write_bytes(data[: len(data) * 2 // 5])
        played = self.assertSameSound(self.capture(cut, 2), ref, "cut", partial=True)
        self.assertAlmostEqual(played / len(ref), 0.4, delta=0.03)

        damaged = self.files.dir / "damaged.mp3"
        middle = len(data) // 2
        damaged.write_bytes(data[:middle] + os.urandom(3000) + data[middle + 3000:])
        got = self.capture(damaged, 2)
        # Sound up to the damage is exact; after it the stream picks up again.
        before = (middle // 418 - 3) * 1152
        self.assertLessEqual(abs(got[CODEC_DELAY:CODEC_DELAY + before] - ref[:before]).max(), 8)
        runs = rig.loud_runs(got[:, 0], 44100, bridge_ms=200)
        total = sum(end - start for start, end in runs) / 44100
        self.assertGreater(total, 1.7, "too little of the damaged file played: %r" % runs)
        self.assertLess(total, 2.05)

    def test_nothing_runs_while_paused_stopped_or_finished(self):
        long_tone = self.files.tone("ten_seconds", 22050, 1, ["-b", "32"], [(440, 10.0)])
        short_tone = self.files.tone("short", 22050, 1, ["-b", "32"], [(440, 0.3)])
        device = rig.AlsaFile(self.files.dir, "quiet")
        player = start_player(device.env)
        try:
            def grows():
                size = device.size()
                return rig.poll(lambda: device.size() > size, 5)
            call(self, player, "play", long_tone)
            self.assertTrue(grows())
            call(self, player, "pause")
            paused_size = device.size()
            self.assertTrue(quiet(player, 1.0, device_open=True), "busy while paused")
            self.assertEqual(device.size(), paused_size, "sound went on while paused")
            call(self, player, "resume")
            self.assertTrue(grows(), "no sound after resume")
            call(self, player, "stop")
            self.assertTrue(wait_quiet(player), "busy after stop")
            call(self, player, "play", short_tone)
            self.assertTrue(device.wait_until_still())
            self.assertTrue(wait_quiet(player), "busy after the song ended")
            self.assertTrue(player.quit())
        finally:
            player.kill()

    def test_bad_files_play_nothing_and_leave_the_player_idle(self):
        d = self.files.dir
        wav = d / "renamed_wav.mp3"
        rig.write_wav(wav, 44100, 2, [(440, 1.0)])
        (d / "empty.mp3").write_bytes(b"")
        (d / "text.mp3").write_bytes("这不是一首歌\r\n".encode("gbk") * 500)
        (d / "noise.mp3").write_bytes(os.urandom(200_000))
        (d / "tag_only.mp3").write_bytes(b"ID3\x03\x00\x00\x7f\x7f\x7f\x7f" + bytes(5000))
        (d / "folder.mp3").mkdir()
        bad = [wav, d / "empty.mp3", d / "text.mp3", d / "noise.mp3", d / "tag_only.mp3",
               d / "folder.mp3", d / "missing.mp3", b""]
        good = self.files.tone("after_bad", 22050, 1, ["-V", "4"], [(660, 0.5)])
        device = rig.AlsaFile(d, "bad")
        player = start_player(device.env)
        try:
            for path in bad:
                with self.subTest(os.fsdecode(path) or "empty path"):
                    call(self, player, "play", path)
                    self.assertTrue(wait_quiet(player), "busy after playing it")
                    self.assertEqual(device.size(), 0, "something was played")
            for command in ("pause", "resume", "stop"):
                call(self, player, command)
            # The player still works afterwards.
            call(self, player, "play", good)
            self.assertTrue(device.wait_until_still())
            ref, rate = rig.reference(good, d)
            self.assertEqual(rate, 22050)
            self.assertSameSound(device.samples(1), ref, "after the bad files")
            self.assertTrue(player.quit())
        finally:
            player.kill()


class RealTime(unittest.TestCase):
    """Through a pulseaudio sink that runs on the clock, to time what is heard."""

    RATE = rig.PulseSink.RATE

    @classmethod
    def setUpClass(cls):
        cls.files = Files()
        cls.sink = rig.PulseSink(STATE, cls.files.dir)
        cls.tone = cls.files.tone("three_seconds", 44100, 2, ["-b", "128"], [(440, 3.0)])
        cls.two_tones = cls.files.tone("two_tones", 44100, 2, ["-b", "128"], [(440, 1.0), (880, 1.0)])

    @classmethod
    def tearDownClass(cls):
        cls.sink.close()

    def setUp(self):
        self.start = self.sink.position()
        self.player = start_player(self.sink.env)

    def tearDown(self):
        self.player.kill()

    def runs(self):
        return rig.loud_runs(self.sink.left(self.start), self.RATE)

    def wait_for_sound(self, seconds):
        """Waits until `seconds` of sound have been heard since the test began."""
        heard = rig.poll(lambda: sum(e - s for s, e in self.runs()) >= seconds * self.RATE, 20)
        self.assertTrue(heard, "no sound came out")

    def wait_heard_until(self, when):
        """Waits until the sink has played out everything up to `when`."""
        self.assertTrue(rig.poll(lambda: self.sink.time_of(self.sink.position() - 1) >= when, 20))

    def wait_for_end(self, since):
        """Waits until sound heard after `since` has stopped for half a second."""
        def ended():
            runs = self.runs()
            return (runs and self.when(runs[-1][1]) > since
                    and self.sink.position() - self.start - runs[-1][1] > self.RATE // 2)
        self.assertTrue(rig.poll(ended, 20), "no sound after that moment, or it does not end")

    def when(self, frame):
        return self.sink.time_of(self.start + frame)

    def assertHeardAt(self, heard, commanded, what):
        """The change came out of the sink within a quarter second of the
        command (the sink's pieces are 23 ms long, so a little before counts)."""
        self.assertGreater(heard - commanded, -0.1, what)
        self.assertLess(heard - commanded, 0.25, "%s heard %.3f s late" % (what, heard - commanded))

    def test_pause_silences_at_once_and_resume_goes_on(self):
        call(self, self.player, "play", self.tone)
        self.wait_for_sound(0.8)
        paused_at = time.monotonic()
        call(self, self.player, "pause")
        call(self, self.player, "pause")  # paused already: nothing changes
        self.wait_heard_until(paused_at + 1.2)
        resumed_at = time.monotonic()
        call(self, self.player, "resume")
        self.wait_for_end(resumed_at)
        self.assertTrue(self.player.quit())

        runs = self.runs()
        self.assertEqual(len(runs), 2, "expected sound, a pause, sound: %r" % runs)
        self.assertHeardAt(self.when(runs[0][1]), paused_at, "pause")
        self.assertHeardAt(self.when(runs[1][0]), resumed_at, "resume")
        heard = sum(e - s for s, e in runs) / self.RATE
        self.assertAlmostEqual(heard, 3.0, delta=0.1, msg="sound lost or repeated across the pause")

    def test_stop_and_an_empty_start_silence_at_once_and_discard_the_song(self):
        for what, discard in [("stop", lambda: call(self, self.player, "stop")),
                              ("start with no path", lambda: call(self, self.player, "play", b""))]:
            with self.subTest(what):
                self.start = self.sink.position()
                call(self, self.player, "play", self.tone)
                self.wait_for_sound(0.8)
                discarded_at = time.monotonic()
                discard()
                call(self, self.player, "resume")  # no song any more: nothing plays
                self.wait_heard_until(discarded_at + 1.5)
                runs = self.runs()
                self.assertEqual(len(runs), 1, runs)
                self.assertHeardAt(self.when(runs[0][1]), discarded_at, what)
        self.assertTrue(self.player.quit())

    def tones(self):
        """The tone heard in each 50 ms of the sound since the test began,
        rounded to a multiple of 220 Hz."""
        runs = self.runs()
        x = self.sink.left(self.start + runs[0][0], self.start + runs[-1][1])
        window = self.RATE // 20
        return [round(rig.frequency(x[i:i + window], self.RATE) / 220) * 220
                for i in range(0, len(x) - window + 1, window)]

    def test_a_change_of_format_inside_the_file_plays_both_parts(self):
        first = self.files.tone("part1", 44100, 2, ["-b", "128"], [(440, 0.8)])
        second = self.files.tone("part2", 22050, 1, ["-b", "64"], [(660, 0.8)])
        joined = self.files.dir / "joined.mp3"
        joined.write_bytes(first.read_bytes() + second.read_bytes())
        call(self, self.player, "play", joined)
        self.wait_for_sound(0.2)
        self.wait_for_end(time.monotonic() + 0.8)
        self.assertTrue(self.player.quit())

        tones = self.tones()
        self.assertAlmostEqual(tones.count(440) / 20, 0.8, delta=0.1, msg=tones)
        self.assertAlmostEqual(tones.count(660) / 20, 0.8, delta=0.1, msg=tones)
        self.assertNotIn(440, tones[tones.index(660):], tones)

    def test_second_start_plays_again_from_the_beginning(self):
        call(self, self.player, "play", self.two_tones)
        self.wait_for_sound(0.5)
        restarted_at = time.monotonic()
        call(self, self.player, "play", self.two_tones)
        self.wait_for_end(restarted_at + 0.5)
        # The song has finished: pause and resume do not bring it back.
        call(self, self.player, "pause")
        call(self, self.player, "resume")
        self.wait_heard_until(time.monotonic() + 0.5)
        self.assertTrue(self.player.quit())

        first = self.when(self.runs()[0][0])
        tones = self.tones()
        low, high = tones.count(440) / 20, tones.count(880) / 20
        self.assertAlmostEqual(low, (restarted_at - first) + 1.0, delta=0.15, msg="440 Hz heard for %.2f s" % low)
        self.assertAlmostEqual(high, 1.0, delta=0.1, msg="880 Hz heard for %.2f s" % high)
        # All of the low tone, then all of the high one: no second pass of the high tone.
        switch = tones.index(880)
        self.assertNotIn(440, tones[switch + 1:], tones)


if __name__ == "__main__":
    bench.main()
