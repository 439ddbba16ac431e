#!/usr/bin/env bash
# Installs the Debian packages a command needs, when missing:
#   setup.sh run    what building and running the Linux desktop program (and the
#                   local server run.sh starts for it) needs
#   setup.sh test   everything: also the test tools, MinGW-w64 and Wine
set -euo pipefail

usage() {
  echo "usage: $0 run|test" >&2
  exit 2
}
[ $# -eq 1 ] || usage

# The Linux desktop program and orvane-server: their build and what they run with.
run_packages=(
  cmake ninja-build g++ pkg-config
  libgtk-3-dev libwebkit2gtk-4.1-dev fonts-wqy-microhei
  libxss-dev libpulse-dev
  libcurl4-openssl-dev libcli11-dev
  x11-utils
  # orvane-server, which run.sh starts for the program: its HTTP library,
  # password hashing and storage.
  libcpp-httplib-dev libsodium-dev libsqlite3-dev
)

# The test suites on top: GoogleTest, a virtual display, image checks, the
# benchmarks' tools, the Windows cross build and Wine to run it.
test_packages=(
  "${run_packages[@]}"
  googletest libgtest-dev libgmock-dev
  xvfb xauth imagemagick
  libasound2-dev ripgrep
  # wrk loads orvane-server for its benchmark.
  wrk
  mingw-w64 wine wine64
  # Wine under Xvfb: its fonts and the X extensions it draws with; the Chinese
  # locale gives Windows programs code page 936.
  fonts-wine libxrender1 libxrandr2 libxi6 libxcursor1 libxcomposite1 libxinerama1 libxfixes3
  locales
)

case "$1" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${test_packages[@]}") ;;
  *) usage ;;
esac

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine takes its ANSI code page from the locale: zh_CN.UTF-8 makes it 936.
if [ "$1" = test ] && ! locale -a 2>/dev/null | grep -qi '^zh_CN\.utf-\?8$'; then
  echo "setup: generating the zh_CN.UTF-8 locale"
  "${sudo_cmd[@]}" sed -i 's/^# *zh_CN.UTF-8 UTF-8/zh_CN.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^zh_CN.UTF-8 UTF-8' /etc/locale.gen || echo 'zh_CN.UTF-8 UTF-8' | "${sudo_cmd[@]}" tee -a /etc/locale.gen >/dev/null
  "${sudo_cmd[@]}" locale-gen >/dev/null
fi
