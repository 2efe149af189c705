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
    # A Japanese Windows has Japanese faces behind its user-interface fonts ("MS UI Gothic" for
    # menus and boxes); without them Wine shows empty squares. The free Japanese faces stand in
    # under those names.
    if [ ! -f "$WINEPREFIX/.japanese-fonts" ]; then
        reg="$WINEPREFIX/japanese-fonts.reg"
        {
            printf 'Windows Registry Editor Version 5.00\r\n\r\n'
            printf '[HKEY_CURRENT_USER\\Software\\Wine\\Fonts\\Replacements]\r\n'
            for pair in "MS UI Gothic=IPAPGothic" "MS PGothic=IPAPGothic" "MS Gothic=IPAGothic" \
                "ＭＳ Ｐゴシック=IPAPGothic" "ＭＳ ゴシック=IPAGothic"; do
                printf '"%s"="%s"\r\n' "${pair%%=*}" "${pair#*=}"
            done
        } | iconv -f UTF-8 -t UTF-16 >"$reg"
        "$wine" regedit /S "$reg" >/dev/null 2>&1 && touch "$WINEPREFIX/.japanese-fonts"
    fi
) 9>"$WINEPREFIX/.init.lock"

exec env "${locale[@]}" "$wine" "$@"
