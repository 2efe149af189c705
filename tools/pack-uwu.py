#!/usr/bin/env python3
"""Packs a folder into a ".uwu" archive that the program reads in place of that folder.

  pack-uwu.py FOLDER [-o ARCHIVE]   pack FOLDER (default archive: FOLDER.uwu beside it)
  pack-uwu.py --check ARCHIVE FOLDER
                                    unpack every file of FOLDER from ARCHIVE and compare
  pack-uwu.py --extract ARCHIVE NAME [-o FILE]
                                    write one member (NAME like "\\setup.json") to FILE or stdout
  pack-uwu.py --selftest            round-trip a generated folder through pack and check

Archive layout (all integers little-endian, unsigned 32-bit): magic 0x75777507, member count,
then per member: CRC-32 of its name in UTF-8, data length, data scrambled with a keystream
derived from the length. A member's name is its path below the packed folder, beginning with
a backslash, with backslashes as separators ("\\images\\idle.png"); case is kept as on disk.
Files whose names begin with "." are left out, as the program's folder listing skips them.
"""
import argparse
import os
import struct
import sys
import tempfile
import zlib

MAGIC = 0x75777507
_MASK = 0xFFFFFFFF


def crc32(data):
    """IEEE 802.3 CRC-32 (reflected 0xEDB88320, initial 0xFFFFFFFF, final inversion)."""
    return zlib.crc32(data) & _MASK


def keystream(length):
    """Yields the 32-bit keystream words for a member of the given length."""
    seed = length & _MASK
    words = []
    previous = seed
    for i in range(1, 5):
        previous = (1812433253 * (previous ^ (previous >> 30)) + i) & _MASK
        words.append(previous)
    w1, w2, w3, w4 = words
    while True:
        t = (w1 ^ (w1 << 11)) & _MASK
        w1, w2, w3 = w2, w3, w4
        w4 = (w4 ^ (w4 >> 19) ^ t ^ (t >> 8)) & _MASK
        yield w4


def scramble(data):
    """Scrambles or unscrambles (the same operation) one member's bytes."""
    length = len(data)
    stream = keystream(length)
    whole = length // 4
    out = bytearray(length)
    if whole:
        words = struct.unpack_from(f"<{whole}I", data)
        struct.pack_into(f"<{whole}I", out, 0, *(w ^ next(stream) for w in words))
    for i in range(whole * 4, length):
        out[i] = data[i] ^ (next(stream) & 0xFF)
    return bytes(out)


def member_name(relative):
    """The archive name of a file at `relative` (a path below the packed folder)."""
    parts = relative.replace(os.sep, "/").split("/")
    for part in parts:
        if "\\" in part:
            raise ValueError(f"{relative}: a backslash in a file name cannot be packed")
    return "\\" + "\\".join(parts)


def folder_files(folder, skip=None):
    """(member name, path) of every file below folder, dot names skipped, in a stable order."""
    found = []
    for root, dirs, files in os.walk(folder):
        dirs[:] = sorted(d for d in dirs if not d.startswith("."))
        for name in sorted(files):
            path = os.path.join(root, name)
            if name.startswith(".") or (skip and os.path.abspath(path) == skip):
                continue
            found.append((member_name(os.path.relpath(path, folder)), path))
    return found


def read_members(archive, strict=True):
    """List of (name hash, data unscrambled) in archive order. Damage raises ValueError; when
    not strict, members after a cut-off one and bytes after the last member are ignored, as
    the program's reader ignores them."""
    with open(archive, "rb") as f:
        blob = f.read()
    if len(blob) < 8:
        raise ValueError(f"{archive}: too short for an archive header")
    magic, count = struct.unpack_from("<II", blob, 0)
    if magic != MAGIC:
        raise ValueError(f"{archive}: not a .uwu archive (magic {magic:#010x})")
    members, pos = [], 8
    for index in range(count):
        if pos + 8 > len(blob):
            if not strict:
                break
            raise ValueError(f"{archive}: member {index} header is cut off")
        name_hash, length = struct.unpack_from("<II", blob, pos)
        if pos + 8 + length > len(blob):
            if not strict:
                break
            raise ValueError(f"{archive}: member {index} claims {length} bytes beyond the end")
        pos += 8
        members.append((name_hash, scramble(blob[pos:pos + length])))
        pos += length
    if strict and pos != len(blob):
        raise ValueError(f"{archive}: {len(blob) - pos} stray bytes after the last member")
    return members


def lookup(members, name):
    """The data of the first member whose hash matches name, as the program finds it."""
    wanted = crc32(name.replace("/", "\\").encode("utf-8"))
    for name_hash, data in members:
        if name_hash == wanted:
            return data
    return None


def pack(folder, archive):
    folder = os.path.normpath(folder)
    if not os.path.isdir(folder):
        raise ValueError(f"{folder}: not a folder")
    files = folder_files(folder, skip=os.path.abspath(archive))
    seen = {}
    for name, _ in files:
        h = crc32(name.encode("utf-8"))
        if h in seen:
            raise ValueError(f"{name} and {seen[h]} have the same name hash; rename one")
        seen[h] = name
    parts = [struct.pack("<II", MAGIC, len(files))]
    for name, path in files:
        with open(path, "rb") as f:
            data = f.read()
        if len(data) > _MASK:
            raise ValueError(f"{path}: larger than 4 GiB")
        parts.append(struct.pack("<II", crc32(name.encode("utf-8")), len(data)))
        parts.append(scramble(data))
    # Written beside the target and checked before it replaces any earlier archive.
    target_dir = os.path.dirname(os.path.abspath(archive))
    os.makedirs(target_dir, exist_ok=True)
    fd, temporary = tempfile.mkstemp(prefix=".pack-", suffix=".uwu", dir=target_dir)
    try:
        with os.fdopen(fd, "wb") as f:
            for part in parts:
                f.write(part)
        problems = check(temporary, folder)
        if problems:
            raise ValueError("packed archive does not match the folder:\n  " +
                             "\n  ".join(problems))
        os.replace(temporary, archive)
    except BaseException:
        if os.path.exists(temporary):
            os.unlink(temporary)
        raise
    return files


def check(archive, folder):
    """Problems found comparing the archive with the folder; empty when they match."""
    members = read_members(archive)
    files = folder_files(folder, skip=os.path.abspath(archive))
    problems = []
    if len(members) != len(files):
        problems.append(f"archive holds {len(members)} members, folder {len(files)} files")
    for name, path in files:
        with open(path, "rb") as f:
            expected = f.read()
        got = lookup(members, name)
        if got is None:
            problems.append(f"{name}: missing from the archive")
        elif got != expected:
            problems.append(f"{name}: content differs")
    return problems


def selftest():
    """Packs a generated folder with awkward lengths and names, then checks it back."""
    with tempfile.TemporaryDirectory() as work:
        folder = os.path.join(work, "body")
        os.makedirs(os.path.join(folder, "images", "晴れ"))
        samples = {
            "setup.json": b'{"motions": {}}\n',
            "empty.txt": b"",
            ".hidden": b"never packed",
            os.path.join("images", "a.bin"): bytes(range(256)) * 3 + b"\x01\x02\x03",
        }
        for n in range(1, 9):
            samples[os.path.join("images", "晴れ", f"len{n}.bin")] = bytes([0xA5] * n)
        for rel, data in samples.items():
            with open(os.path.join(folder, rel), "wb") as f:
                f.write(data)
        archive = folder + ".uwu"
        files = pack(folder, archive)
        assert len(files) == len(samples) - 1, "dot file must be left out"
        members = read_members(archive)
        assert lookup(members, "\\images\\晴れ\\len5.bin") == bytes([0xA5] * 5)
        assert lookup(members, "/images/a.bin") == samples[os.path.join("images", "a.bin")]
        assert lookup(members, "\\.hidden") is None
        assert lookup(members, "\\Setup.json") is None, "names keep their case"
        # Scrambling changes every non-empty member and undoes itself.
        for data in samples.values():
            if data:
                assert scramble(data) != data and scramble(scramble(data)) == data
        # A damaged copy is refused rather than read short.
        with open(archive, "rb") as f:
            blob = f.read()
        with open(archive, "wb") as f:
            f.write(blob[:-1])
        try:
            read_members(archive)
        except ValueError:
            pass
        else:
            raise AssertionError("a truncated archive must be refused")
    print("selftest passed")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("paths", nargs="*")
    parser.add_argument("-o", "--output")
    mode = parser.add_mutually_exclusive_group()
    mode.add_argument("--check", action="store_true")
    mode.add_argument("--extract", action="store_true")
    mode.add_argument("--selftest", action="store_true")
    args = parser.parse_args(argv)
    try:
        if args.selftest:
            selftest()
        elif args.check:
            if len(args.paths) != 2:
                parser.error("--check needs ARCHIVE FOLDER")
            problems = check(*args.paths)
            for problem in problems:
                print(problem, file=sys.stderr)
            if problems:
                return 1
            print(f"{args.paths[0]} matches {args.paths[1]}")
        elif args.extract:
            if len(args.paths) != 2:
                parser.error("--extract needs ARCHIVE NAME")
            data = lookup(read_members(args.paths[0], strict=False), args.paths[1])
            if data is None:
                print(f"{args.paths[1]}: no such member", file=sys.stderr)
                return 1
            if args.output:
                with open(args.output, "wb") as f:
                    f.write(data)
            else:
                sys.stdout.buffer.write(data)
        else:
            if len(args.paths) != 1:
                parser.error("give one FOLDER to pack")
            folder = os.path.normpath(args.paths[0])
            archive = args.output or folder + ".uwu"
            files = pack(folder, archive)
            print(f"packed {len(files)} files into {archive}")
    except (OSError, ValueError) as error:
        print(f"pack-uwu: {error}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
