#!/usr/bin/env bash
# The mlf tool end to end on files it makes itself: every command, its output and exit status.
set -u
mlf="$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
failures=0
expect() {  # expect NAME WANTED-STATUS COMMAND...
  local name=$1 wanted=$2
  shift 2
  "$@" >out.txt 2>err.txt
  local status=$?
  if [ "$status" -ne "$wanted" ]; then
    echo "FAIL $name: exit $status, wanted $wanted"; cat out.txt err.txt; failures=$((failures + 1))
  fi
}
contains() {  # contains NAME TEXT: the last command's output holds TEXT
  grep -qF -- "$2" out.txt || { echo "FAIL $1: no '$2' in:"; cat out.txt; failures=$((failures + 1)); }
}

expect new 0 "$mlf" new a.mlf
expect new-again 2 "$mlf" new a.mlf
expect mkdir 0 "$mlf" mkdir a.mlf //Projects/2027
expect mkdir-more 0 "$mlf" mkdir a.mlf //Recipes
expect ls 0 "$mlf" ls a.mlf
contains ls "+ Projects"
contains ls "  + 2027"
expect ls-json 0 "$mlf" ls a.mlf --json
contains ls-json '{"id":2,"parent":1,"type":0,"title":"2027","depth":1,"flags":""}'
expect mv 0 "$mlf" mv a.mlf //Projects/2027 --into //Recipes
expect ls-after-mv 0 "$mlf" ls a.mlf
contains ls-after-mv "  + 2027"
expect mv-into-itself 1 "$mlf" mv a.mlf //Recipes --into //Recipes/2027
expect rm 0 "$mlf" rm a.mlf //Recipes/2027
expect rm-missing 1 "$mlf" rm a.mlf //Recipes/2027
expect info-json 0 "$mlf" info a.mlf --json
contains info-json '"nodes":2'
expect check 0 "$mlf" check a.mlf
echo "s3cret" >pw
expect passwd 0 "$mlf" passwd a.mlf --new-password-file pw
expect info-encrypted 0 "$mlf" info a.mlf --password-file pw
contains info-encrypted "the whole file"
echo "wrong" >bad
expect wrong-password 2 "$mlf" info a.mlf --password-file bad
expect passwd-remove 0 "$mlf" passwd a.mlf --remove --password-file pw
expect info-plain 0 "$mlf" info a.mlf
contains info-plain "no file password"
printf 'not a note file' >junk.mlf
expect junk 2 "$mlf" ls junk.mlf
expect missing 2 "$mlf" ls nowhere.mlf
expect unknown-command 2 "$mlf" frobnicate a.mlf
expect no-arguments 2 "$mlf" ls
expect help 0 "$mlf" ls --help

if [ "$failures" -eq 0 ]; then echo "mlf end to end: all passed"; exit 0; fi
echo "mlf end to end: $failures failed"; exit 1
