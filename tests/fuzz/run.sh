#!/usr/bin/env bash
# Builds one of the two fuzz targets with clang's libFuzzer, ASan and UBSan, and
# runs it. Kept out of CMake and CI: a run is for a developer who changed a
# parser or an endpoint. An input that breaks something is written to build/fuzz/
# as crash-*; turn it into a unit test of the layer it hit.
#   bash tests/fuzz/run.sh [parsers|server] [SECONDS] [extra libFuzzer options...]
# parsers: the client's parsers (replies, profile files, task records, text
# readers, markers); server: the vendor server's endpoints below HTTP. The
# build and the corpora live in build/fuzz/. Narrow literals stay UTF-8 here
# (clang has no GBK execution character set); the parsers work on bytes alike.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
out=$root/build/fuzz
target=${1:-parsers}
seconds=${2:-60}
shift 2 || shift $# || true
mkdir -p "$out/$target-corpus"
case $target in
parsers)
  libs=()
  sources=(
  tests/fuzz/parsers_fuzz.cpp
  platform/text_codec.cpp platform/ini_file.cpp
  online/server_text.cpp online/endpoints.cpp
  tasks/task_table.cpp tasks/task_sync_rules.cpp
  server/query.cpp
  tools/ansi_text.cpp tools/text_files.cpp tools/folder_scan.cpp tools/tool_settings.cpp
  tools/batch_download.cpp tools/batch_extract.cpp tools/batch_replace.cpp
  platform/file_system.cpp platform/files/path_text.cpp
  ) ;;
server)
  # shellcheck disable=SC2207
  libs=($(pkg-config --libs libsodium sqlite3) -lpthread)
  sources=(
  tests/fuzz/server_fuzz.cpp
  server/credentials.cpp server/pages.cpp server/published_files.cpp server/query.cpp
  server/service.cpp server/sqlite_store.cpp server/task_service.cpp
  platform/text_codec.cpp
  ) ;;
*)
  echo "usage: $0 [parsers|server] [SECONDS] [libFuzzer options...]" >&2
  exit 2 ;;
esac
binary=$out/${target}_fuzz
if [[ ! -x $binary || -n $(find "${sources[@]/#/$root/}" -newer "$binary" 2>/dev/null) ]]; then
  clang++ -std=c++20 -g -O1 -fno-char8_t -I"$root" \
    -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
    "${sources[@]/#/$root/}" "${libs[@]}" -o "$binary"
fi
cd "$out"
export ORVANE_FUZZ_DATA=$out
exec "$binary" -max_total_time="$seconds" -max_len=4096 -timeout=10 "$@" "$target-corpus"
