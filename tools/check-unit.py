#!/usr/bin/env python3
"""Checks the characters of an application folder before they are shipped or packed.

  check-unit.py [APP_FOLDER]        (default: the app/ folder of this project)

Reads "units/bootstrap.json", every unit's "body/setup.json" with its pictures,
"brain/event.json", "brain/response.json" and "brain/models/corpus", the shared
"temp/corpus.txt" and the drag cursors, and reports what the program would read differently
from what the author meant: files that do not parse, members of the wrong type, missing
pictures, motions no table uses or tables naming missing motions, unknown placeholders, lines
too long for the balloon. Errors make the exit status 1; warnings alone do not.
"""
import json
import os
import re
import struct
import sys

EVENTS = {
    "unit_wakeup": set(), "unit_drag": set(), "unit_drop": set(), "tool_afk": set(),
    "tool_clock_houry": {"hour", "minute"}, "tool_feed_received": set(),
    "tool_feed_dump": set(), "tool_feed_empty": set(),
}
RESPONSES = {
    "boredom": set(), "unknown": {"keyword"}, "related_noun": {"keyword", "noun"},
    "related_adjective": {"keyword", "adj"}, "through": {"keyword"},
}
CLOCK = {"hour", "minute", "second"}
PLACEHOLDER = re.compile(r"%([A-Za-z0-9_]+)%")
LONGEST_LINE = 60  # characters; longer lines fill most of the 400-pixel balloon window


class Report:
    def __init__(self):
        self.errors = self.warnings = 0

    def error(self, where, text):
        self.errors += 1
        print(f"error: {where}: {text}")

    def warn(self, where, text):
        self.warnings += 1
        print(f"warning: {where}: {text}")


def load_json(path, report):
    """Parses like the program: no byte-order mark, no duplicate keys; None when unusable."""
    try:
        with open(path, "rb") as f:
            raw = f.read()
    except OSError as e:
        report.error(path, f"cannot read ({e.strerror})")
        return None
    if raw.startswith(b"\xef\xbb\xbf"):
        report.warn(path, "starts with a UTF-8 byte-order mark; save it without one")
        raw = raw[3:]

    def no_duplicates(pairs):
        keys = [k for k, _ in pairs]
        for k in {k for k in keys if keys.count(k) > 1}:
            report.warn(path, f'key "{k}" appears more than once; only one is used')
        return dict(pairs)
    try:
        return json.loads(raw.decode("utf-8"), object_pairs_hook=no_duplicates)
    except (UnicodeDecodeError, ValueError) as e:
        report.error(path, f"not valid UTF-8 JSON: {e}")
        return None


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n" or head[12:16] != b"IHDR":
        return None
    return struct.unpack(">II", head[16:24])


def check_body(folder, report):
    """Returns the set of motion names, or None when the skin is unusable."""
    path = os.path.join(folder, "setup.json")
    setup = load_json(path, report)
    if not isinstance(setup, dict) or not isinstance(setup.get("motions"), dict) \
            or not setup["motions"]:
        report.error(path, 'needs a non-empty "motions" object (the program refuses to start)')
        return None
    usable, sizes = set(), {}
    for name, motion in setup["motions"].items():
        where = f"{path}: motion {name}"
        if not isinstance(motion, dict):
            report.error(where, "must be an object")
            continue
        timeout = motion.get("timeout")
        if not isinstance(timeout, (int, float)) or isinstance(timeout, bool):
            report.warn(where, '"timeout" missing or not a number; the first frame drawn stays')
        images = motion.get("images")
        if not isinstance(images, list) or not images:
            report.error(where, '"images" must be a non-empty array of file names')
            continue
        for image in images:
            if not isinstance(image, str) or not image:
                report.error(where, f"image entry {image!r} is not a file name")
                continue
            file = os.path.join(folder, *re.split(r"[\\/]", image))
            if not os.path.isfile(file) or os.path.getsize(file) == 0:
                report.error(where, f"{image}: missing or empty file")
                continue
            usable.add(name)
            if file.lower().endswith(".png"):
                size = png_size(file)
                if size is None:
                    report.error(where, f"{image}: not a readable PNG")
                else:
                    sizes[image] = size
    if len(set(sizes.values())) > 1:
        report.warn(path, "pictures differ in size; each is drawn from the top-left corner of "
                          f"the largest: {sorted(set(sizes.values()))}")
    for needed in ("idle", "standby"):
        if needed not in usable:
            report.warn(path, f'no usable "{needed}" motion; the body shows nothing new when silent')
    box = setup.get("textbox", {})
    if not isinstance(box, dict):
        report.error(path, '"textbox" must be an object')
    else:
        for key, kind in (("x", int), ("y", int), ("right", bool), ("sound", str)):
            if key in box and (not isinstance(box[key], kind) or
                               (kind is int and isinstance(box[key], bool))):
                report.error(path, f'"textbox"/"{key}" must be a {kind.__name__}')
    return usable


def check_lines(where, texts, allowed, report):
    if not isinstance(texts, list):
        report.error(where, '"texts" must be an array of strings')
        return
    if not texts:
        report.warn(where, "no lines (the character stays silent here)")
    for text in texts:
        if not isinstance(text, str):
            report.error(where, f"line {text!r} is not a string (shown as an empty line)")
            continue
        if not text:
            report.warn(where, "an empty line is never shown")
        for name in PLACEHOLDER.findall(text):
            if name not in allowed:
                report.warn(where, f'"{text}": %{name}% has no value here and shows as written')
        if len(text) > LONGEST_LINE:
            report.warn(where, f'"{text[:20]}…" is {len(text)} characters; keep lines short')


def check_brain(folder, motions, report):
    used = set()
    path = os.path.join(folder, "event.json")
    table = load_json(path, report)
    if isinstance(table, dict):
        for name, value in table.items():
            where = f"{path}: {name}"
            if name not in EVENTS:
                report.warn(where, "not an event the program raises")
            allowed = CLOCK | EVENTS.get(name, set())
            if isinstance(value, list):
                used.add("speak")
                check_lines(where, value, allowed, report)
            elif isinstance(value, dict):
                action = value.get("action", "")
                if not isinstance(action, str):
                    report.error(where, '"action" must be a string')
                else:
                    used.add(action)
                check_lines(where, value.get("texts"), allowed, report)
            else:
                report.error(where, 'must be an array of lines or {"action", "texts"}')
        for name in EVENTS:
            if name not in table:
                report.warn(path, f'no lines for "{name}"')
    elif table is not None:
        report.error(path, "the root must be an object")
    path = os.path.join(folder, "response.json")
    table = load_json(path, report)
    if isinstance(table, dict):
        for name, value in table.items():
            where = f"{path}: {name}"
            if name not in RESPONSES:
                report.warn(where, "not a member the program reads")
                continue
            if not isinstance(value, dict):
                report.error(where, 'must be an object with "action" and "texts"')
                continue
            action = value.get("action", "")
            if isinstance(action, str):
                used.add(action)
            else:
                report.error(where, '"action" must be a string')
            check_lines(where, value.get("texts"), CLOCK | RESPONSES[name], report)
    elif table is not None:
        report.error(path, "the root must be an object")
    if motions is not None:
        for action in sorted(used - motions - {""}):
            report.warn(folder, f'the tables name the motion "{action}", which the body lacks')
    corpus = os.path.join(folder, "models", "corpus")
    if not os.path.isdir(corpus):
        report.warn(corpus, "no corpus folder (the brain learns no words of its own)")
        return
    for root, dirs, files in os.walk(corpus):
        dirs[:] = [d for d in dirs if not d.startswith(".")]
        for name in files:
            if name.startswith("."):
                continue
            file = os.path.join(root, name)
            with open(file, "rb") as f:
                data = f.read()
            if b"\0" in data:
                report.error(file, "contains zero bytes (UTF-16?); it reads as empty text")
            elif not any(_decodes(data, enc) for enc in ("utf-8", "cp932", "euc_jp")):
                report.error(file, "is neither UTF-8, Shift_JIS nor EUC-JP text")


def _decodes(data, encoding):
    try:
        data.decode(encoding)
        return True
    except UnicodeDecodeError:
        return False


def check_corpus_file(path, report):
    if not os.path.isfile(path):
        return
    with open(path, "rb") as f:
        text = f.read().decode("utf-8", errors="replace")
    for number, line in enumerate(text.split("\n"), 1):
        where = f"{path}:{number}"
        fields = [f.strip(" \t\r\n") for f in line.split(";")]
        if not line.strip(" \t\r\n"):
            continue
        if len(fields) < 3:
            report.warn(where, "fewer than three fields; the line is skipped")
            continue
        for field in fields[1:3]:
            if not field:
                continue
            for item in field.split(","):
                parts = [p.strip(" \t\r\n") for p in item.split("/")]
                if len(parts) < 2 or not parts[0]:
                    report.warn(where, f'item "{item}" has no word/weight pair; it is skipped')
                    continue
                try:
                    weight = int(parts[1])
                except ValueError:
                    weight = None
                if weight is None or not -2**31 <= weight < 2**31:
                    report.warn(where, f'item "{item}": the weight is not a 32-bit '
                                       'integer; the item is skipped')


def check_cursor(path, report):
    if not os.path.isfile(path):
        report.warn(path, "missing; no cursor is shown over the character")
        return
    with open(path, "rb") as f:
        data = f.read()
    if len(data) < 22:
        report.error(path, "too short for a cursor file")
        return
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    w, h, _, _, hx, hy, size, offset = struct.unpack_from("<BBBBHHII", data, 6)
    w, h = w or 256, h or 256
    if reserved != 0 or kind != 2 or count < 1:
        report.error(path, "not a cursor file (type 2)")
    elif offset + size > len(data):
        report.error(path, "image data runs past the end of the file")
    elif not (hx < w and hy < h):
        report.error(path, f"hotspot ({hx}, {hy}) lies outside the {w}x{h} image")


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    app = argv[0] if argv else os.path.join(os.path.dirname(here), "app")
    report = Report()
    boot = os.path.join(app, "units", "bootstrap.json")
    root = load_json(boot, report)
    names = root.get("units") if isinstance(root, dict) else None
    if not isinstance(names, list) or not names:
        report.error(boot, 'needs a non-empty "units" array (the program refuses to start)')
        names = []
    for name in names:
        if not isinstance(name, str) or not name:
            report.error(boot, f"unit name {name!r} is not a folder name")
            continue
        unit = os.path.join(app, "units", name)
        if not os.path.isdir(unit):
            report.warn(unit, "no such folder (fine only if packed into a .uwu archive)")
            continue
        motions = check_body(os.path.join(unit, "body"), report)
        check_brain(os.path.join(unit, "brain"), motions, report)
    check_corpus_file(os.path.join(app, "temp", "corpus.txt"), report)
    for cursor in ("grab.cur", "grabbing.cur"):
        check_cursor(os.path.join(app, "resource", "icons", cursor), report)
    print(f"{len(names)} unit(s) checked: {report.errors} error(s), {report.warnings} warning(s)")
    return 1 if report.errors else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
