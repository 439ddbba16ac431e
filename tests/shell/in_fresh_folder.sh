#!/usr/bin/env bash
# Runs a command in an empty folder made afresh.
#   in_fresh_folder.sh FOLDER COMMAND...
set -euo pipefail
folder=$1
shift
rm -rf "$folder"
mkdir -p "$folder"
cd "$folder"
exec "$@"
