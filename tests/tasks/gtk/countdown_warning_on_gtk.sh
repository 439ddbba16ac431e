#!/usr/bin/env bash
# Runs the countdown warning scenario on the GTK build and keeps its
# screenshots. Stand-in power tools come first on PATH, so even a run that
# went wrong could never power the machine off.
# usage: countdown_warning_on_gtk.sh PROGRAM WORK-DIR
set -euo pipefail
program=$(realpath "$1")
work=$2
here=$(cd "$(dirname "$0")" && pwd)

if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

rm -rf "$work"
mkdir -p "$work/bin"
cd "$work"
for tool in systemctl busctl loginctl gdbus; do
  printf '#!/bin/sh\necho "%s $*" >> "%s/power-requests.log"\n' "$tool" "$PWD" > "bin/$tool"
  chmod +x "bin/$tool"
done

# The scenario names its pictures without a folder: they land beside the program.
shots=("$(dirname "$program")/countdown-warning.png" "$(dirname "$program")/countdown-screen.png")
rm -f "${shots[@]}"
PATH="$PWD/bin:$PATH" "$program" --scenario "$here/countdown_warning.scenario"
if [ -s power-requests.log ]; then
  echo "unexpected power requests:"; cat power-requests.log; exit 1
fi
for shot in "${shots[@]}"; do
  [ -s "$shot" ] || { echo "no screenshot $shot"; exit 1; }
  echo "$shot: $(identify -format '%w x %h, %k colours' "$shot")"
done
