#!/usr/bin/env bash
# Runs one scenario on the GTK backend and on the headless backend of the same
# executable. Both must hold every expectation, and the screenshot the
# scenario takes must show a drawn window, not an empty one.
# usage: gallery_on_gtk.sh PROGRAM SCENARIO WORK-DIR
set -euo pipefail
program=$1
scenario=$2
work=$3

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

rm -rf "$work"
mkdir -p "$work"
cd "$work"

if ! headless=$("$program" --headless --scenario "$scenario" 2>headless.err); then
  echo "the scenario fails headless:"; cat headless.err; exit 1
fi
rm -f gallery.png
if ! desktop=$("$program" --scenario "$scenario" 2>gtk.err); then
  echo "the scenario fails on GTK:"; cat gtk.err; exit 1
fi
echo "headless: $headless"
echo "gtk:      $desktop"
if [ "$headless" != "$desktop" ]; then
  echo "GTK and headless runs differ"; exit 1
fi

if [ ! -s gallery.png ]; then
  echo "no screenshot in $work"; exit 1
fi
size=$(identify -format '%w %h' gallery.png)
colours=$(identify -format '%k' gallery.png)
echo "screenshot $work/gallery.png: $size, $colours colours"
if [ "$size" != "452 294" ]; then
  echo "the screenshot is not the gallery window"; exit 1
fi
# A blank or single-colour window has a handful; the skin, text and icons many.
if [ "$colours" -lt 200 ]; then
  echo "the screenshot looks blank"; exit 1
fi
