#!/bin/sh
# Takes the pictures of the default character: docs/character-idle.png, docs/character-speaking.png
# (an older, faded line above a two-line one) and docs/character-right.png (balloon on the right).
# Usage: tools/character-screenshots.sh <build folder>
set -eu
build=$(cd "${1:-build}" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
demo="$build/tools/demo/tavi_character_demo"
body="$root/app/units/mebu/body"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The same body with its balloon turned to the right side.
cp -r "$body" "$work/right"
python3 - "$work/right/setup.json" <<'PY'
import json, sys
path = sys.argv[1]
setup = json.load(open(path, encoding="utf-8"))
setup.setdefault("textbox", {})["right"] = True
json.dump(setup, open(path, "w", encoding="utf-8"), ensure_ascii=False)
PY

shoot() {  # $1: output, $2: body folder, $3: mode, $4: crop geometry, $5: "left" or ""
  xvfb-run -a -s "-screen 0 1024x700x24" sh -c '
    xcompmgr >/dev/null 2>&1 &
    sleep 1
    convert -size 1024x700 gradient:"#6d8fb3-#2f4a66" "$5/bg.png"
    display -window root "$5/bg.png" &
    sleep 1
    "$1" "$2" "$3" 6 $7 &
    sleep 4
    import -window root -crop "$4" +repage "$6"
    wait $!' shoot "$demo" "$2" "$3" "$4" "$work" "$1" "${5:-}"
}
shoot "$root/docs/character-idle.png" "$body" idle 260x340+764+360
shoot "$root/docs/character-speaking.png" "$body" speak 600x360+424+340
shoot "$root/docs/character-right.png" "$work/right" speak 640x360+0+340 left
