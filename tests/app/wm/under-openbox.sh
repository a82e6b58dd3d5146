#!/usr/bin/env bash
# Runs the window-manager tests on a private Xvfb display managed by openbox.
# Skips (exit 77) only when no X server can be started. The server picks its
# own free display number (-displayfd), so parallel runs never share one.
set -uo pipefail
tests=$1

if ! command -v Xvfb >/dev/null; then
    echo "under-openbox: Xvfb is missing, no X server: skipped"
    exit 77
fi
scratch=$(mktemp -d)
xvfb=
wm=
cleanup() {
    [ -z "$wm" ] || kill "$wm" 2>/dev/null
    [ -z "$xvfb" ] || kill "$xvfb" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$scratch"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb=$!
for _ in $(seq 200); do
    [ -s "$scratch/display" ] && break
    kill -0 "$xvfb" 2>/dev/null || break
    sleep 0.05
done
display=$(head -n 1 "$scratch/display")
if [ -z "$display" ]; then
    echo "under-openbox: no X server could be started: skipped"
    cat "$scratch/xvfb.log"
    exit 77
fi
export DISPLAY=:$display

openbox --sm-disable >"$scratch/openbox.log" 2>&1 &
wm=$!
managed=
for _ in $(seq 200); do
    if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id"; then
        managed=1
        break
    fi
    sleep 0.05
done
if [ -z "$managed" ]; then
    echo "under-openbox: openbox did not take the display"
    cat "$scratch/openbox.log"
    exit 1
fi

QT_QPA_PLATFORM=xcb "$tests" --gtest_brief=1
