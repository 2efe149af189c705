#!/bin/bash
# Pictures of the feed reader's page as a browser shows it: the page the built program writes
# in its whole-program test (docs/feed-page.png), and the test page whose titles try to inject
# markup (docs/feed-page-escaped.png). Renders with headless Chromium, which it installs from
# Debian when missing (it is not one of the project's packages). Needs the Linux build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v chromium >/dev/null; then
  [ "$(id -u)" = 0 ] || { echo "chromium is missing: run as root to install it" >&2; exit 1; }
  DEBIAN_FRONTEND=noninteractive apt-get install -y -q chromium </dev/null
fi
cmake --build build -j2 --target tavi tavi_ui_tests appfolder

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/shots"
# The program's own page: the whole-program feed test leaves a copy in the shots folder.
TAVI_E2E_SHOTS="$work/shots" TAVI_TEST_DATA="$PWD/tests/data" TAVI_APP_DIR="$PWD/build/app" \
  TAVI_EXE="$PWD/build/tavi" python3 tests/support/feedserver.py --data tests/data -- \
  xvfb-run -a -s "-screen 0 1280x800x24" build/tests/tavi_ui_tests --gtest_filter='FeedsTest.*'

shoot() {
  chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile-$(basename "$2")" --hide-scrollbars --window-size=900,420 \
    --screenshot="$2" "file://$1" 2>/dev/null
  echo "wrote $2"
}
shoot "$work/shots/rss.html" docs/feed-page.png
cp tests/data/feedpage/three-items.out "$work/escaped.html"
shoot "$work/escaped.html" docs/feed-page-escaped.png
