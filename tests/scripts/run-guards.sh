#!/usr/bin/env bash
# The guards of scripts/lib.sh that keep a test run from hanging: a service
# that ignores the request to end, a step past its limit, and processes a step
# left running. Each case fails with what went wrong.
set -uo pipefail
lib=$(dirname "$0")/../../scripts/lib.sh
source "$lib"
said=$(mktemp)
trap 'rm -f "$said"' EXIT

failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

# Waits until a child started in the background runs `sleep`: until then it
# is a copy of this shell, whose handlers would take a signal meant for sleep.
running_sleep() {
    local i
    for ((i = 0; i < 100; i++)); do
        [ "$(ps -o comm= -p "$1" 2>/dev/null)" = sleep ] && return
        sleep 0.05
    done
    fail "process $1 did not start sleep"
}

# A service that ignores SIGTERM is killed once its seconds are up.
bash -c 'trap "" TERM; exec sleep 60' &
stubborn=$!
running_sleep "$stubborn"
start=$SECONDS
tavim_stop "The stubborn service" "$stubborn" 1 2>"$said"
message=$(cat "$said")
tavim_alive "$stubborn" && fail "a service that ignores SIGTERM still runs"
[ $((SECONDS - start)) -le 5 ] || fail "stopping a stubborn service took $((SECONDS - start)) s"
[[ $message == "The stubborn service did not end within 1 s"* ]] ||
    fail "the stubborn service's stop says '$message'"

# A service that ends when asked is stopped without a word.
sleep 60 &
polite=$!
running_sleep "$polite"
tavim_stop "The polite service" "$polite" 5 2>"$said"
message=$(cat "$said")
tavim_alive "$polite" && fail "a service that ends on SIGTERM still runs"
[ -z "$message" ] || fail "stopping a polite service says '$message'"

# A child that has ended but that its parent never reaps has ended.
reaper=$(mktemp)
bash -c 'sleep 0 & echo $! >"$1"; exec sleep 60' _ "$reaper" &
parent=$!
sleep 0.3
zombie=$(cat "$reaper")
rm -f "$reaper"
tavim_alive "$zombie" && fail "a child that ended unreaped counts as running"
tavim_stop "The parent" "$parent" 1

# A step past its limit fails with the timeout's code and names itself.
message=$(tavim_limited 1 sleep 60 2>&1)
status=$?
[ "$status" -eq 124 ] || fail "a step past its limit ends with $status, not 124"
[[ $message == "Stopped after its limit of 1 s: sleep 60" ]] ||
    fail "a step past its limit says '$message'"
# A step within its limit keeps its own exit code and says nothing.
message=$(tavim_limited 10 sh -c 'exit 3' 2>&1)
status=$?
[ "$status" -eq 3 ] || fail "a failing step within its limit ends with $status, not 3"
[ -z "$message" ] || fail "a step within its limit says '$message'"

# Only marked processes are found, daemonized ones included; the caller is not.
mark="run-guards-$$"
TAVIM_TEST_RUN=$mark setsid sleep 60 </dev/null >/dev/null 2>&1 &
marked=$!
TAVIM_TEST_RUN=another setsid sleep 60 </dev/null >/dev/null 2>&1 &
other=$!
running_sleep "$marked"
running_sleep "$other"
# Looked for from a marked shell, in a subshell, as scripts/test does.
found=$(TAVIM_TEST_RUN=$mark bash -c 'source "$1"; echo "$(tavim_left_behind "$TAVIM_TEST_RUN")"' _ "$lib")
[ "$found" = "$marked" ] || fail "left behind: '$found', expected only $marked"
tavim_stop "marked" "$marked" 1
tavim_stop "other" "$other" 1
found=$(tavim_left_behind "$mark")
[ -z "$found" ] || fail "a stopped process is still found: '$found'"

[ "$failures" -eq 0 ] || exit 1
echo "run guards: all cases passed"
