#!/usr/bin/env bash
# mlf reading an encrypted file holds its decrypted copy in the temporary folder. Ended by a
# broken pipe, Ctrl-C or SIGTERM it leaves nothing there; killed outright it leaves the copy,
# and the next run wipes and removes it and says so in its log.
# Usage: signal_cleanup_test.sh MLF
set -u
mlf=$(realpath "$1")
work=$(mktemp -d)
trap 'exec 3>&-; rm -rf "$work"' EXIT
cd "$work"
mkdir tmp
export TMPDIR="$work/tmp"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
leftovers() { ls -A tmp; }
# Runs mlf with the default action of each signal, whatever this shell was started with (a
# background shell ignores SIGINT, and what a shell ignored at its start it cannot restore).
run_mlf=(perl -e '$SIG{$_} = "DEFAULT" for qw(INT TERM HUP PIPE); exec @ARGV or die' "$mlf")

echo "s3cret" >pw
od -An -tx1 -N 600000 /dev/urandom >big.txt
"$mlf" new a.mlf >/dev/null && "$mlf" import a.mlf big.txt >/dev/null &&
  "$mlf" passwd a.mlf --new-password-file pw >/dev/null || { echo "FAIL fixture"; exit 1; }
[ -z "$(leftovers)" ] || fail "fixture left: $(leftovers)"

# A broken pipe.
"${run_mlf[@]}" cat a.mlf //big --password-file pw | head -c 10 >/dev/null
status=${PIPESTATUS[0]}
[ "$status" -eq $((128 + 13)) ] || fail "SIGPIPE: exit $status, wanted 141"
[ -z "$(leftovers)" ] || fail "SIGPIPE left: $(leftovers)"

# mlf blocked writing into a pipe nobody reads, its decrypted copy open, then a signal.
mkfifo stuck
exec 3<>stuck
start_stuck() {
  "${run_mlf[@]}" cat a.mlf //big --password-file pw >stuck &
  pid=$!
  for _ in $(seq 100); do
    [ -n "$(leftovers)" ] && break
    sleep 0.1
  done
  [ -n "$(leftovers)" ] || fail "no decrypted copy appeared"
  sleep 0.3
}
# Waits for the process to end, killing it outright after 20 seconds.
end_status() {
  for _ in $(seq 200); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$1" 2>/dev/null && { fail "pid $1 did not end"; kill -s KILL "$1"; }
  wait "$1"
}
for signal in INT TERM HUP; do
  start_stuck
  kill -s "$signal" "$pid"
  end_status "$pid"
  status=$?
  number=$(kill -l "$signal")
  [ "$status" -eq $((128 + number)) ] || fail "SIG$signal: exit $status, wanted $((128 + number))"
  [ -z "$(leftovers)" ] || fail "SIG$signal left: $(leftovers)"
done

# SIGKILL cannot be caught: the decrypted copy stays until the next run.
start_stuck
kill -s KILL "$pid"
wait "$pid"
left=$(leftovers)
[ -n "$left" ] || fail "SIGKILL: expected the decrypted copy to stay"
"$mlf" info a.mlf --password-file pw --log >/dev/null || fail "info after SIGKILL"
[ -z "$(leftovers)" ] || fail "the next run left: $(leftovers)"
log_dir="$(dirname "$mlf")/Logs"
[ -d "$log_dir" ] || log_dir="${XDG_STATE_HOME:-$HOME/.local/state}/Quarn/Marrowleaf/Logs"
grep -qF "temporary file left by an earlier run: $TMPDIR/$left" "$log_dir"/*.log ||
  fail "the log does not name $left"

[ "$failures" -eq 0 ] || exit 1
echo "nothing left behind"
