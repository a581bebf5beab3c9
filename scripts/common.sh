# Shared by the scripts: where things are, and starting and stopping what they need (an Xvfb
# display when there is none, and the project's private Wine prefix). Only what was started here
# is stopped here, by its PID.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
WINE=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver
STARTED_XVFB_PID=
STARTED_WINESERVER=

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

log() { printf '== %s\n' "$*" >&2; }

install_dependencies() {
    local wanted=(cmake ninja-build clang python3 googletest
                  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
                  binutils-mingw-w64-x86-64 wine64 xvfb x11-utils xauth imagemagick)
    local missing=()
    for p in "${wanted[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    [ "$(id -u)" -eq 0 ] || { echo "run as root to install: ${missing[*]}" >&2; return 1; }
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

configure_trees() {
    local tree
    for tree in "$@"; do
        case $tree in
            native) cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
                        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null ;;
            win-i686) cmake -S "$ROOT" -B "$BUILD/win-i686" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
                        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" >/dev/null ;;
            win-x86_64) cmake -S "$ROOT" -B "$BUILD/win-x86_64" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
                        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-x86_64.cmake" \
                        -DLAUNCHER_WINDOWS_TESTS=ON >/dev/null ;;
        esac || return 1
    done
}

# build TREE [TARGET...]
build_tree() {
    local tree=$1; shift
    ninja -C "$BUILD/$tree" "$@" >"$BUILD/$tree.build.log" 2>&1 || { cat "$BUILD/$tree.build.log"; return 1; }
}

build_all() {
    log "building (native core, i686 and x86_64 launcher)"
    configure_trees native win-i686 win-x86_64 || return 1
    build_tree native && build_tree win-i686 && build_tree win-x86_64
}

# Uses the caller's display when there is one; otherwise starts a private Xvfb.
ensure_display() {
    if have_display; then return 0; fi
    local n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    STARTED_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do xdpyinfo >/dev/null 2>&1 && return 0; sleep 0.1; done
    echo "Xvfb did not start" >&2
    return 1
}

# Whether the caller's own display is there to use.
have_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

ensure_prefix() {
    export WINEPREFIX="$BUILD/wineprefix"
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "making the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot -i </dev/null >/dev/null 2>&1
        # Without a window manager, managed windows make every dialog wait before it closes.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    # Kept running for the whole session so that each program starts fast; its output must not
    # hold the caller's pipes open.
    "$WINESERVER" -p </dev/null >/dev/null 2>&1
    # The first programs of a session start Wine's services and, with the first window, its
    # desktop process; these inherit their output. Start them here, with none, or they hold the
    # test runner's pipes open. rundll32 creates a window, so it brings up both.
    "$WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
    STARTED_WINESERVER=1
}

stop_started() {
    if [ -n "$STARTED_WINESERVER" ]; then "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null; fi
    if [ -n "$STARTED_XVFB_PID" ]; then kill "$STARTED_XVFB_PID" 2>/dev/null; wait "$STARTED_XVFB_PID" 2>/dev/null; fi
    STARTED_WINESERVER=
    STARTED_XVFB_PID=
}
