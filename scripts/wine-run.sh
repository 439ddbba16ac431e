#!/usr/bin/env bash
# Runs a Windows program under Wine for the build and the tests:
#   wine-run.sh --prefix DIR program.exe [args...]
#   wine-run.sh --prefix DIR --boot    (makes the prefix and starts the server)
#   wine-run.sh --prefix DIR --stop    (ends the prefix's server and programs)
# The prefix lives in the build folder. Making one takes seconds, so it is
# made once, under a lock, by whichever caller comes first.
set -euo pipefail

if [ "${1:-}" != "--prefix" ] || [ $# -lt 3 ]; then
  echo "usage: $0 --prefix DIR (--boot | --stop | program.exe [args...])" >&2
  exit 2
fi
# Wine takes only an absolute prefix; a relative one is taken from here.
WINEPREFIX=$(realpath -m -- "$2")
export WINEPREFIX
shift 2

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
# The program's users run a Simplified Chinese Windows: ANSI code page 936.
export LC_ALL=zh_CN.UTF-8
export LANG=zh_CN.UTF-8

wine_bin=$(command -v wine64 || command -v wine || echo /usr/lib/wine/wine64)
server_bin=$(command -v wineserver || echo /usr/lib/wine/wineserver)

# The page font and the old-system font, as the fonts this machine has.
font_substitutes=("微软雅黑" "Microsoft YaHei" "宋体" "SimSun")
substitute_font="WenQuanYi Micro Hei"

boot() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$wine_bin" wineboot -i >/dev/null 2>&1 9>&- || true
    fi
    if [ ! -f "$WINEPREFIX/.orvane-ready" ]; then
      for face in "${font_substitutes[@]}"; do
        "$wine_bin" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' \
          /v "$face" /t REG_SZ /d "$substitute_font" /f >/dev/null 2>&1 9>&- || true
      done
      # A crashing test prints its backtrace and ends instead of waiting on a dialog.
      "$wine_bin" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 \
        /f >/dev/null 2>&1 9>&- || true
      # Xvfb has no window manager: without this, Wine waits two seconds for
      # one at every window it hides.
      "$wine_bin" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N \
        /f >/dev/null 2>&1 9>&- || true
      touch "$WINEPREFIX/.orvane-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
  # Keep one server alive between the many short test processes.
  "$server_bin" -p300 >/dev/null 2>&1 || true
}

# A session started on another display (an earlier, finished Xvfb) cannot make
# windows here: end it, so the next program starts a fresh one. (Programs
# started under the lock must not inherit it: a server would hold it for minutes.)
follow_display() {
  [ "$(cat "$WINEPREFIX/.orvane-display" 2>/dev/null)" != "${DISPLAY:-}" ] || return 0
  (
    flock 9
    if [ "$(cat "$WINEPREFIX/.orvane-display" 2>/dev/null)" != "${DISPLAY:-}" ]; then
      "$server_bin" -k >/dev/null 2>&1 9>&- || true
      "$server_bin" -w >/dev/null 2>&1 9>&- || true
      "$server_bin" -p300 >/dev/null 2>&1 9>&- || true
      echo "${DISPLAY:-}" >"$WINEPREFIX/.orvane-display"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Wine's processes for this prefix: a Wine binary, started with the prefix in
# its environment (a shell that merely exports it is not one of them).
stray_wine_processes() {
  local file pid exe
  { grep -lzxF "WINEPREFIX=$WINEPREFIX" /proc/[0-9]*/environ 2>/dev/null || true; } |
    while read -r file; do
      pid=${file#/proc/}
      pid=${pid%/environ}
      exe=$(readlink "/proc/$pid/exe" 2>/dev/null) || continue
      case ${exe##*/} in wine*) echo "$pid" ;; esac
    done
}

case "${1:-}" in
  --boot)
    boot
    follow_display
    ;;
  --stop)
    # Ends the server and with it every program of the prefix (winedevice.exe
    # and the like), and waits until they are gone.
    "$server_bin" -k >/dev/null 2>&1 || true
    "$server_bin" -w >/dev/null 2>&1 || true
    rm -f "$WINEPREFIX/.orvane-display"
    # A program the server no longer knows (one caught starting while the
    # server went down, seen once under CI) outlives it; end those too.
    for _ in 1 2 3 4 5 6 7 8 9 10; do
      stray=$(stray_wine_processes)
      [ -n "$stray" ] || break
      echo "wine-run.sh: ending what the server left running: $(echo $stray)" >&2
      kill -KILL $stray 2>/dev/null || true
      sleep 0.2
    done
    ;;
  *)
    [ -f "$WINEPREFIX/.orvane-ready" ] || boot
    follow_display
    # Wine's own background processes, started with the first program of a
    # session, inherit its output; a caller that reads a pipe until it closes
    # would wait for them. Through files, only the program's output is waited for.
    out=$(mktemp)
    err=$(mktemp)
    trap 'rm -f "$out" "$err"' EXIT
    status=0
    "$wine_bin" "$@" >"$out" 2>"$err" </dev/null || status=$?
    cat "$out"
    cat "$err" >&2
    exit "$status"
    ;;
esac
