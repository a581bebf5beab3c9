# Shared by the scripts: where things are, and starting and stopping what they need (an Xvfb
# display when there is none, and the project's private Wine prefix). Only what was started here
# is stopped here, by its PID.
#
# Wine runs 64-bit programs through wine64. Where the kernel also runs 32-bit code, Debian's wine32
# (i386) is installed beside it and the prefix is a WoW64 one, as a 64-bit Windows is: the shipped
# 32-bit launcher.exe runs there through the 32-bit loader and sees the 32-bit registry view. Where
# the kernel does not, 32-bit programs run on an emulated CPU: qemu-user, registered for i386
# programs through binfmt_misc for as long as the script runs.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
WINE=/usr/lib/wine/wine64
WINE32=/usr/lib/wine/wine
RUNS_32BIT=
HOW_32BIT=
NO_32BIT_REASON=
BINFMT=/proc/sys/fs/binfmt_misc
REGISTERED_BINFMT=
MOUNTED_BINFMT=
WINESERVER=/usr/lib/wine/wineserver
STARTED_XVFB_PID=
STARTED_WINESERVER=
CLAIMED_PREFIX=

export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"

log() { printf '== %s\n' "$*" >&2; }

# Whether 32-bit x86 programs run here, and how. Sets RUNS_32BIT to 1 or 0, HOW_32BIT ("natively",
# or "on an emulated CPU (...)") when it is 1, and NO_32BIT_REASON when it is 0. Some kernels answer
# "exec format error"; there (or everywhere when EMULATE_32BIT is set, to take the slower machines'
# path on a machine that has both) they run through qemu-user, where this is Debian 12 and root.
probe_32bit() {
    [ -n "$RUNS_32BIT" ] && return 0
    if [ -n "${NO_32BIT:-}" ]; then  # to try the 64-bit-only path on a machine that has both
        RUNS_32BIT=0 NO_32BIT_REASON="NO_32BIT is set"
        return 0
    fi
    local answer= other=
    # Another run's registration answers the probe for as long as that run lasts, so with one there
    # the probe cannot tell whether this kernel runs 32-bit code itself (that run found it does not,
    # or was told to emulate). This run then emulates the CPU through a registration of its own,
    # never through the other run's, which goes when that run ends.
    if [ -z "${EMULATE_32BIT:-}" ] && ! other=$(i386_registration others) &&
        answer=$(run_probe32) && ! other=$(i386_registration others); then
        RUNS_32BIT=1 HOW_32BIT=natively
        # The machine's own registration (qemu-user-binfmt) emulates the CPU even where the kernel
        # would run the program itself.
        other=$(i386_registration) && HOW_32BIT="on an emulated CPU (${other##*/})"
        return 0
    fi
    if [ -n "${EMULATE_32BIT:-}" ]; then
        emulate_32bit "EMULATE_32BIT is set"
    elif [ -n "$other" ]; then
        emulate_32bit "another run of these scripts emulates the CPU (${other##*/})"
    else
        emulate_32bit "this kernel does not run 32-bit programs: $answer"
    fi
}

# Runs a 96-byte 32-bit ELF program (the file header, one loadable segment, and code that only
# calls exit(42)); succeeds when it exits with 42, and prints what happened otherwise.
run_probe32() {
    local probe="$BUILD/probe32" answer rc
    mkdir -p "$BUILD"
    printf '%b' '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
        '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
        '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
        '\x00\x00\x00\x00' \
        '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
        '\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
        '\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
    chmod +x "$probe"
    # Written so that a caller's errexit does not end the script on the probe's own answer.
    answer=$("$probe" 2>&1) && rc=0 || rc=$?
    [ $rc -eq 42 ] && return 0
    echo "${answer:-exit status $rc}"
    return 1
}

# The interpreter of an enabled binfmt_misc entry for i386 programs: by default one that the
# machine had before any run (a run's own goes when that run ends); "others": one made by another
# run of these scripts; "all": any.
i386_registration() {
    local entry name
    for entry in "$BINFMT"/*; do
        name=${entry##*/}
        case $name in register | status) continue ;; esac
        case ${1:-machine},$name in
            machine,quarvel-i386-* | others,quarvel-i386-$$ ) continue ;;
            others,quarvel-i386-*) ;;
            others,*) continue ;;
        esac
        [ -f "$entry" ] || continue
        if grep -qx enabled "$entry" && grep -qE '^magic 7f454c4601.*0300$' "$entry"; then
            sed -n 's/^interpreter //p' "$entry"
            return 0
        fi
    done
    return 1
}

# emulate_32bit WHY: runs 32-bit programs on qemu-user's emulated CPU, through the i386
# registration that binfmt_misc has, or one of its own that stop_started removes.
emulate_32bit() {
    local why=$1 other
    RUNS_32BIT=0
    if [ "$(id -u)" -ne 0 ]; then NO_32BIT_REASON="$why (emulating the CPU needs root)"; return 0; fi
    if ! grep -qs '^VERSION_CODENAME=bookworm$' /etc/os-release; then
        NO_32BIT_REASON="$why (emulating the CPU is set up on Debian 12 only)"
        return 0
    fi
    if [ ! -e "$BINFMT/register" ]; then
        mount -t binfmt_misc binfmt_misc "$BINFMT" 2>/dev/null && MOUNTED_BINFMT=1
    fi
    if [ ! -e "$BINFMT/register" ]; then NO_32BIT_REASON="$why (no binfmt_misc here)"; return 0; fi
    if other=$(i386_registration); then
        HOW_32BIT="on an emulated CPU (${other##*/})"
    else
        install_qemu_user || { NO_32BIT_REASON="$why (qemu-user could not be installed)"; return 0; }
        # F: the kernel opens the emulator now, so it serves every program started later.
        REGISTERED_BINFMT="$BINFMT/quarvel-i386-$$"
        printf '%s' ":quarvel-i386-$$:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F" \
            >"$BINFMT/register" || { REGISTERED_BINFMT=; NO_32BIT_REASON="$why (binfmt_misc refused the registration)"; return 0; }
        trap stop_started EXIT
        HOW_32BIT="on an emulated CPU (qemu-user $(qemu-i386 --version | sed -n 's/^qemu-i386 version \([^ ]*\).*/\1/p'))"
    fi
    local answer
    if ! answer=$(run_probe32); then
        NO_32BIT_REASON="$why, and the emulated CPU did not run the probe either: $answer"
        remove_binfmt_registration
        return 0
    fi
    RUNS_32BIT=1
}

# qemu-user 10 from Debian 12's backports: bookworm's own 7.2 takes minutes to start one Wine
# program. The backports suite is added from the mirror of the system's own bookworm suite and
# pinned, so that nothing else comes from there.
install_qemu_user() {
    if dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user 2>/dev/null || echo 0)" ge 1:10; then
        return 0
    fi
    if ! grep -rqsE '(^Suites:.*|^deb .*)[[:space:]]bookworm-backports([[:space:]]|$)' \
        /etc/apt/sources.list /etc/apt/sources.list.d/; then
        local mirror
        mirror=$(debian_mirror) || { echo "no Debian bookworm suite in the apt sources" >&2; return 1; }
        log "adding Debian's bookworm-backports suite (from $mirror) for qemu-user"
        printf 'Types: deb\nURIs: %s\nSuites: bookworm-backports\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
            "$mirror" >/etc/apt/sources.list.d/bookworm-backports.sources
    fi
    printf 'Package: *\nPin: release n=bookworm-backports\nPin-Priority: -1\n\nPackage: qemu-user\nPin: release n=bookworm-backports\nPin-Priority: 990\n' \
        >/etc/apt/preferences.d/quarvel-qemu-user
    log "installing qemu-user from bookworm-backports"
    # An index that a mirror caught mid-sync serves broken (another suite's, another
    # architecture's) fails the update as a whole, though backports' own index came in whole:
    # whether qemu-user 10 could be had is what the install and its version tell.
    apt-get update -qq || log "apt-get update failed for some index; installing from those it got"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-user >/dev/null &&
        dpkg --compare-versions "$(dpkg-query -W -f='${Version}' qemu-user)" ge 1:10
}

# The address of the mirror that the system's bookworm suite comes from.
debian_mirror() {
    local found
    found=$(awk 'BEGIN { RS = ""; FS = "\n" }
        { uris = ""; bookworm = 0
          for (i = 1; i <= NF; i++) {
              if ($i ~ /^URIs:/) { uris = $i; sub(/^URIs:[ \t]*/, "", uris); sub(/[ \t].*/, "", uris) }
              if ($i ~ /^Suites:/ && $i ~ /[ \t]bookworm([ \t]|$)/) bookworm = 1
          }
          if (bookworm && uris != "") { print uris; exit } }' /etc/apt/sources.list.d/*.sources 2>/dev/null)
    # One-line sources: "deb [options] URI bookworm main"; the options hold no blank but in [ ].
    [ -n "$found" ] || found=$(awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) while ($i !~ /\]$/) i++
        if ($2 ~ /^\[/) i++; if ($(i + 1) == "bookworm") { print $i; exit } }' \
        /etc/apt/sources.list /etc/apt/sources.list.d/*.list 2>/dev/null)
    [ -n "$found" ] && echo "$found"
}

# Removes this run's own registration; binfmt_misc, when this run mounted it, is unmounted only
# once no registration is left in it (another run's, made meanwhile, needs it mounted).
remove_binfmt_registration() {
    if [ -n "$REGISTERED_BINFMT" ] && [ -e "$REGISTERED_BINFMT" ]; then
        echo -1 >"$REGISTERED_BINFMT"
    fi
    REGISTERED_BINFMT=
    if [ -n "$MOUNTED_BINFMT" ]; then
        local entry left=
        for entry in "$BINFMT"/*; do
            case ${entry##*/} in register | status) ;; *) [ -e "$entry" ] && left=1 ;; esac
        done
        [ -n "$left" ] || umount "$BINFMT" 2>/dev/null
        MOUNTED_BINFMT=
    fi
}

install_dependencies() {
    local wanted=(cmake ninja-build clang python3 googletest
                  g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686
                  binutils-mingw-w64-x86-64 wine64 xvfb x11-utils xauth imagemagick
                  openssl osslsigncode ca-certificates git diffoscope-minimal locales)
    probe_32bit
    [ "$RUNS_32BIT" = 1 ] && wanted+=(wine32:i386)
    install_packages "${wanted[@]}" && make_locale ja_JP UTF-8
}

# Wine takes a program's ANSI code page from its Unix locale: ja_JP.UTF-8 gives Japanese Windows'
# 932, which the tests run in as well. Debian ships only C.UTF-8 made.
make_locale() {
    local name=$1.$2
    locale -a 2>/dev/null | grep -qix "${name/UTF-8/utf8}" && return 0
    log "making the locale $name"
    localedef -i "$1" -f "$2" "$name" || { echo "could not make the locale $name" >&2; return 1; }
}

# Installs the Debian packages of the list that are missing (apt-get, as root).
install_packages() {
    local missing=() p
    for p in "$@"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    log "installing ${missing[*]}"
    [ "$(id -u)" -eq 0 ] || { echo "run as root to install: ${missing[*]}" >&2; return 1; }
    if [[ " ${missing[*]} " == *":i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386 || return 1
    fi
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null &&
        return 0
    # A mirror caught mid-sync can serve an index of one architecture that does not match its
    # Release file; apt then ignores it, and an i386 library can no longer follow its amd64 twin
    # to the security update. The release's own packages still agree across architectures.
    local release
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    log "installing again, preferring the packages of $release itself to its updates"
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends -t "$release" \
        "${missing[@]}" >/dev/null
}

configure_trees() {
    local tree run32=OFF
    probe_32bit
    [ "$RUNS_32BIT" = 1 ] && run32=ON
    # The i686 tree was once built with the win32 thread-model compilers; CMake keeps a compiler
    # in its cache, so such a tree is made anew.
    if grep -qs 'g++-win32' "$BUILD/win-i686/CMakeCache.txt"; then rm -rf "$BUILD/win-i686"; fi
    for tree in "$@"; do
        case $tree in
            native) cmake -S "$ROOT" -B "$BUILD/native" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
                        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ >/dev/null ;;
            win-i686) cmake -S "$ROOT" -B "$BUILD/win-i686" -G Ninja -DCMAKE_BUILD_TYPE=MinSizeRel \
                        -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-i686.cmake" \
                        -DLAUNCHER_WINDOWS_TESTS=ON -DLAUNCHER_RUN_WINDOWS_TESTS=$run32 >/dev/null ;;
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
    # -noreset keeps the root window's properties when the last client disconnects.
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    STARTED_XVFB_PID=$!
    export DISPLAY=":$n"
    local i
    for i in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && { give_display_a_task_bar; return; }
        sleep 0.1
    done
    echo "Xvfb did not start" >&2
    return 1
}

# A desktop has a task bar, so its work area is smaller than the screen; without one, code that
# centres on the screen instead of the work area could not be told apart. Wine reads the work
# area from the root window's _NET_WORKAREA when it starts: here a 40-pixel bar at the bottom.
give_display_a_task_bar() {
    python3 - <<'PY'
import ctypes
x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
x11.XDefaultRootWindow.restype = ctypes.c_ulong
x11.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
x11.XInternAtom.restype = ctypes.c_ulong
x11.XChangeProperty.argtypes = [ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong, ctypes.c_ulong,
                                ctypes.c_int, ctypes.c_int, ctypes.c_void_p, ctypes.c_int]
x11.XCloseDisplay.argtypes = [ctypes.c_void_p]
display = x11.XOpenDisplay(None)
area = (ctypes.c_long * 4)(0, 0, 1024, 728)  # left, top, width, height
cardinal = 6  # XA_CARDINAL
x11.XChangeProperty(display, x11.XDefaultRootWindow(display),
                    x11.XInternAtom(display, b"_NET_WORKAREA", 0), cardinal, 32, 0, area, 4)
x11.XCloseDisplay(display)
PY
}

# Whether the caller's own display is there to use.
have_display() { [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; }

# One server for the whole session, that stays when no program is left. A server that a program
# started is not one: Debian's wrapper starts it with -p0, so it shuts down (with Wine's services
# and desktop) as soon as its last program has ended, as between two tests, and the next program
# waits for it to go and boots a new one. "wineserver -p" fails while any server runs, even one
# that is shutting down, so the one left by making the prefix, or by an earlier session, is ended
# first. Its output must not hold the caller's pipes open.
start_persistent_wineserver() {
    "$WINESERVER" -k </dev/null >/dev/null 2>&1
    "$WINESERVER" -w </dev/null >/dev/null 2>&1
    if ! "$WINESERVER" -p </dev/null >/dev/null 2>&1; then
        echo "could not start a persistent wineserver for $WINEPREFIX" >&2
        return 1
    fi
}

# One script at a time holds the prefix: each keeps the prefix's one Wine server for itself and
# ends every program in the prefix when it starts and when it ends, which would end another
# script's. The holder takes a lock (flock) on $WINEPREFIX.lock at once or not at all. A keeper
# process holds it, which lives exactly as long as the script however it ends; nothing the script
# starts inherits the lock (a Wine server that outlives it would hold it for ever).
# $WINEPREFIX.holder names the holder, for the message to the one turned away.
claim_prefix() {
    local lock="$WINEPREFIX.lock" holder="$WINEPREFIX.holder" fd pid name
    exec {fd}>>"$lock" || return 1
    if ! flock -n "$fd"; then
        exec {fd}>&-
        read -r pid name <"$holder" 2>/dev/null
        echo "scripts/${name:-?} (process ${pid:-?}) is using the Wine prefix $WINEPREFIX: run this once it has ended" >&2
        return 1
    fi
    tail --pid=$$ -f /dev/null </dev/null >/dev/null 2>&1 &
    CLAIMED_PREFIX=$!
    exec {fd}>&-
    echo "$$ ${0##*/}" >"$holder"
}

ensure_prefix() {
    export WINEPREFIX="$BUILD/wineprefix"
    mkdir -p "$BUILD"
    claim_prefix || return 1
    probe_32bit
    # A prefix made before wine32 was there has no 32-bit half: it is made anew as a WoW64 one.
    if [ "$RUNS_32BIT" = 1 ] && [ -f "$WINEPREFIX/system.reg" ] &&
        [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
        "$WINESERVER" -k 2>/dev/null
        rm -rf "$WINEPREFIX"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        log "making the Wine prefix $WINEPREFIX"
        mkdir -p "$WINEPREFIX"
        "$WINE" wineboot -i </dev/null >/dev/null 2>&1
        # Without a window manager, managed windows make every dialog wait before it closes.
        "$WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
    fi
    start_persistent_wineserver || return 1
    STARTED_WINESERVER=1
    # The first programs of a session start Wine's services and, with the first window, its
    # desktop process; these inherit their output. Start them here, with none, or they hold the
    # test runner's pipes open. rundll32 creates a window, so it brings up both.
    "$WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1
    # Every run starts at 100 % display scaling, whatever an earlier one left: a test ended by its
    # time limit while it had the display scaled leaves LogPixels set, and every later run's pixel
    # tests would fail.
    "$WINE" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 96 /f \
        </dev/null >/dev/null 2>&1
    # A new prefix claims to be Windows 7; the launcher's users run Windows 10 and 11, and what it
    # asks of the system (its version, the DPI calls, the handle list of a child's start) must be
    # answered as there.
    "$WINE" winecfg /v win10 </dev/null >/dev/null 2>&1
    [ "$RUNS_32BIT" = 1 ] || return 0
    if [ ! -d "$WINEPREFIX/drive_c/windows/syswow64" ]; then
        echo "the Wine prefix $WINEPREFIX has no 32-bit half (syswow64): is wine32 installed?" >&2
        return 1
    fi
    local rc
    "$WINE32" cmd.exe /c exit 42 </dev/null >/dev/null 2>&1 && rc=0 || rc=$?
    [ $rc -eq 42 ] || { echo "wine32 does not start 32-bit programs in $WINEPREFIX" >&2; return 1; }
}

# The build whose launcher.exe runs here: the shipped i686 one where 32-bit programs run, the
# x86_64 twin otherwise. Sets RUN_TREE, RUN_WINE and RUN_BUILD_NAME.
choose_run_build() {
    probe_32bit
    if [ "$RUNS_32BIT" = 1 ]; then
        RUN_TREE=win-i686 RUN_WINE=$WINE32
        RUN_BUILD_NAME="the shipped 32-bit (i686) launcher.exe, run $HOW_32BIT"
    else
        RUN_TREE=win-x86_64 RUN_WINE=$WINE
        RUN_BUILD_NAME="the 64-bit (x86_64) twin: $NO_32BIT_REASON"
    fi
}

stop_started() {
    if [ -n "$STARTED_WINESERVER" ]; then "$WINESERVER" -k 2>/dev/null; "$WINESERVER" -w 2>/dev/null; fi
    if [ -n "$STARTED_XVFB_PID" ]; then kill "$STARTED_XVFB_PID" 2>/dev/null; wait "$STARTED_XVFB_PID" 2>/dev/null; fi
    STARTED_WINESERVER=
    STARTED_XVFB_PID=
    remove_binfmt_registration
    if [ -n "$CLAIMED_PREFIX" ]; then
        kill "$CLAIMED_PREFIX" 2>/dev/null
        wait "$CLAIMED_PREFIX" 2>/dev/null
        CLAIMED_PREFIX=
    fi
}
