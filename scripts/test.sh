#!/usr/bin/env bash
# Installs what is missing, builds every preset and runs every test suite.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh test

run_preset() {
  local preset=$1
  echo "== $preset"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
  ctest --preset "$preset"
}

# GUI suites need a display; give them a virtual one when none is there.
if [ -z "${DISPLAY:-}" ] && [ -z "${ORVANE_UNDER_XVFB:-}" ]; then
  export ORVANE_UNDER_XVFB=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

# However the run ends, it leaves no Wine process of the tests' prefix behind
# (ctest --preset windows checks this as its last test).
trap 'scripts/wine-run.sh --prefix build/windows/wine --stop' EXIT

run_preset test
run_preset asan
# The GTK desktop build; its GUI tests run on the display above.
run_preset linux
# Orvane.exe cross-compiled with MinGW-w64; its suites and the gallery run under Wine.
run_preset windows
