#!/usr/bin/env bash
# The Debian package end to end: CPack builds it from the build folder, dpkg -x unpacks it into a
# scratch root, and both programs run from there with the modules, help pages and log folder of
# the installed layout. The desktop files are validated by the tools that are installed, and
# lintian judges the package when it is installed.
# Usage: package_test.sh BUILD_DIR WORK_DIR
set -u
build="$1" work="$2"
rm -rf "$work" && mkdir -p "$work"
cd "$work"
failures=0
fail() { echo "FAIL $*"; failures=$((failures + 1)); }

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >cpack.log 2>&1 || { cat cpack.log; exit 1; }
deb=$(ls "$work"/out/marrowleaf_*.deb)
root="$work/root"
dpkg -x "$deb" "$root"

for file in usr/bin/marrowleaf usr/bin/mlf usr/lib/marrowleaf/libmlfcrypt.so usr/share/marrowleaf/Help/hb_frameset.html \
  usr/share/applications/marrowleaf.desktop usr/share/mime/packages/marrowleaf.xml \
  usr/share/metainfo/example.quarn.Marrowleaf.metainfo.xml usr/share/icons/hicolor/scalable/apps/marrowleaf.svg \
  usr/share/icons/hicolor/16x16/apps/marrowleaf.png usr/share/icons/hicolor/256x256/apps/marrowleaf.png \
  usr/share/icons/hicolor/scalable/mimetypes/application-x-marrowleaf.svg \
  usr/share/man/man1/marrowleaf.1.gz usr/share/man/man1/mlf.1.gz usr/share/doc/marrowleaf/copyright \
  usr/lib/marrowleaf/libquarnspellcheck.so usr/share/bash-completion/completions/mlf; do
  [ -e "$root/$file" ] || fail "missing $file"
done
depends=$(dpkg-deb -f "$deb" Depends)
for library in libc6 libqt6widgets6 libssl3 zlib1g; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library: $depends"
done

# mlf from the root: it finds the encryption module in lib/marrowleaf, and logs only with --log,
# into the state folder.
export HOME="$work/home" XDG_STATE_HOME="$work/state" XDG_CONFIG_HOME="$work/config" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$TMPDIR"
mlf="$root/usr/bin/mlf"
"$mlf" --help >help.txt || fail "mlf --help"
grep -q "usage: mlf" help.txt || fail "mlf --help printed no usage"
echo "s3cret" >pw
"$mlf" new a.mlf >/dev/null && "$mlf" passwd a.mlf --new-password-file pw >/dev/null || fail "mlf passwd (no module?)"
"$mlf" info a.mlf --password-file pw >info.txt || fail "mlf info of the encrypted file"
[ ! -e "$XDG_STATE_HOME" ] || fail "mlf wrote a log without --log"
"$mlf" info a.mlf --password-file pw --log >/dev/null
logs="$XDG_STATE_HOME/Quarn/Marrowleaf/Logs"
grep -q 'LoadLibrary("mlfcrypt.dll")...Done.' "$logs"/Marrowleaf*.log || fail "no log of mlf --log in $logs"
[ ! -e "$root/usr/bin/Logs" ] || fail "a log beside the installed executable"

# The program from the root, offscreen, quitting at once.
rm -rf "$logs"
QT_QPA_PLATFORM=offscreen MLF_SMOKE_SCREENSHOT="$work/shot.png" timeout 60 "$root/usr/bin/marrowleaf" >gui.txt 2>&1 ||
  { fail "marrowleaf did not start and quit"; cat gui.txt; }
grep -q "#LOADING COMPLETE#" "$logs"/Marrowleaf*.log || fail "marrowleaf wrote no log into $logs"
grep -q 'LoadLibrary("mlfcrypt.dll")...Done.' "$logs"/Marrowleaf*.log || fail "marrowleaf did not load its module"

# The desktop files, by independent readers.
share="$root/usr/share"
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$share/applications/marrowleaf.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net --pedantic "$share/metainfo/example.quarn.Marrowleaf.metainfo.xml" >appstream.txt 2>&1 ||
    { fail "metainfo"; cat appstream.txt; }
fi
# A note file renamed to anything is still recognised by its header, plain or encrypted.
if command -v update-mime-database >/dev/null && command -v gio >/dev/null; then
  mkdir -p "$work/mime/mime/packages" && cp "$share/mime/packages/marrowleaf.xml" "$work/mime/mime/packages/"
  update-mime-database "$work/mime/mime" >/dev/null 2>&1
  "$mlf" new plain.mlf >/dev/null
  cp plain.mlf plain.bin && cp a.mlf encrypted.bin
  for file in plain.mlf plain.bin encrypted.bin; do
    type=$(XDG_DATA_HOME="$work/mime" XDG_DATA_DIRS="$work/mime" gio info -a standard::content-type "$file" | sed -n 's/.*content-type: //p')
    [ "$type" = "application/x-marrowleaf" ] || fail "$file is seen as '$type'"
  done
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error --tag-display-limit 0 "$deb" >lintian.txt 2>&1 || { fail "lintian"; cat lintian.txt; }
fi

[ "$failures" -eq 0 ] || exit 1
echo "package $(basename "$deb") installs and runs"
