#!/usr/bin/env bash
# Runs the window-manager tests on a private Xvfb display managed by openbox.
# Skips (exit 77) only when no X server can be started.
set -uo pipefail
tests=$1

if ! command -v xvfb-run >/dev/null; then
    echo "under-openbox: xvfb-run is missing, no X server: skipped"
    exit 77
fi
marker=$(mktemp -u)
trap 'rm -f "$marker"' EXIT

# shellcheck disable=SC2016
xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" bash -c '
    touch "$1"
    openbox --sm-disable &
    wm=$!
    for _ in $(seq 100); do
        xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break
        sleep 0.05
    done
    QT_QPA_PLATFORM=xcb "$2" --gtest_brief=1
    status=$?
    kill "$wm"
    wait "$wm" 2>/dev/null
    exit "$status"
' under-openbox "$marker" "$tests"
status=$?
if [ ! -e "$marker" ]; then
    echo "under-openbox: no X server could be started: skipped"
    exit 77
fi
exit "$status"
