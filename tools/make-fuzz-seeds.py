#!/usr/bin/env python3
"""Writes the seed inputs of the libFuzzer targets into fuzz/corpus/<name>/: a few small inputs
shaped like the files and strings the program really reads, and for each target one input
of about 1 MB. The texts are made up for this project. Deterministic: running it again gives
the same files.

  tools/make-fuzz-seeds.py [CORPUS_FOLDER]      (default: fuzz/corpus beside this script)
"""
import json
import os
import random
import struct
import sys
import zlib

BIG = 1000 * 1000

LINES = [
    "きょうは朝から雨で、窓の外の紫陽花がしっとり濡れていた。",
    "散歩の途中で見つけたパン屋さんのメロンパンがおいしかった。",
    "明日の会議までに資料を三枚まとめておくこと。",
    "夜になると川沿いの道に街灯がともって、少しだけ明るくなる。",
    "新しいキーボードは打ち心地がやわらかくて、つい長く書いてしまう。",
    "駅前の本屋で、猫が表紙の文庫本を二冊買った。",
    "お茶を入れなおして、もう少しだけ作業を続けよう。",
    "The quick note: buy milk, eggs, and 3 tomatoes.",
]


def fill(make_piece, limit=BIG):
    """Concatenates pieces until the next one would pass the limit (in bytes)."""
    out, size, i = [], 0, 0
    while True:
        piece = make_piece(i)
        if size + len(piece) > limit:
            return b"".join(out)
        out.append(piece)
        size += len(piece)
        i += 1


def seeds_decode(rng):
    text = "\n".join(LINES) + "\n"
    return {
        "utf8": text.encode("utf-8"),
        "utf8-bom": b"\xef\xbb\xbf" + text.encode("utf-8"),
        "shift-jis": text.encode("cp932"),
        "euc-jp": text.encode("euc_jp"),
        "ascii-crlf": b"font_name=\r\nfont_size=15\r\n",
        "big-utf8": fill(lambda i: (LINES[i % len(LINES)] + "\n").encode("utf-8")),
    }


def seeds_ini(rng):
    state = "[user.preference]\n1=false\n2=false\n3=true\n4=false\n6=false\n\n"
    config = "font_name=resource/fonts/round.ttf\nfont_size=16\ndebug_root_window=false\n"
    def section(i):
        keys = "".join("key%d=%s\n" % (k, rng.choice(["true", "false", "12pt", "-7", "値"]))
                       for k in range(8))
        return ("[section.%d]\n%s\n" % (i, keys)).encode("utf-8")
    return {
        "state": state.encode(),
        "config": config.encode(),
        "odd": "; comment\n[]\nkey=\n[open\n=value\nx=1=2\r\n".encode(),
        "big-sections": fill(section),
    }


def seeds_archive(rng):
    # The fuzz target reads: member count, then per member a name choice byte, a length and data.
    def member(choice, data, stated=None):
        return bytes([choice]) + struct.pack("<I", len(data) if stated is None else stated) + data
    small = struct.pack("<I", 2) + member(0, b'{"motions": {}}') + member(1, "メモ".encode())
    lying = struct.pack("<I", 1) + member(2, b"abc", stated=0xFFFFFF00)
    chunk = 4096
    big_members = fill(lambda i: member(i % 3, bytes(rng.getrandbits(8) for _ in range(chunk))), BIG - 4)
    count = len(big_members) // (1 + 4 + chunk)
    return {"two-members": small, "stated-too-long": lying, "big": struct.pack("<I", count) + big_members}


def seeds_json(rng):
    setup = {"motions": {"idle": {"timeout": 0.25, "images": ["idle.png", "idle_blink.png"]}},
             "textbox": {"x": 14, "y": 30, "right": False, "sound": ""}}
    event = {"unit_wakeup": [{"text": "おはよう、{hour}時だね。", "motion": "happy"}]}
    def response(i):
        return json.dumps({"id": i, "text": LINES[i % len(LINES)], "motion": "speak",
                           "weight": i % 7 / 3, "tags": ["a", "\u3042", "\\u3042"]},
                          ensure_ascii=i % 2 == 0).encode("utf-8") + b",\n"
    body = fill(response, BIG - 2)
    return {
        "setup": json.dumps(setup, indent=2).encode(),
        "event": json.dumps(event, ensure_ascii=False).encode("utf-8"),
        "surrogates": b'["\\ud83d\\ude00", "\\ud800", "\\u0000"]',
        "deep": b"[" * 2000 + b"]" * 2000,
        "big-array": b"[" + body[:-2] + b"]",
    }


def rss_item(i):
    return ("<item><title>お知らせ %d</title><link>https://example.org/news/%d</link>"
            "<description><![CDATA[<p>%s</p>]]> &amp; more</description>"
            "<pubDate>Mon, 02 Jun 2025 09:%02d:00 +0900</pubDate></item>\n"
            % (i, i, LINES[i % len(LINES)], i % 60)).encode("utf-8")


def feeds():
    rss = ('<?xml version="1.0" encoding="UTF-8"?>\n<rss version="2.0"><channel><title>町のたより</title>'
           "<link>https://example.org/</link>%s</channel></rss>") % rss_item(1).decode()
    atom = ('<?xml version="1.0"?><?xml-stylesheet href="s.xsl"?><feed xmlns="http://www.w3.org/2005/Atom">'
            "<title>日記</title><entry><title>雨の日</title><link rel=\"alternate\" href=\"https://example.org/d/1\"/>"
            "<updated>2025-06-02T09:00:00+09:00</updated><summary>紫陽花</summary></entry></feed>")
    rdf = ('<rdf:RDF xmlns:rdf="http://www.w3.org/1999/02/22-rdf-syntax-ns#" xmlns="http://purl.org/rss/1.0/"'
           ' xmlns:dc="http://purl.org/dc/elements/1.1/"><channel><title>お知らせ</title></channel>'
           "<item><title>休業日</title><link>http://example.org/closed</link><dc:date>2025-06-01T10:00:00+09:00</dc:date></item></rdf:RDF>")
    html = ("<!DOCTYPE html><html><head><meta charset=utf-8><title>tavi</title></head><body>"
            "<p>本日は<b>晴れ<br>&#x3042;&#12354;&nbsp;<img src=a.png></p><script>if (a < b) x();</script></body></html>")
    big = b'<?xml version="1.0"?><rss version="2.0"><channel><title>big</title>' + \
        fill(rss_item, BIG - 100) + b"</channel></rss>"
    return {"rss": rss.encode(), "atom": atom.encode(), "rdf": rdf.encode(), "page": html.encode(), "big-rss": big}


def seeds_association(rng):
    words = ["魚", "水", "海", "川", "雨", "傘", "パン", "本", "猫", "茶", "駅", "夜"]
    def line(i):
        rel = ",".join("%s/%d" % (rng.choice(words), rng.randint(1, 999)) for _ in range(rng.randint(1, 6)))
        return ("%s;%s\n" % (words[i % len(words)], rel)).encode("utf-8")
    return {"links": "雨;傘/12,水/3\n猫;魚/40\n".encode(), "big": fill(line)}


def seeds_command(rng):
    small = {"memo-new": "memo -new", "memo-clear": "memo -clear", "rss-dump": "rss -dump",
             "afk": "afk", "afk-saver": "afk /s", "quoted": 'memo -text:"two words" "an argument" -x:'}
    out = {k: v.encode() for k, v in small.items()}
    out["big"] = b"memo" + fill(lambda i: (' -k%d:"v %d" arg%d' % (i, i, i)).encode(), BIG - 4)
    return out


def seeds_url(rng):
    small = {"https": "https://example.org/feeds/news.rdf?lang=ja#top",
             "http-port": "http://127.0.0.1:8080/rss.xml", "no-path": "https://example.org",
             "japanese": "https://例え.jp/ニュース/記事.html?q=雨", "no-scheme": "example.org/a.xml"}
    out = {k: v.encode("utf-8") for k, v in small.items()}
    out["big"] = b"https://example.org/" + fill(lambda i: ("p%d/" % i).encode(), BIG - 40) + b"x.xml?q=1"
    return out


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "fuzz", "corpus")
    rng = random.Random(20250602)
    targets = {"decode": seeds_decode, "ini": seeds_ini, "archive": seeds_archive, "json": seeds_json,
               "xml": lambda r: feeds(), "feed": lambda r: feeds(), "association": seeds_association,
               "command": seeds_command, "url": seeds_url}
    for name, make in targets.items():
        folder = os.path.join(root, name)
        os.makedirs(folder, exist_ok=True)
        for file, data in make(rng).items():
            assert len(data) <= BIG, (name, file, len(data))
            with open(os.path.join(folder, file), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
