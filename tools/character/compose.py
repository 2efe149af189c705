#!/usr/bin/env python3
"""Builds every picture of the default character from the shared SVG parts, and its skin file.

Each frame is the same base figure (shadow, feet, body, leaves, arms) with a chosen set of face
parts and extras, so all frames line up exactly. Usage: compose.py OUT_SVG_DIR SETUP_JSON_PATH
"""
import json
import os
import re
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
PARTS = os.path.join(HERE, "parts")
WIDTH, HEIGHT = 200, 300

# Base of the leaves' stem: the leaves sway around this point.
STEM = (100, 112)

# name: parts of the face and extras, and how the figure is placed.
#   dx, dy  shift of the whole figure (bounce, shake); the ground shadow stays put
#   leaf    rotation of the leaves in degrees (breeze)
#   squash  vertical scale of the figure about its feet (1.0 = none)
FRAMES = {
    "idle":          dict(eyes="eyes_open", mouth="mouth_smile"),
    "idle_blink":    dict(eyes="eyes_closed", mouth="mouth_smile"),
    "standby":       dict(eyes="eyes_open", mouth="mouth_smile", leaf=-3),
    "standby_sway":  dict(eyes="eyes_open", mouth="mouth_smile", leaf=4),
    "standby_blink": dict(eyes="eyes_closed", mouth="mouth_smile", leaf=-3),
    "speak_a":       dict(eyes="eyes_open", mouth="mouth_smile"),
    "speak_b":       dict(eyes="eyes_open", mouth="mouth_small"),
    "speak_c":       dict(eyes="eyes_open", mouth="mouth_open"),
    "surprise_a":    dict(eyes="eyes_wide", mouth="mouth_o", arms="arms_up",
                          extras=["sweat", "exclaim"], dy=-6, leaf=-8),
    "surprise_b":    dict(eyes="eyes_wide", mouth="mouth_o", arms="arms_up",
                          extras=["sweat", "exclaim"], dx=3, dy=-4, leaf=6),
    "happy_a":       dict(eyes="eyes_happy", mouth="mouth_open", arms="arms_up",
                          extras=["sparkles_a"], squash=0.97),
    "happy_b":       dict(eyes="eyes_happy", mouth="mouth_open", arms="arms_up",
                          extras=["sparkles_b"], dy=-9, leaf=6),
    "sleepy_a":      dict(eyes="eyes_sleepy", mouth="mouth_tiny", extras=["zzz_a"], leaf=-5,
                          squash=0.985),
    "sleepy_b":      dict(eyes="eyes_closed", mouth="mouth_tiny", extras=["zzz_b"], leaf=-7,
                          squash=0.97),
    "puzzled_a":     dict(eyes="eyes_look_up", mouth="mouth_wavy", extras=["question"], leaf=-6),
    "puzzled_b":     dict(eyes="eyes_look_up", mouth="mouth_wavy", extras=["question"], leaf=2,
                          dx=-2),
    "shy_a":         dict(eyes="eyes_happy", mouth="mouth_smile", cheeks="cheeks_blush",
                          arms="arms_cheek", extras=["hearts"]),
    "shy_b":         dict(eyes="eyes_closed", mouth="mouth_smile", cheeks="cheeks_blush",
                          arms="arms_cheek", leaf=5, squash=0.985),
}

# Motion name: (seconds per drawn frame, frames in the order listed). A frame listed several
# times is drawn more often; the loader reads each image file once.
MOTIONS = {
    "idle": (0.25, ["idle"] * 13 + ["idle_blink"]),
    "standby": (0.4, ["standby"] * 6 + ["standby_sway"] * 2 + ["standby_blink"]),
    "speak": (0.12, ["speak_a", "speak_b", "speak_c"]),
    "surprise": (0.1, ["surprise_a", "surprise_b"]),
    "happy": (0.3, ["happy_a", "happy_b"]),
    "sleepy": (0.9, ["sleepy_a", "sleepy_b"]),
    "puzzled": (0.6, ["puzzled_a", "puzzled_b"]),
    "shy": (0.5, ["shy_a", "shy_b"]),
}

# The speech balloon: its right edge overlaps the transparent margin left of the body so the
# tail touches the figure, and it sits a little below the window's middle, near the face.
TEXTBOX = {"x": 14, "y": 30, "right": False, "sound": ""}

_SVG_BODY = re.compile(r"<svg\b[^>]*>(.*)</svg>", re.S)


def part(name):
    """Returns the inner markup of one part file (everything inside its <svg> element)."""
    with open(os.path.join(PARTS, name + ".svg"), encoding="utf-8") as f:
        text = f.read()
    match = _SVG_BODY.search(text)
    if not match:
        raise SystemExit(f"part {name}: no <svg> element")
    return match.group(1).strip("\n")


def frame_svg(look):
    dx, dy = look.get("dx", 0), look.get("dy", 0)
    leaf = look.get("leaf", 0)
    squash = look.get("squash", 1.0)
    foot = 284  # the figure squashes toward the ground line
    figure = (f'translate({dx} {dy}) translate(0 {foot}) scale(1 {squash}) '
              f'translate(0 {-foot})')
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{WIDTH}" height="{HEIGHT}" '
           f'viewBox="0 0 {WIDTH} {HEIGHT}">',
           part("defs"),
           part("shadow"),
           f'<g transform="{figure}">',
           f'<g transform="rotate({leaf} {STEM[0]} {STEM[1]})">',
           part("leaves"),
           "</g>",
           part("feet"),
           part("body"),
           part(look.get("cheeks", "cheeks")),
           part(look["eyes"]),
           part(look["mouth"]),
           part(look.get("arms", "arms_down")),
           "</g>"]
    out += [part(extra) for extra in look.get("extras", [])]
    out.append("</svg>")
    return "\n".join(out) + "\n"


def setup_json():
    motions = {}
    for name, (timeout, frames) in MOTIONS.items():
        for frame in frames:
            if frame not in FRAMES:
                raise SystemExit(f"motion {name}: unknown frame {frame}")
        motions[name] = {"timeout": timeout, "images": [f + ".png" for f in frames]}
    return {"motions": motions, "textbox": TEXTBOX}


def format_setup(setup):
    """JSON text with one motion per block and its image list on one line, easy to edit."""
    dump = lambda value: json.dumps(value, ensure_ascii=False)
    blocks = []
    for name, motion in setup["motions"].items():
        blocks.append(f'    {dump(name)}: {{\n'
                      f'      "timeout": {dump(motion["timeout"])},\n'
                      f'      "images": {dump(motion["images"])}\n'
                      f'    }}')
    return ('{\n  "motions": {\n' + ",\n".join(blocks) + '\n  },\n'
            f'  "textbox": {dump(setup["textbox"])}\n}}\n')


def main():
    if len(sys.argv) != 3:
        raise SystemExit("usage: compose.py OUT_SVG_DIR SETUP_JSON_PATH")
    out_dir, setup_path = sys.argv[1], sys.argv[2]
    os.makedirs(out_dir, exist_ok=True)
    for name, look in FRAMES.items():
        with open(os.path.join(out_dir, name + ".svg"), "w", encoding="utf-8") as f:
            f.write(frame_svg(look))
    with open(setup_path, "w", encoding="utf-8", newline="\n") as f:
        f.write(format_setup(setup_json()))
    print("\n".join(FRAMES))


if __name__ == "__main__":
    main()
