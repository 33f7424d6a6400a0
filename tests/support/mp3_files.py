"""MP3 files for the tests, made with a real encoder (lame) from tones that sox
synthesizes, and the tags around them written here byte by byte.

    encode(seconds=0.5, rate=44100, channels=2, lame_args=("-b", "128"))
    id3v2(frames) / frame(id, data) / apic(picture) / id3v1(title)
    false_sync_picture(size)

Standard library only; lame and sox must be on the path.
"""

import os
import random
import subprocess
import tempfile


def encode(seconds=0.5, rate=44100, channels=2, lame_args=("-b", "128"), freq=440):
    """The MP3 bytes of a sine tone."""
    with tempfile.TemporaryDirectory() as tmp:
        wav, path = os.path.join(tmp, "tone.wav"), os.path.join(tmp, "tone.mp3")
        subprocess.run(["sox", "-n", "-r", str(rate), "-c", str(channels), "-b", "16", wav,
                        "synth", str(seconds), "sine", str(freq), "vol", "0.5"], check=True)
        subprocess.run(["lame", "--quiet", *lame_args, wav, path], check=True)
        with open(path, "rb") as f:
            return f.read()


def syncsafe(n):
    return bytes([(n >> 21) & 0x7F, (n >> 14) & 0x7F, (n >> 7) & 0x7F, n & 0x7F])


def id3v2(frames, major=3):
    """An ID3v2.3 (or .4) tag holding the given frames."""
    body = b"".join(frames)
    return b"ID3" + bytes([major, 0, 0]) + syncsafe(len(body)) + body


def frame(frame_id, data):
    """An ID3v2.3 frame: plain 32-bit size."""
    return frame_id.encode() + len(data).to_bytes(4, "big") + b"\0\0" + data


def false_sync_picture(size, seed=1):
    """JPEG-looking bytes full of MPEG frame syncs: FF FB 90 64 and FF F3 80 C4
    every few bytes, random bytes between."""
    rng = random.Random(seed)
    out = bytearray(b"\xFF\xD8\xFF\xE0")
    while len(out) < size:
        out += rng.choice([b"\xFF\xFB\x90\x64", b"\xFF\xF3\x80\xC4", b"\xFF\xE3\x90\x44"])
        out += bytes(rng.randrange(256) for _ in range(rng.randrange(1, 64)))
    return bytes(out[:size])


def apic(picture, mime=b"image/jpeg"):
    """An attached-picture frame: front cover."""
    return frame("APIC", b"\0" + mime + b"\0" + b"\x03" + b"\0" + picture)


def id3v1(title=b"title"):
    return b"TAG" + title[:30].ljust(30, b"\0") + b"\0" * 94 + b"\xFF"
