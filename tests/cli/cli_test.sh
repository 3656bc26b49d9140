#!/usr/bin/env bash
# The mlf tool end to end on files it makes itself: every command, its output, its exit status
# and the files it writes. Each case is one line: t NAME STATUS WANTED COMMAND...
set -u
mlf="$1"
fixtures="$2"
source_dir="$(cd "$(dirname "$0")/../.." && pwd)"
corpus="$source_dir/tests/data/note-file-corpus"
work=$(mktemp -d)
trap 'chmod -R u+w "$work"; rm -rf "$work"' EXIT
cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }
# t NAME STATUS WANTED COMMAND...: the command exits with STATUS and its output (standard
# output and error together) holds WANTED; "" checks no output.
t() {
  local name=$1 wanted=$2 text=$3
  shift 3
  "$@" >out.txt 2>err.txt </dev/null
  local status=$?
  cat out.txt err.txt >all.txt
  [ "$status" -eq "$wanted" ] || { fail "$name: exit $status, wanted $wanted"; cat all.txt; }
  [ -z "$text" ] || grep -qF -- "$text" all.txt || { fail "$name: no '$text' in:"; cat all.txt; }
}
has() { grep -qF -- "$2" all.txt || { fail "$1: no '$2' in:"; cat all.txt; }; }
lacks() { ! grep -qF -- "$2" all.txt || fail "$1: '$2' should not be in the output"; }
stdout_is() { [ "$(cat out.txt)" = "$2" ] || { fail "$1: standard output is '$(cat out.txt)', wanted '$2'"; }; }
exists() { [ -e "$2" ] || { fail "$1: $2 missing"; ls -R; }; }
absent() { [ ! -e "$2" ] || fail "$1: $2 should not exist"; }
content_is() { [ "$(cat "$2")" = "$3" ] || fail "$1: $2 holds '$(cat "$2")', wanted '$3'"; }
mode_is() { [ "$(stat -c %a "$2")" = "$3" ] || fail "$1: $2 has mode $(stat -c %a "$2"), wanted $3"; }

"$fixtures" . || { echo "FAIL the fixtures could not be made"; exit 1; }
echo pw1 >pw1
echo wrong >wrong

# Making and changing a file.
t new 0 "" "$mlf" new a.mlf
t new-again 2 "already exists" "$mlf" new a.mlf
t mkdir 0 "" "$mlf" mkdir a.mlf //Projects/2027
t mkdir-more 0 "" "$mlf" mkdir a.mlf //Recipes
t ls 0 "+ Projects" "$mlf" ls a.mlf
t ls-depth 0 "  + 2027" "$mlf" ls a.mlf
t ls-json 0 '{"id":2,"parent":1,"type":0,"title":"2027","depth":1,"flags":""}' "$mlf" ls a.mlf --json
t mv 0 "" "$mlf" mv a.mlf //Projects/2027 --into //Recipes
t ls-after-mv 0 "  + 2027" "$mlf" ls a.mlf
t mv-into-itself 1 "a.mlf: //Recipes: a folder cannot move into itself" "$mlf" mv a.mlf //Recipes --into //Recipes/2027
t rm 0 "" "$mlf" rm a.mlf //Recipes/2027
t rm-missing 1 "no node //Recipes/2027" "$mlf" rm a.mlf //Recipes/2027
t info-json 0 '"nodes":2' "$mlf" info a.mlf --json
t check 0 "0 problem(s)" "$mlf" check a.mlf
t info-json-version 0 '"version":7' "$mlf" info a.mlf --json
t info-json-read-version 0 '"version":2' "$mlf" info "$corpus/v2" --json

# The file password.
echo "s3cret" >pw
t passwd 0 "" "$mlf" passwd a.mlf --new-password-file pw
t info-encrypted 0 "the whole file" "$mlf" info a.mlf --password-file pw
t wrong-password 2 "" "$mlf" info a.mlf --password-file wrong
t passwd-missing-file 1 "nowhere.txt cannot be read" "$mlf" passwd a.mlf --password-file pw --new-password-file nowhere.txt
t passwd-remove 0 "" "$mlf" passwd a.mlf --remove --password-file pw
t info-plain 0 "no file password" "$mlf" info a.mlf

# Unknown options and wrong argument counts are refused before the file is touched.
cp a.mlf before.mlf
t rm-bogus-flag 2 "unknown option --bogus-flag" "$mlf" rm a.mlf //Recipes --bogus-flag
t rm-short-flag 2 "unknown option -f" "$mlf" rm a.mlf //Recipes -f
t rm-extra-argument 2 "usage: mlf rm" "$mlf" rm a.mlf //Recipes //Projects
t ls-foreign-option 2 "unknown option --into" "$mlf" ls a.mlf --into //Recipes
cmp -s a.mlf before.mlf || fail "refused commands changed the file"
t ls-recipes-kept 0 "+ Recipes" "$mlf" ls a.mlf

# Content in and out.
printf 'hello world\nsecond line\n' >hello.txt
printf '{\\rtf1\\ansi rich {\\b bold} text\\par}' >rich.rtf
t mkdir-inbox 0 "" "$mlf" mkdir a.mlf //Inbox
t import 0 "2 of 2 file(s) imported" "$mlf" import a.mlf hello.txt rich.rtf --into //Inbox
t import-nothing 1 "no-such-file: skipped: cannot open file" "$mlf" import a.mlf no-such-file
# Import names every file it skipped and why; what no other kind takes is attached.
"$mlf" cat nodes.mlf //Logo >logo.png
head -c 300 /dev/urandom >blob.bin
printf 'plain text\n' >odd.xyz
printf 'not a picture\n' >fake.png
printf '<p>a page</p>\n' >page.htm
mkdir -p adir
t import-mixed 1 "adir: skipped: a folder is not imported" "$mlf" import a.mlf blob.bin odd.xyz fake.png page.htm logo.png adir
has import-mixed-blob "blob.bin: attached as a file"
has import-mixed-fake "fake.png: attached as a file (not a picture this program can read)"
has import-mixed-page "page.htm: imported as an HTML page"
has import-mixed-logo "logo.png: imported as an image"
has import-mixed-total "5 of 6 file(s) imported"
t ls-imported 0 "html    C" "$mlf" ls a.mlf --long
t ls-imported-title 0 "- page" "$mlf" ls a.mlf
t import-json 1 '{"file":"odd.xyz","id":0,"reason":"not a picture this program can read"}' "$mlf" import a.mlf page.htm odd.xyz --as image --json
has import-json-made '{"file":"page.htm","id":'
t rm-json-import 0 "" "$mlf" rm a.mlf //page
t import-as-image 1 "odd.xyz: skipped: not a picture this program can read" "$mlf" import a.mlf odd.xyz --as image
t import-as-note 1 "blob.bin: skipped: no converter for .bin" "$mlf" import a.mlf blob.bin --as note
t import-as-bad 2 "--as takes note, image, html or file" "$mlf" import a.mlf blob.bin --as movie
t import-keep-extension 0 "" "$mlf" import a.mlf hello.txt --as file --keep-extension
t ls-kept-extension 0 "- hello.txt" "$mlf" ls a.mlf
t cat-attached 0 "second line" "$mlf" cat a.mlf //hello.txt
t rm-imported 0 "" "$mlf" rm a.mlf //hello.txt
for n in blob odd fake logo; do "$mlf" rm a.mlf //$n >/dev/null 2>&1 || fail "rm $n"; done
t cat-text 0 "rich bold text" "$mlf" cat a.mlf //Inbox/rich --text
t cat-folder 1 "//Inbox is a folder" "$mlf" cat a.mlf //Inbox
t cat-missing 1 "no node //Inbox/none" "$mlf" cat a.mlf //Inbox/none
t search 0 "//Inbox/hello" "$mlf" search a.mlf "second line" --mode exact
t search-json 0 '[' "$mlf" search a.mlf hello --in titles --json
t search-none 1 "" "$mlf" search a.mlf "no such words"

# Export: every kind of node, honest totals, the reason of a failure.
t export 0 "5 of 5 node(s) exported to out" "$mlf" export a.mlf out
exists export out/Inbox/rich.rtf
exists export out/Inbox/hello.rtf
absent export-no-double-extension out/Inbox/rich.rtf.rtf
t export-again-no 0 "3 of 5 node(s) exported" "$mlf" export a.mlf out --no
t export-again-no-summary 0 "2 node(s) skipped" "$mlf" export a.mlf out --no
t export-nested-target 0 "5 of 5" "$mlf" export a.mlf deep/er/target
exists export-nested-target deep/er/target/Inbox/rich.rtf
t export-all-kinds 0 "6 of 6 node(s) exported" "$mlf" export nodes.mlf kinds --password-file pw1
exists export-html kinds/Page.html
exists export-image kinds/Logo.png
exists export-data kinds/Docs/blob.dat
content_is export-decrypted kinds/Secret.rtf '{\rtf1\ansi hidden words\par}'
mode_is export-decrypted-owner-only kinds/Secret.rtf 600
mode_is export-plain-usual-mode kinds/Docs/Plain.rtf "$(umask -S >/dev/null; printf '%o' $((0666 & ~$(umask))))"
t export-wrong-password 1 "Incorrect password!" "$mlf" export nodes.mlf wrongpw --password-file wrong --yes
t export-wrong-password-summary 1 "Secret: incorrect password" "$mlf" export nodes.mlf wrongpw2 --password-file wrong --yes
absent export-wrong-password-nothing-written wrongpw/Secret.rtf
t export-wrong-password-counts 1 "5 of 6 node(s) exported" "$mlf" export nodes.mlf wrongpw3 --password-file wrong --yes
t export-damaged 1 "Error exporting damaged-out/Bad." "$mlf" export damaged.mlf damaged-out --yes
t export-damaged-reason 1 "the stored data is damaged" "$mlf" export damaged.mlf damaged-out2 --yes
t export-damaged-totals 1 "1 of 2 node(s) exported" "$mlf" export damaged.mlf damaged-out3 --yes
t export-damaged-json 1 '"exported":1,"nodes":2,"kept":[],"failed":[{"file":"damaged-out5/Bad","reason":"the stored data is damaged"}]' "$mlf" export damaged.mlf damaged-out5 --yes --json
absent export-damaged-nothing-written damaged-out/Bad.rtf
exists export-damaged-others-written damaged-out/Good.rtf
mkdir -p blocked/Inbox/rich.rtf  # a folder where the file should go
t export-os-reason 1 "cannot open file (File exists)" "$mlf" export a.mlf blocked --yes
t export-abort-by-default 1 "node(s) failed" "$mlf" export damaged.mlf damaged-out4
t export-into-file 2 "Invalid export destination" "$mlf" export a.mlf hello.txt
cp a.mlf locked.mlf && "$mlf" passwd locked.mlf --new-password-file pw >/dev/null
t export-encrypted-file 0 "5 of 5" "$mlf" export locked.mlf locked-out --password-file pw
mode_is export-encrypted-file-owner-only locked-out/Inbox/rich.rtf 600

# cat: wrong passwords, damaged streams and a missing encryption module are failures.
t cat-secret 0 "hidden words" "$mlf" cat nodes.mlf //Secret --text --password-file pw1
t cat-wrong-password 1 "Incorrect password!" "$mlf" cat nodes.mlf //Secret --password-file wrong
stdout_is cat-wrong-password-prints-nothing ""
t cat-no-password 1 "Access Denied" "$mlf" cat nodes.mlf //Secret
t cat-damaged 1 "//Bad: the stored data is damaged" "$mlf" cat damaged.mlf //Bad
t cat-good 0 "good words" "$mlf" cat damaged.mlf //Good
t cat-full-disk 1 "standard output could not be written" sh -c "\"$mlf\" cat damaged.mlf //Good >/dev/full"
t cat-binary 0 "" "$mlf" cat nodes.mlf //Docs/blob
[ "$(od -An -tx1 out.txt | tr -d ' \n')" = "0001022064617461" ] || fail "cat-binary: bytes changed"
mkdir -p nomodule && cp "$mlf" nomodule/mlf
t cat-no-module 1 "You cannot access this encrypted node." nomodule/mlf cat nodes.mlf //Secret --password-file pw1
t export-no-module 1 "Secret: no encryption module" nomodule/mlf export nodes.mlf no-module-out --password-file pw1 --yes
absent export-no-module-nothing no-module-out/Secret.rtf

# Nodes whose parent is missing, or whose parents form a cycle, are shown at the top level.
t orphans-ls 0 "+ Lost" "$mlf" ls orphans.mlf
has orphans-ls-child "  - inside"
has orphans-ls-cycle "+ A"
has orphans-ls-cycle-child "  + B"
t orphans-cat 0 "found again" "$mlf" cat orphans.mlf //Lost/inside --text
t orphans-export 0 "4 of 4 node(s) exported" "$mlf" export orphans.mlf orphans-out
exists orphans-export orphans-out/Lost/inside.rtf
t orphans-salvage 0 "1 node(s) saved" "$mlf" salvage orphans.mlf orphans-saved

# A damaged stream: check finds it, salvage keeps the other nodes.
t check-damaged 1 "Bad" "$mlf" check damaged.mlf
t salvage 1 "skipped" "$mlf" salvage damaged.mlf rescued
exists salvage "rescued/1 Good.rtf"

# Nodes by hand: write, rename, cp, bookmarks.
t w-new 0 "" "$mlf" new w.mlf
t w-mkdir 0 "" "$mlf" mkdir w.mlf //Journal
printf 'first line\nsecond flour line\nthird\n' >text.txt
t write-text 0 "" sh -c "\"$mlf\" write w.mlf //Journal/Day <text.txt"
t write-text-read 0 "second flour line" "$mlf" cat w.mlf //Journal/Day --text
t write-rtf 0 "" sh -c "printf '{\\\\rtf1 rich}' | \"$mlf\" write w.mlf //Journal/Rich"
t write-rtf-kept 0 "{\rtf1 rich}" "$mlf" cat w.mlf //Journal/Rich
t write-forced-text 0 "" sh -c "printf '{\\\\rtf1 shown}' | \"$mlf\" write w.mlf //Journal/Raw --text"
t write-forced-text-read 0 "{\rtf1 shown}" "$mlf" cat w.mlf //Journal/Raw --text
t write-binary 0 "not text; it is stored as text" sh -c "printf 'a\\0b' | \"$mlf\" write w.mlf //Journal/Bin"
t write-replace 0 "" sh -c "echo replaced | \"$mlf\" write w.mlf //Journal/Bin"
t write-replace-read 0 "replaced" "$mlf" cat w.mlf //Journal/Bin --text
t write-not-a-path 1 "no node Journal (a path starts with // or #)" "$mlf" cat w.mlf Journal
t write-no-folder 1 "no node //Nowhere" sh -c "echo x | \"$mlf\" write w.mlf //Nowhere/Day"
t write-into-note 1 "is not a folder" sh -c "echo x | \"$mlf\" write w.mlf //Journal/Day/Sub"
t write-folder 1 "is not a note" sh -c "echo x | \"$mlf\" write w.mlf //Journal"
t write-both 2 "exclude each other" "$mlf" write w.mlf //Journal/X --rtf --text
t write-secret 0 "" sh -c "echo new secret | \"$mlf\" write nodes.mlf //Secret --password-file pw1"
t write-secret-read 0 "new secret" "$mlf" cat nodes.mlf //Secret --text --password-file pw1
t write-secret-still-locked 1 "Incorrect password!" "$mlf" cat nodes.mlf //Secret --password-file wrong
t rename 0 "" "$mlf" rename w.mlf //Journal/Raw "Grün"
t rename-read 0 "- Grün" "$mlf" ls w.mlf
t rename-empty 2 "cannot be empty" "$mlf" rename w.mlf //Journal/Grün ""
t twins 0 "" sh -c "echo a | \"$mlf\" write w.mlf //Twin && \"$mlf\" mkdir w.mlf //Other && echo b | \"$mlf\" write w.mlf //Other/Twin && \"$mlf\" mv w.mlf //Other/Twin --into //"
t ambiguous 1 "//Twin names 2 nodes: #" "$mlf" cat w.mlf //Twin
t bookmark-add 0 "bookmark #1 Day" "$mlf" bookmark add w.mlf //Journal/Day
t bookmark-add-named 0 "bookmark #2 Mine" "$mlf" bookmark add w.mlf //Journal/Rich Mine
t bookmarks 0 "#2 Mine -> //Journal/Rich" "$mlf" bookmarks w.mlf
t bookmarks-json 0 '{"id":1,"name":"Day","node":' "$mlf" bookmarks w.mlf --json
t bookmark-rm 0 "" "$mlf" bookmark rm w.mlf Day
t bookmark-rm-again 1 "no bookmark Day" "$mlf" bookmark rm w.mlf Day
t bookmark-rm-id 0 "" "$mlf" bookmark rm w.mlf '#2'
t bookmark-bad-action 2 "mlf bookmark add FILE" "$mlf" bookmark list w.mlf x
t cp 0 "5 node(s) copied to w.mlf" "$mlf" cp w.mlf //Journal --into //Other
t cp-read 0 "second flour line" "$mlf" cat w.mlf //Other/Journal/Day --text
t cp-into-itself 0 "6 node(s) copied" "$mlf" cp w.mlf //Other --into //Other/Journal
t cp-other-file 0 "" "$mlf" new other.mlf
t cp-encrypted 0 "1 node(s) copied to other.mlf" "$mlf" cp nodes.mlf //Secret --to other.mlf
t cp-encrypted-read 0 "new secret" "$mlf" cat other.mlf //Secret --text --password-file pw1
t cp-encrypted-locked 1 "Incorrect password!" "$mlf" cat other.mlf //Secret --password-file wrong
t cp-not-folder 1 "is not a folder" "$mlf" cp w.mlf //Journal/Rich --into //Journal/Day
# One node out: get and export --node.
t get-text 0 "" "$mlf" get w.mlf //Journal/Day got/day.txt --text
content_is get-text got/day.txt "$(printf 'first line\nsecond flour line\nthird')"
t get-rtf 0 "" "$mlf" get w.mlf //Journal/Rich got/rich.rtf
content_is get-rtf got/rich.rtf '{\rtf1 rich}'
t get-png 0 "" "$mlf" get nodes.mlf //Logo got/logo --format png
[ "$(head -c 4 got/logo.png | od -An -c | tr -d ' ')" = "211PNG" ] || fail "get-png: got/logo.png is no PNG"
t get-jpeg 0 "" "$mlf" get nodes.mlf //Logo got/logo.jpg --format jpeg
[ "$(head -c 2 got/logo.jpg | od -An -tx1 | tr -d ' ')" = "ffd8" ] || fail "get-jpeg: got/logo.jpg is no JPEG"
t get-format-on-note 1 "no picture" "$mlf" get w.mlf //Journal/Day got/x --format png
t get-bad-format 2 "--format takes png" "$mlf" get nodes.mlf //Logo got/x --format gif
t get-folder 1 "a folder" "$mlf" get w.mlf //Journal got/x
t get-secret 0 "" "$mlf" get nodes.mlf //Secret got/secret.rtf --password-file pw1
mode_is get-secret-owner-only got/secret.rtf 600
t get-secret-wrong 1 "Incorrect password!" "$mlf" get nodes.mlf //Secret got/secret2.rtf --password-file wrong
absent get-secret-wrong-nothing got/secret2.rtf
t export-node 0 "5 of 5 node(s) exported" "$mlf" export w.mlf one --node //Journal
exists export-node one/Journal/Day.rtf
absent export-node-alone one/Twin.rtf
t export-node-missing 1 "no node //Nope" "$mlf" export w.mlf one --node //Nope
# Search with the matching lines.
t search-context 0 "2: second **flour** line" "$mlf" search w.mlf flour --context 1
has search-context-before "1- first line"
t search-context-json 0 '"line":2,"text":"second **flour** line","match":true' "$mlf" search w.mlf flour --context 0 --json
t search-context-bad 2 "--context takes a number" "$mlf" search w.mlf flour --context x
# Every command has its help, with an example, and its place in the manual and in docs/cli.md.
for c in info ls cat check search export import get new mkdir rm mv passwd write rename cp bookmarks bookmark salvage \
  keywords lock unlock sort logo; do
  t "help-$c" 0 "Example:" "$mlf" "$c" --help
  has "help-$c-example" "mlf $c "
  grep -qF ".B mlf $c " "$source_dir/man/mlf.1" || fail "man page: no mlf $c in the synopsis"
  grep -qF "    mlf $c " "$source_dir/docs/cli.md" || fail "docs/cli.md: no mlf $c in the synopsis"
done
# A file another program holds is in use: a write waiting for its standard input holds w.mlf.
mkfifo hold
"$mlf" write w.mlf //Held <hold >/dev/null 2>&1 &
writer=$!
exec 3>hold
# Waits until the writer has the file open; a probe that opened the file itself could take it
# first and make the writer fail instead.
for _ in $(seq 200); do
  readlink /proc/$writer/fd/* 2>/dev/null | grep -q "/w\.mlf$" && break
  sleep 0.05
done
t in-use 2 "the file is in use by another program" "$mlf" rm w.mlf //Journal/Day
exec 3>&-
wait
t in-use-released 0 "- Held" "$mlf" ls w.mlf

# Encrypted nodes in check and salvage.
t check-locked 0 "1 encrypted node(s) not read (--password-file F reads them)" "$mlf" check nodes.mlf
t check-unlocked 0 "5 node(s) checked, 0 problem(s)" "$mlf" check nodes.mlf --password-file pw1
t check-wrong-password 0 "1 encrypted node(s) not read" "$mlf" check nodes.mlf --password-file wrong
t salvage-locked 1 "encrypted with a node password" "$mlf" salvage nodes.mlf saved-locked
has salvage-locked-count "1 encrypted node(s) not read"
t salvage-unlocked 0 "5 node(s) saved to saved-open, 0 skipped" "$mlf" salvage nodes.mlf saved-open --password-file pw1
content_is salvage-unlocked-content "saved-open/3 Secret.rtf" "$(cat got/secret.rtf)"
mode_is salvage-unlocked-owner-only "saved-open/3 Secret.rtf" 600
exists salvage-picture-named "saved-open/6 Logo.png"
# Shell completion: commands, options, their values, node paths in the named file.
t complete-command 0 "bookmarks" "$mlf" __complete 1 mlf book
stdout_is complete-command "$(printf 'bookmarks\nbookmark')"
t complete-option 0 "--text" "$mlf" __complete 4 mlf cat w.mlf //Journal/Day --t
t complete-value 0 "html" "$mlf" __complete 5 mlf import w.mlf x --as h
t complete-paths 0 "//Journal/" "$mlf" __complete 3 mlf cat w.mlf //J
t complete-children 0 "//Journal/Day" "$mlf" __complete 3 mlf cat w.mlf //Journal/
lacks complete-children-one-level "//Journal/Day/"
t complete-spaces 0 'Gr\ ün' sh -c "\"$mlf\" rename w.mlf //Journal/Grün 'Gr ün' && \"$mlf\" __complete 3 mlf cat w.mlf //Journal/Gr"
t complete-file-position 0 "" "$mlf" __complete 2 mlf cat w
stdout_is complete-file-position ""
t complete-encrypted-file 0 "" "$mlf" __complete 3 mlf cat locked.mlf //
stdout_is complete-encrypted-file ""
t complete-bookmark-action 0 "add" "$mlf" __complete 2 mlf bookmark a
t complete-bookmark-node 0 "//Journal/" "$mlf" __complete 4 mlf bookmark add w.mlf //Jo

# Tasks: added, listed, changed, detached and removed; bad values refused before the file changes.
utc() { TZ=UTC "$mlf" "$@"; }
t task-file 0 "" "$mlf" new k.mlf
t task-mkdir 0 "" "$mlf" mkdir k.mlf //Home
printf 'rent' | "$mlf" write k.mlf //Home/Rent >/dev/null 2>&1 || fail "task-note"
t task-add 0 "task #1 Pay rent" utc task add k.mlf --title "Pay rent" --priority high --due 2027-01-01T09:00 --node //Home/Rent
t task-add-defaults 0 "task #2 Call" utc task add k.mlf --title Call
t task-add-date-only 0 "task #3 Été" utc task add k.mlf --title "Été" --due 2027-03-01 --notes "two
lines"
t tasks 0 "#1 High due 2027-01-01T09:00 Pay rent -> //Home/Rent (#2)" utc tasks k.mlf
has tasks-normal-default "#2 Normal due "
has tasks-midnight "#3 Normal due 2027-03-01T00:00 Été"
t tasks-json 0 '{"id":1,"title":"Pay rent","priority":"High","priorityValue":4,' utc tasks k.mlf --json
has tasks-json-due '"due":"2027-01-01T09:00","node":2,"path":"//Home/Rent","notes":""}'
has tasks-json-notes '"notes":"two\u000alines"'
t task-edit 0 "task #1 Pay rent" utc task edit k.mlf '#1' --priority urgent --due 2027-02-01T10:30
t tasks-edited 0 "#1 Urgent due 2027-02-01T10:30 Pay rent -> //Home/Rent" utc tasks k.mlf
t task-detach 0 "" utc task edit k.mlf 1 --node ""
t tasks-detached 0 "#1 Urgent due 2027-02-01T10:30 Pay rent" utc tasks k.mlf
lacks tasks-detached-no-path "-> //Home/Rent"
t task-attach-again 0 "" "$mlf" task edit k.mlf 1 --node //Home/Rent
t task-node-deleted 0 "" "$mlf" rm k.mlf //Home/Rent
t tasks-after-node-deleted 0 "Pay rent" "$mlf" tasks k.mlf
lacks tasks-after-node-deleted-no-path "-> "
cp k.mlf k-before.mlf
while IFS='|' read -r name status wanted args; do
  eval "set -- $args"
  t "task-bad-$name" "$status" "$wanted" utc task "$@"
done <<'CASES'
no-title|2|mlf task add needs --title|add k.mlf
empty-title|2|a task needs a title|add k.mlf --title "  "
priority|2|--priority is one of idle, low, normal, high, urgent|add k.mlf --title x --priority huge
no-such-day|2|a date is YYYY-MM-DD or YYYY-MM-DDTHH:MM|add k.mlf --title x --due 2027-02-30
bad-time|2|a date is YYYY-MM-DD|add k.mlf --title x --due 2027-01-01T25:00
trailing|2|a date is YYYY-MM-DD|add k.mlf --title x --due 2027-01-01x
too-late|2|a date is YYYY-MM-DD|add k.mlf --title x --due 2107-01-01
folder|1|a task attaches to a node that is not a folder|add k.mlf --title x --node //Home
no-node|1|no node //Nowhere|add k.mlf --title x --node //Nowhere
no-task|1|no task #9|edit k.mlf 9 --title y
bad-id|2|not a task id|rm k.mlf one
zero-id|2|not a task id|rm k.mlf 0
action|2|usage: mlf task add|list k.mlf
add-with-id|2|usage: mlf task add|add k.mlf 3 --title x
CASES
cmp -s k.mlf k-before.mlf || fail "refused task commands changed the file"
t task-rm 0 "" "$mlf" task rm k.mlf 2
t task-rm-again 1 "no task #2" "$mlf" task rm k.mlf 2
t tasks-after-rm 0 "#3 Normal" "$mlf" tasks k.mlf
lacks tasks-after-rm-gone "#2 "
t task-check 0 "0 problem(s)" "$mlf" check k.mlf
t complete-task-action 0 "edit" "$mlf" __complete 2 mlf task e
t complete-task-priority 0 "urgent" "$mlf" __complete 5 mlf task add k.mlf --priority u

# Node and file properties. Each case is one line of a table: NAME|STATUS|WANTED|ARGUMENTS of
# mlf (shell words)|STANDARD OUTPUT exactly (\n for a line end; left empty, not checked).
cases() {
  while IFS='|' read -r name status wanted args exact; do
    eval "set -- $args"
    t "$name" "$status" "$wanted" "$mlf" "$@"
    [ -z "$exact" ] || stdout_is "$name" "$(printf '%b' "$exact")"
  done
}
unchanged() { cmp -s "$2" "$3" || fail "$1: refused commands changed $2"; }
# u16 / u32 FILE OFFSET COUNT: little-endian words of the file, read without mlf.
u16() { od -An -tu2 -j"$2" -N$((2 * $3)) "$1" | xargs; }
u32() { od -An -tu4 -j"$2" -N$((4 * $3)) "$1" | xargs; }

# Keywords: lower case, shared between nodes, dropped when no node uses them.
"$mlf" new p.mlf >/dev/null && "$mlf" mkdir p.mlf //Notes >/dev/null || fail "keywords fixture"
for n in Bread Cake; do echo "$n" | "$mlf" write p.mlf //Notes/$n >/dev/null 2>&1 || fail "keywords fixture $n"; done
cases <<'CASES'
kw-add|0|an empty keyword is ignored|keywords p.mlf //Notes/Bread --add Baking --add "Sour Dough" --add ""|
kw-list|0||keywords p.mlf //Notes/Bread|baking\nsour dough
kw-json|0||keywords p.mlf //Notes/Bread --json|["baking","sour dough"]
kw-add-again|0|the keyword 'baking' is there already|keywords p.mlf //Notes/Bread --add BAKING|
kw-list-unchanged|0||keywords p.mlf //Notes/Bread|baking\nsour dough
kw-shared|0||keywords p.mlf //Notes/Cake --add ÉTÉ --add baking|
kw-shared-list|0||keywords p.mlf //Notes/Cake|été\nbaking
kw-count|0|Keywords:    3,|info p.mlf|
kw-remove-one-user|0||keywords p.mlf //Notes/Bread --remove Baking|
kw-still-used|0||search p.mlf baking --in keywords|#3 //Notes/Cake
kw-count-kept|0|Keywords:    3,|info p.mlf|
kw-remove-last-user|0||keywords p.mlf //Notes/Cake --remove baking|
kw-dropped|0|Keywords:    2,|info p.mlf|
kw-added-and-removed|0||keywords p.mlf //Notes/Cake --add passing --remove passing|
kw-after-both|0||keywords p.mlf //Notes/Cake|été
kw-no-trace|0|Keywords:    2,|info p.mlf|
kw-longest|0||keywords p.mlf //Notes/Cake --add $(printf '%0255d' 0)|
kw-check|0|0 problem(s)|check p.mlf|
CASES
cp p.mlf p-before.mlf
cases <<'CASES'
kw-too-long|2|is longer than 255 characters; nothing was changed|keywords p.mlf //Notes/Cake --add fresh --add $(printf '%0256d' 0)|
kw-remove-missing|1|p.mlf: //Notes/Cake has no keyword 'nothing'; nothing was changed|keywords p.mlf //Notes/Cake --add fresh --remove nothing|
kw-folder|1|p.mlf: //Notes is a folder|keywords p.mlf //Notes --add x|
kw-no-node|1|p.mlf: no node //Notes/Pie|keywords p.mlf //Notes/Pie --add x|
kw-unknown-option|2|unknown option --bogus|keywords nowhere.mlf //Notes --bogus|
CASES
unchanged keywords p.mlf p-before.mlf

# Node passwords: set, changed only with the right old password, removed.
"$mlf" new l.mlf >/dev/null && "$mlf" mkdir l.mlf //Box >/dev/null || fail "lock fixture"
echo 'locked words' | "$mlf" write l.mlf //Diary >/dev/null 2>&1 || fail "lock fixture note"
echo pw2 >pw2
: >empty-pw
cases <<'CASES'
lock|0||lock l.mlf //Diary --new-password-file pw1|
lock-shown|0|EC|ls l.mlf --long|
lock-read|0|locked words|cat l.mlf //Diary --text --password-file pw1|
lock-read-wrong|1|Incorrect password!|cat l.mlf //Diary --password-file wrong|
CASES
cp l.mlf l-before.mlf
cases <<'CASES'
lock-wrong-old|1|Incorrect password!|lock l.mlf //Diary --password-file wrong --new-password-file pw2|
lock-wrong-old-path|1|l.mlf: //Diary: the old password was not given correctly; nothing was changed|lock l.mlf //Diary --password-file wrong --new-password-file pw2|
lock-empty-new|1|l.mlf: //Diary: no new password was given; nothing was changed|lock l.mlf //Diary --password-file pw1 --new-password-file empty-pw|
lock-folder|1|l.mlf: //Box is a folder|lock l.mlf //Box --new-password-file pw1|
lock-unknown-cipher|2|--cipher rot13: the encryption module has no such cipher|lock nowhere.mlf //Diary --cipher rot13|
lock-password-on-line|2|unknown option --password|lock l.mlf //Diary --password pw1|
unlock-wrong|1|Incorrect password!|unlock l.mlf //Diary --password-file wrong|
unlock-folder|1|l.mlf: //Box is a folder|unlock l.mlf //Box|
CASES
t lock-no-terminal 1 "the old password was not given correctly" setsid -w "$mlf" lock l.mlf //Diary --new-password-file pw2
t lock-no-module 1 "Encryption is not available" nomodule/mlf lock l.mlf //Diary --new-password-file pw1
unchanged lock l.mlf l-before.mlf
cases <<'CASES'
lock-change|0||lock l.mlf //Diary --password-file pw1 --new-password-file pw2|
lock-new-password|0|locked words|cat l.mlf //Diary --text --password-file pw2|
lock-old-password-gone|1|Incorrect password!|cat l.mlf //Diary --password-file pw1|
unlock|0||unlock l.mlf //Diary --password-file pw2|
unlock-read|0|locked words|cat l.mlf //Diary --text|
unlock-again|1|l.mlf: //Diary has no password|unlock l.mlf //Diary|
CASES
# The cipher, key derivation and key length a node record holds (one node: its entry is at 112).
"$mlf" new one.mlf >/dev/null && echo x | "$mlf" write one.mlf //N >/dev/null 2>&1 || fail "cipher fixture"
t lock-cipher 0 "" "$mlf" lock one.mlf //N --new-password-file pw1 --cipher AES-128 --kdf pbkdf2-hmac-sha256
[ "$(u32 one.mlf 140 3)" = "16 514 258" ] || fail "lock-cipher: the node holds $(u32 one.mlf 140 3)"
t lock-cipher-kept 0 "" "$mlf" lock one.mlf //N --password-file pw1 --new-password-file pw2
[ "$(u32 one.mlf 140 3)" = "16 514 258" ] || fail "lock-cipher-kept: the node holds $(u32 one.mlf 140 3)"
t unlock-cipher 0 "" "$mlf" unlock one.mlf //N --password-file pw2
[ "$(u32 one.mlf 140 3)" = "0 0 0" ] || fail "unlock-cipher: the node holds $(u32 one.mlf 140 3)"

# The file password's cipher and key derivation: the envelope holds them after its magic.
cp p.mlf e.mlf
cases <<'CASES'
passwd-help|0|camellia-256        Camellia-256 (CBC), 256-bit key|passwd --help|
passwd-cipher|0||passwd e.mlf --new-password-file pw1 --cipher Camellia-256 --kdf pbkdf2-hmac-sha256|
CASES
[ "$(u32 e.mlf 0 1) $(u32 e.mlf 56 3)" = "52 259 514 32" ] || fail "passwd-cipher: envelope $(u32 e.mlf 0 1) $(u32 e.mlf 56 3)"
t passwd-cipher-kept 0 "" "$mlf" passwd e.mlf --password-file pw1 --new-password-file pw2
[ "$(u32 e.mlf 56 3)" = "259 514 32" ] || fail "passwd-cipher-kept: envelope $(u32 e.mlf 56 3)"
cp e.mlf e-before.mlf
cases <<'CASES'
passwd-read|0|the whole file|info e.mlf --password-file pw2|
passwd-unknown-kdf|2|--kdf md5: the encryption module has no such key derivation|passwd e.mlf --kdf md5|
passwd-remove-with-cipher|2|--remove takes no --cipher or --kdf|passwd e.mlf --remove --cipher aes-256|
CASES
unchanged passwd e.mlf e-before.mlf

# Sorting: each setting gives the tree's order and is stored in the header's two words.
"$mlf" new s.mlf >/dev/null || fail "sort fixture"
for n in "10 Apples" "9 Pears" zebra; do echo x | "$mlf" write s.mlf "//$n" >/dev/null 2>&1 || fail "sort fixture $n"; done
"$mlf" mkdir s.mlf //Box >/dev/null || fail "sort fixture folder"
cases <<'CASES'
sort-show|0||sort s.mlf|order:   az (A to Z)\nfolders: first\nnumeric: off
CASES
while IFS='|' read -r name args order words; do
  eval "set -- $args"
  t "sort-$name" 0 "" "$mlf" sort s.mlf "$@"
  shown=$("$mlf" ls s.mlf | sed 's/^[-+] //' | paste -sd,)
  [ "$shown" = "$order" ] || fail "sort-$name: the tree shows $shown, wanted $order"
  [ "$(u16 s.mlf 104 2)" = "$words" ] || fail "sort-$name: the header holds $(u16 s.mlf 104 2), wanted $words"
done <<'CASES'
numeric|--numeric|Box,9 Pears,10 Apples,zebra|2 0
za-last|--order za --folders last|zebra,9 Pears,10 Apples,Box|3 1
none-keeps-the-rest|--folders none|zebra,Box,9 Pears,10 Apples|3 2
not-numeric|--no-numeric|zebra,Box,9 Pears,10 Apples|1 2
az|--order az|10 Apples,9 Pears,Box,zebra|0 2
first|--folders first|Box,10 Apples,9 Pears,zebra|0 0
CASES
t sort-set 0 "" "$mlf" sort s.mlf --order za --numeric
cp s.mlf s-before.mlf
cases <<'CASES'
sort-json|0||sort s.mlf --json|{"order":"za","folders":"first","numeric":true,"sortFlags":3,"folderArrangement":0}
sort-bad-order|2|--order takes az or za|sort s.mlf --order up|
sort-bad-folders|2|--folders takes first, last or none|sort s.mlf --folders middle|
sort-both-numeric|2|exclude each other|sort s.mlf --numeric --no-numeric|
sort-unknown-option|2|unknown option --reverse|sort nowhere.mlf --reverse|
CASES
unchanged sort s.mlf s-before.mlf

# The custom logo: set, kept through saves, refused when it does not decode, read back, cleared.
"$mlf" cat nodes.mlf //Logo >pic.png
"$mlf" get nodes.mlf //Logo pic --format bmp >/dev/null
printf 'no picture at all' >not-a-picture.png
logo_in_file() {  # the logo section of the file, unpacked without mlf
  tail -c +$(($(u32 "$1" 76 1) + 1)) "$1" | head -c "$(u32 "$1" 80 1)" | gzip -dc
}
cases <<'CASES'
logo-none|0||logo s.mlf|no custom logo: the program's own is shown
logo-get-none|1|s.mlf has no custom logo|logo s.mlf --get none.png|
logo-set|0||logo s.mlf --set pic.png|
logo-kept-by-other-saves|0||mkdir s.mlf //Later|
logo-show|0|custom logo: PNG, |logo s.mlf|
logo-json|0|{"customLogo":true,"format":"PNG","width":|logo s.mlf --json|
logo-get|0||logo s.mlf --get got-logo.png|
CASES
absent logo-get-none none.png
cmp -s got-logo.png pic.png || fail "logo-get: the picture read back differs"
logo_in_file s.mlf | cmp -s - pic.png || fail "logo-set: the file's logo section does not hold the picture"
cp s.mlf s-before.mlf
cases <<'CASES'
logo-not-a-picture|1|s.mlf: the logo is unchanged: not-a-picture.png: The data is not a picture in a known format.|logo s.mlf --set not-a-picture.png|
logo-missing-picture|1|s.mlf: the logo is unchanged: no-such.png: cannot open file|logo s.mlf --set no-such.png|
logo-two-actions|2|--set, --clear and --get exclude each other|logo s.mlf --set pic.png --clear|
logo-unknown-option|2|unknown option --put|logo nowhere.mlf --put pic.png|
CASES
unchanged logo s.mlf s-before.mlf
t logo-replace 0 "" "$mlf" logo s.mlf --set pic.bmp
logo_in_file s.mlf | cmp -s - pic.bmp || fail "logo-replace: the file's logo section does not hold the new picture"
cases <<'CASES'
logo-replaced|0|custom logo: BMP, |logo s.mlf|
logo-clear|0||logo s.mlf --clear|
logo-cleared|0||logo s.mlf|no custom logo: the program's own is shown
logo-clear-again|0||logo s.mlf --clear|
CASES
[ "$(u32 s.mlf 76 2)" = "0 0" ] || fail "logo-clear: the header still names a logo section: $(u32 s.mlf 76 2)"
cases <<'CASES'
complete-keywords|0||__complete 5 mlf keywords p.mlf //Notes/Cake --remove é|été
complete-after-keyword|0||__complete 5 mlf keywords p.mlf --remove été //No|//Notes/
complete-cipher|0||__complete 4 mlf passwd e.mlf --cipher cam|camellia-256
complete-kdf|0||__complete 4 mlf lock l.mlf --kdf s|scrypt
complete-folders|0||__complete 4 mlf sort s.mlf --folders l|last
complete-lock-node|0||__complete 3 mlf unlock l.mlf //Di|//Diary
CASES

# Backups: each change keeps the previous version beside the file, three at most, owner-only;
# --no-backup keeps none.
t backup-new 0 "" "$mlf" new b.mlf
absent backup-new-none b.mlf.bak1
for i in 1 2 3 4 5; do t "backup-mkdir-$i" 0 "" "$mlf" mkdir b.mlf "//F$i"; done
exists backup-oldest-kept b.mlf.bak3
absent backup-never-more b.mlf.bak4
mode_is backup-owner-only b.mlf.bak1 600
t backup-is-the-previous-version 0 "+ F4" "$mlf" ls b.mlf.bak1
lacks backup-is-the-previous-version-only "+ F5"
t no-backup-new 0 "" "$mlf" new c.mlf --no-backup
t no-backup 0 "" "$mlf" mkdir c.mlf //A --no-backup
absent no-backup-none c.mlf.bak1
# A file another program replaces while mlf works on it is not written over: the write below
# has read w.mlf and waits for its input while a sync tool puts another file in its place.
mkfifo hold-changed
"$mlf" write w.mlf //Late <hold-changed >late.txt 2>&1 &
writer=$!
exec 3>hold-changed
for _ in $(seq 200); do
  readlink /proc/$writer/fd/* 2>/dev/null | grep -q "/w\.mlf$" && break
  sleep 0.05
done
cp w.mlf.bak1 bak1-before
cp b.mlf synced.mlf
cp b.mlf w.mlf.sync && mv w.mlf.sync w.mlf
echo "late text" >&3
exec 3>&-
wait $writer
status=$?
[ "$status" -eq 1 ] || fail "changed-on-disk: exit $status, wanted 1"
grep -qF "w.mlf was changed by another program since mlf read it; nothing was written" late.txt ||
  { fail "changed-on-disk: no error naming the file in:"; cat late.txt; }
cmp -s w.mlf synced.mlf || fail "changed-on-disk: the other program's file was overwritten"
cmp -s w.mlf.bak1 bak1-before || fail "changed-on-disk: the backups were rotated"
t changed-on-disk-read-anew 0 "+ Next" sh -c "\"$mlf\" mkdir w.mlf //Next && \"$mlf\" ls w.mlf"
has changed-on-disk-read-anew-keeps-theirs "+ F5"

printf 'not a note file' >junk.mlf
t junk 2 "" "$mlf" ls junk.mlf
t missing 2 "" "$mlf" ls nowhere.mlf
t unknown-command 2 "unknown command" "$mlf" frobnicate a.mlf
t no-arguments 2 "usage" "$mlf" ls
t help 0 "usage: mlf ls" "$mlf" ls --help

if [ "$failures" -eq 0 ]; then echo "mlf end to end: all passed"; exit 0; fi
echo "mlf end to end: $failures failed"; exit 1
