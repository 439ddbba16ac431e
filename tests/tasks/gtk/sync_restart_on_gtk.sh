#!/usr/bin/env bash
# The GTK build against the real orvane-server on loopback: a level-1
# account with synchronisation on adds a reminder task and quits; started
# again and signed in, it finds the task in the list. Keeps screenshots beside
# the program (task-sync-editor.png, task-sync-list.png).
# usage: sync_restart_on_gtk.sh PROGRAM SERVER WORK-DIR
set -euo pipefail
# shellcheck source=../../server/loopback_server.sh
. "$(cd "$(dirname "$0")" && pwd)/../../server/loopback_server.sh"
begin_desktop_run "$@"
mkdir -p run/Config

password=Sync2024pw
id=$("$server" --data data account create --nickname "同步用户" --password "$password" \
  --level 1 --points 10)
start_loopback_server "$server" data

# Synchronisation was switched on in an earlier run.
printf '[配置]\r\nTb=1\r\n' | iconv -f UTF-8 -t GBK >run/Config/i.ini

sign_in() {
  cat <<SCENARIO
expect window 131 visible
type 131 1009 "$id"
type 131 1004 "$password"
click 131 1006
expect windows 131 0
advance 1s
expect window 102 visible
expect list-cell 102 1010 0 0 "添加任务"
SCENARIO
}
quit() {
  cat <<SCENARIO
click 102 1000
msgbox ok text="确定要关闭吗？" caption="系统提示"
expect exit 18
SCENARIO
}

{
  sign_in
  cat <<SCENARIO
list-click 102 1010 0
expect window 133 visible
expect text 133 1079 "同步添加"
type 133 1024 "2"
type 133 1029 "喝杯水"
click 133 1079
advance 300ms
screenshot "task-sync-editor.png" 133
click 133 1030
msgbox ok text="任务同步成功" caption="提示"
expect text 133 1044 "第1任务添加成功！"
click 133 1034
expect windows 133 0
SCENARIO
  quit
} >add.scenario

{
  sign_in
  cat <<SCENARIO
list-click 102 1010 1
expect window 140 visible
advance 2s
expect list-cell 140 1045 0 0 "一"
expect list-cell 140 1045 0 1 "倒计时"
expect list-cell 140 1045 0 2 "2时30分"
expect list-cell 140 1045 0 3 "弹窗提醒"
expect list-cell 140 1045 1 0 ""
screenshot "task-sync-list.png" 140
list-click 140 1045 0 1
expect window 133 visible
expect text 133 1029 "喝杯水"
click 133 1034
click 140 1048
expect windows 140 0
SCENARIO
  quit
} >restart.scenario

shots=("$(dirname "$program")/task-sync-editor.png" "$(dirname "$program")/task-sync-list.png")
rm -f "${shots[@]}"
(cd run && ORVANE_VENDOR_SERVER="$base" "$program" --scenario ../add.scenario)
(cd run && ORVANE_VENDOR_SERVER="$base" "$program" --scenario ../restart.scenario)
for shot in "${shots[@]}"; do
  [ -s "$shot" ] || { echo "no screenshot $shot"; exit 1; }
  echo "$shot: $(identify -format '%w x %h, %k colours' "$shot")"
done
