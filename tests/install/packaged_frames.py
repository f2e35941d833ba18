#!/usr/bin/env python3
"""Checks that an orbo-render draws the pinned frames: for each drawing of the
fingerprint table (mode, light, shading) its first frame of the default
texture at full size is rendered, and the SHA-256 of its RGB bytes must be the
one in the table. The package's build flags differ from the tests' builds; the
frames may not. Without TEXTURE the program reads its own default texture.

    packaged_frames.py ORBO_RENDER FINGERPRINT_TABLE [TEXTURE]
"""
import hashlib
import os
import struct
import subprocess
import sys
import tempfile
import zlib


def png_rgb(path):
    """The RGB bytes of an 8-bit RGB PNG without interlacing, rows from the top."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 2, 0):
        raise ValueError(f"{path}: not 8-bit RGB without interlacing")
    raw, stride, bpp = zlib.decompress(idat), width * 3, 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind, row = raw[start], bytearray(raw[start + 1:start + 1 + stride])
        for x in range(stride):
            left = row[x - bpp] if x >= bpp else 0
            up = previous[x]
            corner = previous[x - bpp] if x >= bpp else 0
            if kind == 1:
                row[x] = (row[x] + left) & 255
            elif kind == 2:
                row[x] = (row[x] + up) & 255
            elif kind == 3:
                row[x] = (row[x] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                row[x] = (row[x] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        rows.append(bytes(row))
        previous = row
    return b"".join(rows)


def main():
    render, table = os.path.abspath(sys.argv[1]), sys.argv[2]
    texture = ["--texture", os.path.abspath(sys.argv[3])] if len(sys.argv) > 3 else []
    chosen = {}
    for line in open(table):
        if line.startswith("#") or not line.strip():
            continue
        fields = dict(item.split("=", 1) for item in line.split())
        drawing = (fields["mode"], fields["light"], fields["shading"])
        if fields["texture"] == "default" and fields["size"] == "520x600" and drawing not in chosen:
            chosen[drawing] = fields
    failures = 0
    with tempfile.TemporaryDirectory() as folder:
        for (mode, light, shading), fields in sorted(chosen.items()):
            surface, section = fields["steps"].split("x")
            ring, tube = fields["radii"].split(",")
            angle_x, angle_y = fields["angles"].split(",")
            out = os.path.join(folder, "frame.png")
            subprocess.run([render, "--mode", mode, "--light", light, "--shading", shading,
                            "--surface-steps", surface, "--section-steps", section,
                            "--ring-radius", ring, "--section-radius", tube, "--size", fields["size"],
                            f"--angle-x={angle_x}", f"--angle-y={angle_y}", "-o", out] + texture,
                           check=True, cwd=folder)
            digest = hashlib.sha256(png_rgb(out)).hexdigest()
            if digest != fields["sha256"]:
                print(f"frame differs: {' '.join(k + '=' + v for k, v in fields.items() if k != 'sha256')}")
                failures += 1
    print(f"{len(chosen) - failures} of {len(chosen)} pinned frames drawn exactly")
    return 1 if failures or not chosen else 0


if __name__ == "__main__":
    sys.exit(main())
