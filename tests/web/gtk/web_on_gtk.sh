#!/usr/bin/env bash
# The program on the GTK build against the real orvane-server on loopback:
# a signed-in user sees the advertisement in the corner of the screen and
# opens the personal centre and the instructions in the browser page. Keeps
# screenshots beside the program (web-advertisement.png, web-personal.png,
# web-instructions.png) and prints the
# resident memory of the program and of its WebKit helpers while the
# advertisement shows; then starts again with no advertisement ("404m"),
# when the waiting window must start no WebKit process at all.
# usage: web_on_gtk.sh PROGRAM SERVER WORK-DIR
set -euo pipefail
# shellcheck source=../../server/loopback_server.sh
. "$(cd "$(dirname "$0")" && pwd)/../../server/loopback_server.sh"
begin_desktop_run "$@"

password=Demo2024pw
id=$("$server" --data data account create --nickname "演示用户" --password "$password" \
  --level 1 --points 100)
cat >ad.html <<'HTML'
<div style="background:#c8102e;color:#fff;font:bold 22px sans-serif;padding:20px;height:140px">
Orvane 广告：定时关机，一键搞定</div>
HTML
"$server" --data data ad set ad.html >/dev/null
start_loopback_server "$server" data

# Both runs sign in and meet the advertisement window's first fetch.
sign_in=$(cat <<SCENARIO
type 131 1009 "$id"
type 131 1004 "$password"
click 131 1006
expect windows 131 0
advance 2500ms
expect window 153 visible
expect web 153 1092 "$base/SoftWare/userroom/stRegulation.php?DravoAD=Orvane&lx=1"
SCENARIO
)

cat >web.scenario <<SCENARIO
$sign_in
# Time for the page to render, and for the memory to be read meanwhile.
advance 8s
screenshot "web-advertisement.png"
list-click 102 1010 2
expect window 145 visible
expect web 145 1077 "$base/SoftWare/userroom/stUser.php?dlu=1&dl=$id&pd=$password"
right-click 145 1077 page
advance 3s
screenshot "web-personal.png" 145
key 145 apps
expect windows 145 0
list-click 102 1010 6
expect window 145 visible
expect web 145 1077 "$base/SoftWare/userroom/stRegulation.php?seleweb=OrvaneSM"
advance 3s
screenshot "web-instructions.png" 145
close 145
expect windows 145 0
click 102 1000
msgbox ok text="确定要关闭吗？" caption="系统提示"
expect exit 18
SCENARIO

cat >no-ad.scenario <<SCENARIO
$sign_in
advance 6s
click 102 1000
msgbox ok text="确定要关闭吗？" caption="系统提示"
expect exit 18
SCENARIO

# Runs the program on a scenario and, 8 seconds in, prints its resident
# size and its WebKit helpers' together; sets $helpers to how many there are.
measure() {
  local scenario=$1 label=$2
  (cd run && XDG_CONFIG_HOME="$PWD/../config" ORVANE_VENDOR_SERVER="$base" \
    exec "$program" --scenario "../$scenario") &
  local pid=$!
  sleep 8
  local program_kb helpers_kb
  program_kb=$(ps -o rss= -p "$pid" || echo 0)
  read -r helpers helpers_kb < <(ps -eo ppid=,rss=,comm= |
    awk -v p="$pid" '$1 == p && $3 ~ /WebKit/ { n++; s += $2 } END { print n + 0, s + 0 }')
  echo "resident, $label: program $((program_kb / 1024)) MB," \
    "$helpers WebKit helpers $((helpers_kb / 1024)) MB"
  wait "$pid"
}

shots=()
for name in advertisement personal instructions; do shots+=("$(dirname "$program")/web-$name.png"); done
rm -f "${shots[@]}"
measure web.scenario "advertisement shown"
for shot in "${shots[@]}"; do
  [ -s "$shot" ] || { echo "no screenshot $shot"; exit 1; }
  echo "$shot: $(identify -format '%w x %h, %k colours' "$shot")"
done

"$server" --data data ad clear >/dev/null
measure no-ad.scenario "no advertisement"
[ "$helpers" -eq 0 ] || { echo "WebKit started for an advertisement window off the screen"; exit 1; }
