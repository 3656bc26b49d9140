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
# Content in and out.
printf 'hello world\nsecond line\n' >hello.txt
printf '{\\rtf1\\ansi rich {\\b bold} text\\par}' >rich.rtf
expect mkdir-inbox 0 "$mlf" mkdir a.mlf //Inbox
expect import 0 "$mlf" import a.mlf hello.txt rich.rtf --into //Inbox
contains import "2 of 2 file(s) imported"
expect import-nothing 1 "$mlf" import a.mlf no-such-file
expect cat-text 0 "$mlf" cat a.mlf //Inbox/rich.rtf --text
contains cat-text "rich bold text"
expect search 0 "$mlf" search a.mlf "second line" --mode exact
contains search "//Inbox/hello.txt"
expect search-json 0 "$mlf" search a.mlf hello --in titles --json
contains search-json '['
expect search-none 1 "$mlf" search a.mlf "no such words"
expect export 0 "$mlf" export a.mlf out
[ -f out/Inbox/rich.rtf.rtf ] || { echo "FAIL export: out/Inbox/rich.rtf.rtf missing"; failures=$((failures + 1)); }
expect export-again-no 0 "$mlf" export a.mlf out --no

# A damaged stream: check finds it, salvage keeps the other nodes.
head -c 100000 /dev/urandom | od -An -tx1 >big.txt
expect import-big 0 "$mlf" import a.mlf big.txt
size=$(stat -c %s a.mlf)
printf '\x55\xAA\x55\xAA' | dd of=a.mlf bs=1 seek=$((size / 2)) conv=notrunc status=none
expect check-damaged 1 "$mlf" check a.mlf
contains check-damaged "big.txt"
expect salvage 1 "$mlf" salvage a.mlf rescued
contains salvage "skipped"
[ -f "rescued/2 hello.txt.rtf" ] || [ -n "$(ls rescued | grep hello)" ] || { echo "FAIL salvage: hello.txt not rescued"; ls rescued; failures=$((failures + 1)); }

printf 'not a note file' >junk.mlf
expect junk 2 "$mlf" ls junk.mlf
expect missing 2 "$mlf" ls nowhere.mlf
expect unknown-command 2 "$mlf" frobnicate a.mlf
expect no-arguments 2 "$mlf" ls
expect help 0 "$mlf" ls --help

if [ "$failures" -eq 0 ]; then echo "mlf end to end: all passed"; exit 0; fi
echo "mlf end to end: $failures failed"; exit 1
