#!/usr/bin/env bash
# Runs one scenario on the GTK backend and on the headless backend of the same
# executable: both must hold every expectation. When a screenshot name is
# given, the picture the scenario saved (beside the program) must show a
# drawn window, not an empty one.
# usage: same_on_gtk.sh PROGRAM SCENARIO WORK-DIR [SCREENSHOT WIDTH HEIGHT]
set -euo pipefail
program=$1
scenario=$2
work=$3
shot=${4:+$(dirname "$program")/$4}

# A screen of its own, the size the headless backend assumes, so that
# placement (centring) compares equal.
if [ -z "${ORVANE_GTK_SCREEN:-}" ]; then
  export ORVANE_GTK_SCREEN=1
  exec xvfb-run -a -s "-screen 0 1920x1080x24" bash "$0" "$@"
fi

rm -rf "$work"
mkdir -p "$work"
cd "$work"

if ! headless=$("$program" --headless --scenario "$scenario" 2>headless.err); then
  echo "the scenario fails headless:"; cat headless.err; exit 1
fi
[ -z "$shot" ] || rm -f "$shot"
if ! desktop=$("$program" --scenario "$scenario" 2>gtk.err); then
  echo "the scenario fails on GTK:"; cat gtk.err; exit 1
fi
echo "headless: $headless"
echo "gtk:      $desktop"
if [ "$headless" != "$desktop" ]; then
  echo "GTK and headless runs differ"; exit 1
fi
[ -n "$shot" ] || exit 0

if [ ! -s "$shot" ]; then
  echo "no screenshot $shot"; exit 1
fi
size=$(identify -format '%w %h' "$shot")
colours=$(identify -format '%k' "$shot")
echo "screenshot $shot: $size, $colours colours"
if [ "$size" != "$5 $6" ]; then
  echo "the screenshot is not $5 x $6: not the window"; exit 1
fi
# A blank or single-colour window has a handful; the skin, text and icons many.
if [ "$colours" -lt 200 ]; then
  echo "the screenshot looks blank"; exit 1
fi
