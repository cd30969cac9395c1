# shellcheck shell=bash
# Installs the Debian packages Brovik needs that are not there yet, and
# configures and builds the build folder the scripts share.
# Sourced by scripts/run, scripts/test, scripts/package and scripts/bench.

BROVIK_BUILD_PACKAGES=(cmake make g++ pkg-config qt6-base-dev qt6-base-dev-tools
    qt6-serialport-dev libgl-dev)
# The package test needs dpkg-dev and file (for dpkg-shlibdeps); the validators
# check the desktop entry and the AppStream metadata; rsvg-convert draws the
# scalable icon to compare it with the painted one; man-db reads the manual pages.
BROVIK_PACKAGE_PACKAGES=(dpkg-dev file)
BROVIK_TEST_PACKAGES=(xvfb xauth xdotool procps desktop-file-utils fonts-dejavu-core
    "${BROVIK_PACKAGE_PACKAGES[@]}" appstream librsvg2-bin man-db
    dbus-daemon at-spi2-core python3-pyatspi)

# scripts/run, scripts/test and scripts/package share one folder and one
# configuration, so whatever one of them compiled the others reuse.
BROVIK_BUILD_DIR="$BROVIK_ROOT/build"

brovik_ensure_packages() {
    local missing=()
    local p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
        "${missing[@]}"
}

# Configures and builds into $1 with build type $2; further arguments go to cmake.
brovik_build() {
    local dir=$1 type=$2
    shift 2
    cmake -S "$BROVIK_ROOT" -B "$dir" -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
}

# Configures the shared build folder (tests included, so scripts/test finds it
# as scripts/run left it) and builds the given targets, or everything.
brovik_build_shared() {
    cmake -S "$BROVIK_ROOT" -B "$BROVIK_BUILD_DIR" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
        -DBUILD_TESTING=ON >/dev/null
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    cmake --build "$BROVIK_BUILD_DIR" -j"$(nproc)" "${targets[@]}"
}
