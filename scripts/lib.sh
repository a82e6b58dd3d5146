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
    cups printer-driver-cups-pdf poppler-utils
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
