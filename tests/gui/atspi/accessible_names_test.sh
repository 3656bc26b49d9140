#!/usr/bin/env bash
# Starts the program under Xvfb with its own session bus and accessibility bus, and reads its
# windows as a screen reader would. Usage: accessible_names_test.sh MARROWLEAF MAKE_SAMPLE WORK_DIR
set -euo pipefail
program="$1" make_sample="$2" work="$3"
here="$(cd "$(dirname "$0")" && pwd)"
rm -rf "$work" && mkdir -p "$work/home"
"$make_sample" "$work/sample.mlf"
launcher=/usr/libexec/at-spi-bus-launcher
[ -x "$launcher" ] || { echo "at-spi-bus-launcher missing: install at-spi2-core"; exit 1; }
/usr/bin/python3 -c "import pyatspi" || { echo "pyatspi missing: install python3-pyatspi"; exit 1; }

cat > "$work/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
"$launcher" --launch-immediately &
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 XDG_CONFIG_HOME="$work/home"
"$program" "$work/sample.mlf" &
app=\$!
/usr/bin/python3 "$here/accessible_names.py"
status=\$?
kill \$app 2>/dev/null
wait \$app 2>/dev/null
exit \$status
SESSION
chmod +x "$work/session.sh"
timeout 120 xvfb-run -a -s "-screen 0 1280x800x24" dbus-run-session -- "$work/session.sh"
