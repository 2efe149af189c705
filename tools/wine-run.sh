#!/bin/bash
# Runs a Windows program of the cross build under Wine: quiet, in a private prefix (created on
# first use), with a Japanese locale so the ANSI code page is 932 as on the target systems.
set -e

: "${WINEPREFIX:=$PWD/wineprefix}"
export WINEPREFIX WINEDEBUG=-all WINEARCH=win64 WINEDLLOVERRIDES="mscoree,mshtml="
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine="$(command -v wine64 || command -v wine)"

# A Japanese locale built into the prefix's folder (no root needed: glibc reads LOCPATH).
locdir="$WINEPREFIX/../wine-locale"
if [ ! -d "$locdir/ja_JP.UTF-8" ]; then
    mkdir -p "$locdir"
    localedef -i ja_JP -f UTF-8 "$locdir/ja_JP.UTF-8" >/dev/null 2>&1 || true
fi
locale=()
if [ -d "$locdir/ja_JP.UTF-8" ]; then
    locale=(LOCPATH="$locdir" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8)
fi

mkdir -p "$WINEPREFIX"
(
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        "$wine" wineboot --init >/dev/null 2>&1 || true
        wineserver -w 2>/dev/null || true
    fi
) 9>"$WINEPREFIX/.init.lock"

exec env "${locale[@]}" "$wine" "$@"
