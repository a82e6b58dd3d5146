# Shared by the scripts: the packages Tavim needs and the build.
# shellcheck shell=bash

TAVIM_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
TAVIM_BUILD=${TAVIM_BUILD:-$TAVIM_ROOT/build}

TAVIM_PACKAGES=(
    cmake ninja-build g++ pkg-config clang-format
    qt6-base-dev libgl-dev zlib1g-dev
    libgtest-dev
    firebird3.0-server firebird3.0-utils firebird-dev libfbclient2
    libuemf-dev emf2svg
    cups libcups2-dev printer-driver-cups-pdf poppler-utils qpdf python3-reportlab
    clang libclang-rt-14-dev
    xvfb xauth
    openbox x11-utils xdotool lintian
    dpkg-dev file desktop-file-utils man-db
    fonts-liberation fonts-dejavu-extra
    locales
    procps
)

# Installs what is missing; says nothing when everything is there.
tavim_install() {
    local missing=()
    local p
    for p in "${TAVIM_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Builds the named targets, or everything.
tavim_build() {
    cmake -S "$TAVIM_ROOT" -B "$TAVIM_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    local targets=()
    local t
    for t in "$@"; do targets+=(--target "$t"); done
    cmake --build "$TAVIM_BUILD" "${targets[@]}"
}

# True while the process runs (a zombie has ended).
tavim_alive() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) && [[ $state != Z* ]]
}

# Stops a service this run started: asks it to end, and kills it if it has not
# ended within the given seconds, so that a shutdown that hangs cannot hold the
# run. Arguments: name, process id, seconds.
tavim_stop() {
    local name=$1 pid=$2 seconds=$3 i
    kill "$pid" 2>/dev/null || return 0
    for ((i = 0; i < seconds * 10; i++)); do
        tavim_alive "$pid" || break
        sleep 0.1
    done
    if tavim_alive "$pid"; then
        echo "$name did not end within $seconds s of being asked to: killed" >&2
        kill -KILL "$pid" 2>/dev/null || true
    fi
    wait "$pid" 2>/dev/null || true
}

# Runs a command with a time limit; past it the command is stopped and the
# failure says which step ran too long. Arguments: seconds, then the command.
tavim_limited() {
    local seconds=$1 status=0 start=$SECONDS
    shift
    timeout --kill-after=10 "$seconds" "$@" || status=$?
    if [ "$status" -eq 124 ] || { [ "$status" -eq 137 ] && [ $((SECONDS - start)) -ge "$seconds" ]; }; then
        echo "Stopped after its limit of $seconds s: $*" >&2
    fi
    return "$status"
}

# Processes still running that carry this run's mark in their environment,
# other than this shell: what the run's steps started and left behind.
# Argument: the mark (a value of TAVIM_TEST_RUN).
tavim_left_behind() {
    local files pid
    mapfile -t files < <(grep -lzx "TAVIM_TEST_RUN=$1" /proc/[0-9]*/environ 2>/dev/null)
    for pid in "${files[@]}"; do
        pid=${pid#/proc/}
        pid=${pid%/environ}
        [ "$pid" != $$ ] && [ "$pid" != "$BASHPID" ] && tavim_alive "$pid" && echo "$pid"
    done
    return 0
}
