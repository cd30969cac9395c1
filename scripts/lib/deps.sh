# SPDX-License-Identifier: GPL-3.0-or-later
# shellcheck shell=bash
# Installs the Debian packages Brovik needs that are not there yet, and
# configures and builds the build folder the scripts share.
# Sourced by scripts/run, scripts/test, scripts/package and scripts/bench.

# dpkg-dev gives dpkg-buildflags, whose hardening flags every build takes; the
# build paints the banner into the program in DejaVu Sans.
BROVIK_BUILD_PACKAGES=(cmake make g++ pkg-config dpkg-dev qt6-base-dev qt6-base-dev-tools
    qt6-serialport-dev libgl-dev fonts-dejavu-core)
# The package test needs file (dpkg-shlibdeps reads binaries with it); the
# validators check the desktop entry and the AppStream metadata; rsvg-convert draws the
# scalable icon to compare it with the painted one; man-db reads the manual pages.
BROVIK_PACKAGE_PACKAGES=(file)
BROVIK_TEST_PACKAGES=(xvfb xauth xdotool procps desktop-file-utils fonts-dejavu-core
    "${BROVIK_PACKAGE_PACKAGES[@]}" appstream librsvg2-bin man-db
    dbus-daemon at-spi2-core python3-pyatspi)

# scripts/run, scripts/test and scripts/package share one folder and one
# configuration, so whatever one of them compiled the others reuse. The
# benchmarks are not part of it: scripts/bench has a release build of its own.
BROVIK_BUILD_DIR="$BROVIK_ROOT/build"

# Installs the packages among the arguments that are missing: directly as
# root, through sudo otherwise. Where neither works, says which packages are
# missing and the command that installs them, and ends the script.
brovik_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local me="scripts/${0##*/}"
    if ! command -v apt-get >/dev/null; then
        echo "$me: these packages are missing (Debian names): ${missing[*]}" >&2
        echo "$me: there is no apt-get here; install them with your system's package manager." >&2
        exit 1
    fi
    local install="apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        if ! command -v sudo >/dev/null; then
            brovik_packages_advice "$me" "$install" "${missing[@]}"
            exit 1
        fi
        sudo=(sudo)
    fi
    echo "Installing: ${missing[*]}"
    if ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq ||
        ! "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
            --no-install-recommends "${missing[@]}"; then
        brovik_packages_advice "$me" "$install" "${missing[@]}"
        exit 1
    fi
}

brovik_packages_advice() {
    local me=$1 install=$2
    shift 2
    {
        echo "$me: these Debian packages are missing: $*"
        echo "Install them as root, then run $me again:"
        echo
        echo "    $install"
        echo
        echo "For example: su -c '$install'"
    } >&2
}

# Configures and builds into $1 with build type $2; further arguments go to cmake.
brovik_build() {
    local dir=$1 type=$2
    shift 2
    cmake -S "$BROVIK_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# Configures the shared build folder, always the same way (tests included, so
# scripts/test finds it as scripts/run left it; benchmarks left out), and
# builds the given targets, or everything.
brovik_build_shared() {
    cmake -S "$BROVIK_ROOT" -B "$BROVIK_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBUILD_TESTING=ON -DBROVIK_BENCH=OFF >/dev/null
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --build "$BROVIK_BUILD_DIR" -j"$(nproc)" "${targets[@]}"
}
