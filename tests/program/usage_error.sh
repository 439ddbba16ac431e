#!/usr/bin/env bash
# Options the program does not know end it at once with a usage line and exit
# status 2, before any window or scenario runs.
#   usage_error.sh COMMAND...   (COMMAND starts the program)
set -uo pipefail
failed=0
for args in "--bogus" "--headless --bogus --scenario none.scenario" "--scenario" "stray"; do
  # shellcheck disable=SC2086 # each case is a list of words
  err=$(timeout 60 "$@" $args 2>&1 >/dev/null)
  status=$?
  if [ "$status" -ne 2 ] || ! grep -q '^usage: orvane' <<<"$err"; then
    echo "orvane $args: exit status $status, standard error: $err"
    failed=1
  fi
done
exit "$failed"
