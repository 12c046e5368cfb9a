#!/usr/bin/env python3
"""Writes the code-page reference tables under tests/data/codepages.

Run once at development time (needs ICU's `uconv`); the output is committed
and the tests read it. Every mapping comes from `uconv`, one conversion per
byte sequence or character, so the tests compare the library's tables with
answers it did not compute itself. Compositions come from Python's own
Unicode database, not from ICU.

    python3 tools/codepages/generate.py [output-dir]
"""

import subprocess
import sys
import unicodedata
from pathlib import Path

PAGES = {1252: "windows-1252", 936: "windows-936-2000"}


def uconv(args, data):
    return subprocess.run(["uconv", "--no-fallback", *args], input=data,
                          capture_output=True, check=False)


def decode_one(name, seq):
    """UTF-16 code units of one byte sequence, or None when it is invalid."""
    r = uconv(["-f", name, "-t", "UTF-16LE", "--from-callback", "stop"], seq)
    if r.returncode != 0 or len(r.stdout) != 2:
        return None
    return int.from_bytes(r.stdout, "little")


def decode_lines(name, lead, trails):
    """Decodes lead+trail for many trail bytes in one run, a line each."""
    data = b"".join(bytes([lead, t]) + b"\n" for t in trails)
    r = uconv(["-f", name, "-t", "UTF-16LE", "--from-callback", "escape-icu"], data)
    lines = r.stdout.decode("utf-16-le").split("\n")
    out = {}
    for t, line in zip(trails, lines):
        # A valid pair is exactly one character; anything else (an escape
        # such as %X81 followed by the trail byte) marks it invalid.
        if len(line) == 1:
            out[t] = ord(line)
    return out


def encode_one(name, text):
    """Bytes of text in the code page, or None when not representable."""
    # A leading 'a' keeps uconv from taking U+FEFF for a byte-order mark.
    r = uconv(["-f", "UTF-16LE", "-t", name, "--to-callback", "stop"],
              ("a" + text).encode("utf-16-le"))
    # ICU silently drops an unmappable default-ignorable character (U+FEFF)
    # instead of calling back: no bytes means no mapping.
    if r.returncode != 0 or not r.stdout.startswith(b"a") or len(r.stdout) == 1:
        return None
    return r.stdout[1:]


def single_bytes(name, lines):
    leads = []
    for b in range(256):
        u = decode_one(name, bytes([b]))
        if u is None:
            # Not a character alone: a lead byte if some pair starts with it.
            leads.append(b)
        else:
            lines.append(f"byte {b:02X} {u:04X}")
    return leads


def pair_table(name, leads, lines):
    for lead in leads:
        trails = [t for t in range(256) if t != 0x0A]
        found = decode_lines(name, lead, trails)
        u = decode_one(name, bytes([lead, 0x0A]))
        if u is not None:
            found[0x0A] = u
        if not found:
            lines.append(f"byte {lead:02X} invalid")
            continue
        lines.append(f"byte {lead:02X} lead")
        parts = [f"pairs {lead:02X}"]
        expect = None
        for t in sorted(found):
            if t != expect:
                parts.append(f"@{t:02X}")
            parts.append(f"{found[t]:04X}")
            expect = t + 1
        lines.append(" ".join(parts))


SAMPLES = (
    [chr(c) for c in range(0x20, 0x7F, 7)]
    + [chr(c) for c in range(0x80, 0x100)]
    + list("ĀāĂăĆćČčĐđĘęĞğİıŁłŃńŐőŒœŘřŚśŠšŢţŰűŸŹźŻżŽžƒǎǐǒǔǘǚǜ")
    + list("ˆˇˉ˘˙˚˛˜˝–—‘’‚“”„†‡•…‰‹›€™")
    + list("ΑΒΓαβγЁЖЯжяאבגابت")
    + list("一丁中文字国〇、。「」ぁあアカ가각")
    + ["\u0301", "\u0308", "\u030C", "\uE000", "\uE4C5", "\uF8F5", "\uE765", "\uFFFD",
       "\uFEFF", "\uFF01", "\uFF21", "\u2225", "\u221E", "\U0001F600", "\U00020000"]
)


def encode_samples(lines):
    for ch in SAMPLES:
        fields = [f"encode {ord(ch):04X}"]
        for cp, name in PAGES.items():
            b = encode_one(name, ch)
            fields.append(f"{cp}=" + (b.hex().upper() if b is not None else "default"))
        lines.append(" ".join(fields))


BASES = "aeiouyAEIOUYcgnrszCGNRSZqx"
MARKS = [0x300, 0x301, 0x302, 0x303, 0x304, 0x306, 0x308, 0x30A, 0x30C, 0x327, 0x328]


def composites(lines):
    # Expectations for base + mark under the two flag sets the printer
    # path uses: 0x220 (composite check, separate characters) and 0x240
    # (composite check, default character).
    for cp, name in PAGES.items():
        for base in BASES:
            for mark in MARKS:
                text = base + chr(mark)
                composed = unicodedata.normalize("NFC", text)
                whole = encode_one(name, composed) if len(composed) == 1 else None
                if whole is not None:
                    sep = default = whole
                else:
                    b = encode_one(name, base)
                    m = encode_one(name, chr(mark))
                    sep = b + (m if m is not None else b"?")
                    default = b"?"
                lines.append(f"composite {cp} {ord(base):04X} {mark:04X} "
                             f"{sep.hex().upper()} {default.hex().upper()}")


USAGE = "usage: generate.py [OUTPUT-DIR]   (default: tests/data/codepages)\n"


def main():
    args = sys.argv[1:]
    if args and args[0] in ("--help", "-h"):
        sys.stdout.write(USAGE)
        return 0
    # An option is never the folder: "--hlep" must not become one.
    if len(args) > 1 or (args and args[0].startswith("-")):
        sys.stderr.write(f"generate.py: unexpected argument '{args[-1]}'\n" + USAGE)
        return 2
    out = Path(args[0]) if args else (
        Path(__file__).resolve().parents[2] / "tests" / "data" / "codepages")
    out.mkdir(parents=True, exist_ok=True)
    header = ["# Generated by tools/codepages/generate.py from ICU's uconv; do not edit."]
    for cp, name in PAGES.items():
        lines = header + [f"# {name}: byte XX UUUU | byte XX lead | pairs LL @TT UUUU UUUU ..."]
        leads = single_bytes(name, lines)
        pair_table(name, leads, lines)
        (out / f"cp{cp}.txt").write_text("\n".join(lines) + "\n")
    lines = header + ["# encode UUUU 1252=BYTES|default 936=BYTES|default"]
    encode_samples(lines)
    (out / "encode.txt").write_text("\n".join(lines) + "\n")
    lines = header + ["# composite CP BASE MARK BYTES-0x220 BYTES-0x240"]
    composites(lines)
    (out / "composites.txt").write_text("\n".join(lines) + "\n")


if __name__ == "__main__":
    sys.exit(main())
