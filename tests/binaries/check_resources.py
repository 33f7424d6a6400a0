#!/usr/bin/env python3
"""Checks each program's resources as Explorer reads them: an icon group with
every size Windows asks for, whose pixels are exactly the program picture the
programs draw at run time (make_icon --raw prints them), and version
information naming the product, what it does, its version and its maker.

usage: check_resources.py MAKE_ICON EXE..."""
import struct
import subprocess
import sys
import zlib

RT_ICON, RT_GROUP_ICON, RT_VERSION = 3, 14, 16
REQUIRED_SIZES = {16, 24, 32, 48, 256}
MAKER = "Zorvat"


def resources(exe):
    """{type id: {name id: bytes}} of the first language of each resource."""
    data = open(exe, "rb").read()
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    rsrc_rva, _ = struct.unpack_from("<II", data, optional + 96 + 2 * 8)
    table = optional + optional_size
    spans = [struct.unpack_from("<8xIIII", data, table + 40 * i) for i in range(sections)]

    def at(rva):
        for size, va, raw_size, raw in spans:
            if va <= rva < va + max(size, raw_size):
                return rva - va + raw
        raise ValueError(f"RVA {rva:#x} is in no section")

    base = at(rsrc_rva)

    def directory(offset):
        named, ids = struct.unpack_from("<12xHH", data, base + offset)
        for i in range(named + ids):
            name, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            yield name, target

    def leaf(target):
        while target & 0x80000000:  # a language directory: take its first entry
            target = next(directory(target & 0x7FFFFFFF))[1]
        rva, size = struct.unpack_from("<II", data, base + target)
        return data[at(rva):at(rva) + size]

    if not rsrc_rva:
        return {}
    return {kind: {name: leaf(entry) for name, entry in directory(sub & 0x7FFFFFFF)}
            for kind, sub in directory(0)}


def icon_pixels(image):
    """The image's pixels as B G R A bytes, rows top to bottom."""
    if image.startswith(b"\x89PNG\r\n\x1a\n"):
        pos, chunks = 8, {}
        while pos < len(image):
            length, kind = struct.unpack_from(">I4s", image, pos)
            chunks[kind] = chunks.get(kind, b"") + image[pos + 8:pos + 8 + length]
            pos += 12 + length
        w, h, depth, colour = struct.unpack_from(">IIBB", chunks[b"IHDR"])
        assert (depth, colour) == (8, 6), "PNG is not 8-bit RGBA"
        raw = zlib.decompress(chunks[b"IDAT"])
        rows = []
        for y in range(h):
            row = raw[y * (4 * w + 1):(y + 1) * (4 * w + 1)]
            assert row[0] == 0, "PNG row with a filter"
            rows.append(b"".join(bytes((row[i + 3], row[i + 2], row[i + 1], row[i + 4]))
                                 for i in range(0, 4 * w, 4)))
        return w, h, b"".join(rows)
    _, w, h2, _, bits = struct.unpack_from("<IiiHH", image)
    h = h2 // 2
    assert bits == 32, f"{bits}-bit icon image"
    colour = image[40:40 + 4 * w * h]
    return w, h, b"".join(colour[4 * w * y:4 * w * (y + 1)] for y in reversed(range(h)))


def version_strings(block):
    """The StringFileInfo values of a VS_VERSIONINFO block, and its fixed part's signature."""
    strings = {}

    def node(pos):
        length, value_length, kind = struct.unpack_from("<HHH", block, pos)
        end = pos + length
        key_end = block.index(b"\0\0", pos + 6)
        while (key_end - pos - 6) % 2:
            key_end = block.index(b"\0\0", key_end + 1)
        key = block[pos + 6:key_end].decode("utf-16-le")
        value_pos = (key_end + 2 + 3) & ~3
        value_bytes = value_length * 2 if kind == 1 else value_length
        value = block[value_pos:value_pos + value_bytes]
        if kind == 1 and value_length:
            strings[key] = value.decode("utf-16-le").rstrip("\0")
        child = (value_pos + value_bytes + 3) & ~3
        while child < end:
            child = (node(child) + 3) & ~3
        return end

    node(0)
    signature = struct.unpack_from("<I", block, 40)[0]
    return strings, signature


def icon_images(found):
    """{size: (width, height, B G R A pixels)} of the first icon group, the one Explorer shows."""
    groups = found.get(RT_GROUP_ICON, {})
    if not groups:
        return {}
    group = groups[min(groups)]
    images = {}
    for i in range(struct.unpack_from("<4xH", group)[0]):
        w, _, _, _, _, _, _, icon_id = struct.unpack_from("<BBBBHHIH", group, 6 + 14 * i)
        images[w or 256] = icon_pixels(found[RT_ICON][icon_id])
    return images


def check(make_icon, exe):
    problems = []
    found = resources(exe)
    images = icon_images(found)
    if not images:
        return ["no icon group"]
    sizes = set(images)
    for size, image in sorted(images.items()):
        want = subprocess.run([make_icon, "--raw", str(size)], capture_output=True, check=True).stdout
        if image != (size, size, want):
            problems.append(f"the {size}x{size} icon differs from the program picture")
    if not REQUIRED_SIZES <= sizes:
        problems.append(f"icon sizes {sorted(sizes)} lack {sorted(REQUIRED_SIZES - sizes)}")
    versions = found.get(RT_VERSION, {})
    if not versions:
        return problems + ["no version information"]
    strings, signature = version_strings(versions[min(versions)])
    name = exe.replace("\\", "/").rsplit("/", 1)[-1].rsplit(".", 1)[0]
    expected = {"CompanyName": MAKER, "ProductName": name, "OriginalFilename": name + ".exe"}
    for key, value in expected.items():
        if strings.get(key) != value:
            problems.append(f"{key}: expected {value!r}, got {strings.get(key)!r}")
    for key in ("FileDescription", "FileVersion", "ProductVersion"):
        if not strings.get(key):
            problems.append(f"{key} is missing")
    if signature != 0xFEEF04BD:
        problems.append(f"fixed version information signature {signature:#x}")
    print(f"{exe}: icon sizes {sorted(sizes)}; {strings}")
    return problems


def main(make_icon, *exes):
    failed = 0
    for exe in exes:
        for problem in check(make_icon, exe):
            print(f"{exe}: {problem}")
            failed += 1
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:]))
