#!/usr/bin/env bash
# Starts the real program under Xvfb on a generated note file; the scripted run opens a note,
# a picture and an HTML page, saves a screenshot of each and quits. Usage: smoke_test.sh MARROWLEAF MAKE_SAMPLE WORK_DIR
set -euo pipefail
program="$1" make_sample="$2" work="$3"
rm -rf "$work" && mkdir -p "$work/home"
"$make_sample" "$work/sample.mlf"
export XDG_CONFIG_HOME="$work/home" MLF_SMOKE_SCREENSHOT="$work/screenshot.png"
timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" "$program" "$work/sample.mlf"
test -s "$work/screenshot.png"
test -s "$work/screenshot-image.png"
test -s "$work/screenshot-html.png"
test -s "$work/screenshot-menus.png"
# The settings were written once at exit.
grep -q "PromptDelete" "$work/home/Quarn Data Solutions/Quarn Marrowleaf.conf"
echo "screenshots: $work/screenshot.png, $work/screenshot-image.png, $work/screenshot-html.png, $work/screenshot-menus.png"

# With ReloadLast on, a start without a file opens the most recent one.
conf="$work/home/Quarn Data Solutions/Quarn Marrowleaf.conf"
sed -i 's/^ReloadLast=0/ReloadLast=1/' "$conf"
grep -q "^ReloadLast=1" "$conf"
MLF_SMOKE_SCREENSHOT="$work/reloaded.png" timeout 60 xvfb-run -a -s "-screen 0 1280x800x24" "$program"
test -s "$work/reloaded.png"

# "/reg" registers the document type in the home folder and writes no settings.
reg_home="$work/reg-home"
mkdir -p "$reg_home"
HOME="$reg_home" XDG_DATA_HOME="$reg_home/data" XDG_CONFIG_HOME="$reg_home/config" \
  timeout 60 xvfb-run -a "$program" /reg
test -f "$reg_home/data/applications/marrowleaf.desktop"
test -s "$reg_home/Templates/marrowle.mlf"
test ! -e "$reg_home/config/Quarn Data Solutions"
