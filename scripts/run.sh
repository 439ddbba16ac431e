#!/usr/bin/env bash
# Installs what is missing, builds the desktop program and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh
cmake --preset test >/dev/null
cmake --build --preset test --target orvane
exec build/test/program/orvane --headless --scenario tests/scenarios/gallery.scenario "$@"
