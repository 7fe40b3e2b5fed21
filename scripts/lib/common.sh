# Shared by the scripts in this folder: install what is missing, then configure and build.
# Sourced, not run.

ZANFO_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

# Everything a build and the test suite need, as Debian 12 names it.
# Qt for the windows (and its Chinese translations), xdg-utils to open links, a Song-style CJK
# font for the Chinese texts.
ZANFO_PACKAGES=(g++ cmake ninja-build pkg-config libgtest-dev qt6-base-dev qt6-translations-l10n xdg-utils fonts-noto-cjk)
# Only the tests need these: Xvfb, xdotool (and xclip, to read typed text back) and the xcb
# platform run the real window.
ZANFO_TEST_PACKAGES=(xvfb xdotool xclip)

zanfo_as_root() {
    if [ "$(id -u)" = 0 ]; then
        "$@"
    elif command -v sudo >/dev/null 2>&1 && sudo -n true 2>/dev/null; then
        sudo "$@"
    else
        echo "error: installing packages needs root (or sudo without a password): $*" >&2
        exit 1
    fi
}

# Installs the named Debian packages that are not installed yet; quiet when none are missing.
zanfo_ensure_packages() {
    if ! command -v dpkg-query >/dev/null 2>&1; then
        echo "note: not a Debian system; make sure these are installed: $*" >&2
        return 0
    fi
    local missing=() package
    for package in "$@"; do
        dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}" >&2
    export DEBIAN_FRONTEND=noninteractive
    zanfo_as_root apt-get update -q >&2
    zanfo_as_root apt-get install -y -q --no-install-recommends "${missing[@]}" >&2
}

# zanfo_build DIR [CMAKE_ARGS...]: configures DIR once (again when the arguments change), builds it.
# ZANFO_TARGETS, when set, names the only targets to build; ZANFO_SOURCE, when set, is the tree
# to build instead of this one.
zanfo_build() {
    local dir=$1
    shift
    local stamp="$dir/.zanfo-configure-args" args="$*"
    if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$args" ]; then
        cmake -S "${ZANFO_SOURCE:-$ZANFO_ROOT}" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@" >&2
        printf '%s' "$args" > "$stamp"
    fi
    # shellcheck disable=SC2086
    cmake --build "$dir" ${ZANFO_TARGETS:+--target $ZANFO_TARGETS} >&2
}
