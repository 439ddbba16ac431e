#!/usr/bin/env bash
# Installs what is missing, builds the desktop program (GTK) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset linux >/dev/null
cmake --build --preset linux --target orvane

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  echo "run.sh: no display to show the program on (DISPLAY is '${DISPLAY:-}')." >&2
  echo "  Run it from a desktop session, or without a screen under a virtual one:" >&2
  echo "  xvfb-run -a build/linux/program/orvane --scenario tests/scenarios/gallery.scenario" >&2
  echo "  (or build/linux/program/orvane --headless --scenario tests/scenarios/gallery.scenario)" >&2
  exit 1
fi
exec build/linux/program/orvane "$@"
