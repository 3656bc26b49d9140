#!/usr/bin/env bash
# The process a crash starts: it shows the two crash messages, then, when the crashed run left
# a recovery file, goes on as a normal start that offers it; with none it ends after the
# messages. The recovery file is made by a test child that types into a note and is killed.
# Usage: after_crash_recovery_test.sh MARROWLEAF GUI_TESTS WORK_DIR
set -euo pipefail
program="$1" gui_tests="$2" work="$3"
rm -rf "$work" && mkdir -p "$work"
export XDG_DATA_HOME="$work/data" XDG_CONFIG_HOME="$work/config" XDG_STATE_HOME="$work/state"
recovery="$XDG_DATA_HOME/Quarn/Marrowleaf/Recovery"
fail() { echo "FAILED: $*"; exit 1; }

# after_crash NAME: runs the fresh process of a crash under Xvfb with its messages answered,
# leaving it running (its id in $pid) when it goes on into a start; its log lines land in the
# program's log.
after_crash() {
  echo "crash report" >"$work/$1.txt"
  MLF_CRASH_MESSAGES_RECORD="$work/$1-messages" xvfb-run -a -s "-screen 0 1024x700x24" \
    "$program" --crash-report "$work/$1.txt" --crash-log "$work/$1.log" >"$work/$1.out" 2>&1 &
  pid=$!
}
messages_shown() {
  grep -q "A fatal error has occurred." "$work/$1-messages" &&
    grep -qF "'$work/$1.log'" "$work/$1-messages" && grep -qF "'$work/$1.txt'" "$work/$1-messages"
}

# No recovery file: the messages, then the end.
after_crash plain
for _ in $(seq 600); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$pid" 2>/dev/null && { kill "$pid"; fail "with nothing to recover the process went on"; }
wait "$pid" || fail "with nothing to recover the process ended with $?"
messages_shown plain || fail "the crash messages were not shown: $(cat "$work/plain-messages" 2>/dev/null)"

# A recovery file left by a killed run: after the messages, the start offers it.
MLF_RECOVERY_CHILD_FOLDER="$work" QT_QPA_PLATFORM=offscreen "$gui_tests" \
  --gtest_filter=RecoveryGuiTest.DISABLED_ChildTypesThenWaitsForTheKill --gtest_also_run_disabled_tests >"$work/child.out" 2>&1 &
child=$!
for _ in $(seq 600); do [ -e "$work/ready" ] && break; sleep 0.1; done
kill -9 "$child"; wait "$child" 2>/dev/null || true
[ -e "$work/ready" ] || fail "the child never autosaved: $(tail -5 "$work/child.out")"
file=$(ls "$recovery"/*.mlfrecovery) || fail "no recovery file in $recovery"

logs="$(dirname "$program")/Logs"
after_crash recover
offered=no
for _ in $(seq 600); do
  if grep -rqF "Found recovery file $file" "$logs" "$XDG_STATE_HOME" 2>/dev/null; then offered=yes; break; fi
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
pkill -P "$pid" 2>/dev/null || true
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
messages_shown recover || fail "the crash messages were not shown before the offer"
[ "$offered" = yes ] || fail "the start after the messages did not offer $file: $(tail -5 "$work/recover.out")"
[ -e "$file" ] || fail "the recovery file is gone without an answer"
echo "offered $file after the crash messages"
