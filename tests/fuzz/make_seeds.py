#!/usr/bin/python3
"""Writes the seed corpora of the fuzz targets into OUT/<target>/: MP3s of a
real encoder (CBR, VBR with its Xing frame, MPEG-2 and 2.5, tagged, one with a
big ID3v2 picture full of false syncs), and counter pages as the test counter
service writes them.

    make_seeds.py OUT [--image-host HOST]
"""

import argparse
import os
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
sys.path[:0] = [os.path.join(ROOT, "tests", "support"), os.path.join(ROOT, "tools", "counter_service")]

import counter_service  # noqa: E402
import mp3_files  # noqa: E402


def write(folder, name, data):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def mp3_seeds(folder):
    encodings = {
        "cbr128.mp3": dict(lame_args=("-b", "128")),
        "vbr_xing.mp3": dict(lame_args=("-V", "6")),
        "mpeg2_mono.mp3": dict(rate=22050, channels=1, lame_args=("-b", "32")),
        "mpeg25.mp3": dict(rate=8000, channels=1, lame_args=("-b", "16")),
        "crc.mp3": dict(lame_args=("-b", "64", "-p")),
    }
    for name, args in encodings.items():
        write(folder, name, mp3_files.encode(seconds=0.3, **args))
    audio = mp3_files.encode(seconds=0.2, lame_args=("-b", "96"))
    tags = mp3_files.id3v2([mp3_files.frame("TIT2", b"\0title"),
                            mp3_files.frame("TPE1", b"\x01\xFF\xFEa\0b\0")])
    write(folder, "tagged.mp3", tags + audio + mp3_files.id3v1())
    picture = mp3_files.id3v2([mp3_files.apic(mp3_files.false_sync_picture(40000))])
    write(folder, "big_picture.mp3", picture + audio)
    write(folder, "cut.mp3", audio[:len(audio) * 2 // 3])


def page_seeds(folder, image_host, host_prefix=b""):
    for count in (1207, 5, 305):
        first, rest = counter_service.count_page(count, image_host, "43")
        write(folder, f"count{count}.html", host_prefix + first + rest)
    first, rest = counter_service.count_page(42, image_host, "43")
    write(folder, "hostile.html", host_prefix + first + rest + counter_service.hostile_tail(image_host, 1500))
    write(folder, "zero.html", host_prefix + first + b"\0" + rest)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("out")
    parser.add_argument("--image-host", default="img.counter.test")
    args = parser.parse_args()
    mp3_seeds(os.path.join(args.out, "mp3_reader"))
    page_seeds(os.path.join(args.out, "counter_page"), args.image_host)
    # The host-choosing target reads the host up to the first backslash.
    page_seeds(os.path.join(args.out, "counter_host"), args.image_host,
               args.image_host.encode() + b"\\\n")
    return 0


if __name__ == "__main__":
    sys.exit(main())
