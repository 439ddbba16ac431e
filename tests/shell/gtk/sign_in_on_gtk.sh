#!/usr/bin/env bash
# The program on the GTK build against the real orvane-server on loopback:
# start, sign in with a demo account, see the main window's seven entries,
# to the notification area and back, the about box, the settings page saved
# with start at log-on (into a configuration folder of the run's own), quit.
# Keeps screenshots beside the program (shell-sign-in.png,
# shell-main-window.png, shell-about.png, shell-settings.png).
# usage: sign_in_on_gtk.sh PROGRAM SERVER WORK-DIR
set -euo pipefail
# shellcheck source=../../server/loopback_server.sh
. "$(cd "$(dirname "$0")" && pwd)/../../server/loopback_server.sh"
begin_desktop_run "$@"

password=Demo2024pw
id=$("$server" --data data account create --nickname "演示用户" --password "$password" \
  --level 1 --points 100)
start_loopback_server "$server" data

cat >sign-in.scenario <<SCENARIO
expect window 131 visible
expect enabled 131 1006 1
type 131 1009 "$id"
type 131 1004 "$password"
screenshot "shell-sign-in.png" 131
click 131 1006
expect windows 131 0
advance 500ms
expect window 102 visible
expect list-count 102 1010 7
expect list-cell 102 1010 0 0 "添加任务"
expect list-cell 102 1010 6 0 "使用说明"
expect text 102 1065 "演示用户"
expect text 102 1068 "积分："
expect text 102 1067 "100"
screenshot "shell-main-window.png" 102
# To the notification area and back; the about box from the system menu.
click 102 1064
advance 300ms
expect window 102 hidden
expect tray 1 151 "Orvane"
tray-click 102 151 left
advance 100ms
expect window 102 visible
syscommand 102 0x10
expect window 100 visible
screenshot "shell-about.png" 100
click 100 1
expect windows 100 0
# The settings page: the boxes of a level 1 account, saved with start at log-on.
list-click 102 1010 4
expect window 144 visible
expect text 144 1113 "当前版本：6.1.2"
expect enabled 144 1078 1
expect enabled 144 1099 1
click 144 1057
click 144 1070
msgbox ok text="保存成功"
expect window 144 visible
screenshot "shell-settings.png" 144
click 144 1071
expect windows 144 0
click 102 1000
msgbox ok text="确定要关闭吗？" caption="系统提示"
expect exit 18
SCENARIO

shots=()
for name in sign-in main-window about settings; do shots+=("$(dirname "$program")/shell-$name.png"); done
rm -f "${shots[@]}"
config_home=$PWD/config
(cd run && XDG_CONFIG_HOME="$config_home" ORVANE_VENDOR_SERVER="$base" "$program" \
  --scenario ../sign-in.scenario)
# What the settings page saved: the keys, and the entry that starts the
# program from this folder at log-on.
grep -q '^Hi=1' run/Config/i.ini || { echo "Hi=1 not saved:"; cat run/Config/i.ini; exit 1; }
entry=$config_home/autostart/orvane.desktop
grep -qx "Path=$(realpath run)" "$entry" || { echo "no autostart entry for run/:"; cat "$entry"; exit 1; }
for shot in "${shots[@]}"; do
  [ -s "$shot" ] || { echo "no screenshot $shot"; exit 1; }
  echo "$shot: $(identify -format '%w x %h, %k colours' "$shot")"
done
