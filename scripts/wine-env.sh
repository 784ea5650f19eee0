# Sourced by the scripts that run Windows programs: a private Xvfb and Wine prefixes inside the
# build tree. Everything started here is stopped by PID from lumen_wine_cleanup.
# shellcheck shell=bash

LUMEN_XVFB_PID=""
LUMEN_PREFIXES=()

export WINEARCH=win64
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"

# lumen_build_windows BUILD_ROOT [TARGET [CMAKE_OPTION...]]: configures and builds the MinGW-w64 tree
# BUILD_ROOT/win (everything, or one target), quietly unless it fails.
lumen_build_windows() {
    local b=$1 target=${2:-}
    shift $(($# < 2 ? $# : 2))
    local jobs=${LUMENPAD_JOBS:-$(nproc 2>/dev/null || echo 2)}
    mkdir -p "$b"
    cmake -S . -B "$b/win" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" \
        >"$b/win-configure.log" 2>&1 || { tail -n 20 "$b/win-configure.log"; return 1; }
    cmake --build "$b/win" -j "$jobs" ${target:+--target "$target"} >"$b/win-build.log" 2>&1 ||
        { tail -n 40 "$b/win-build.log"; return 1; }
}

# Starts Xvfb on the first free display from :91 and exports DISPLAY.
lumen_start_xvfb() {
    local n
    for n in $(seq 91 140); do
        [[ -e /tmp/.X11-unix/X$n || -e /tmp/.X$n-lock ]] && continue
        Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        LUMEN_XVFB_PID=$!
        local i
        for i in $(seq 1 100); do
            [[ -e /tmp/.X11-unix/X$n ]] && break
            if ! kill -0 "$LUMEN_XVFB_PID" 2>/dev/null; then break; fi
            sleep 0.05
        done
        if kill -0 "$LUMEN_XVFB_PID" 2>/dev/null && [[ -e /tmp/.X11-unix/X$n ]]; then
            export DISPLAY=":$n"
            return 0
        fi
        LUMEN_XVFB_PID=""
    done
    echo "wine-env: could not start Xvfb" >&2
    return 1
}

# Pins for timing, as the Wine notes advise: Xvfb on the second CPU, this shell (and so wineserver,
# started again by the next wine, and every Windows process) on the first. Needs lumen_start_xvfb
# and lumen_use_prefix first; does nothing on a one-CPU machine or without taskset.
lumen_pin_to_one_cpu() {
    [[ $(nproc 2>/dev/null || echo 1) -ge 2 ]] && command -v taskset >/dev/null || return 0
    taskset -p -c 1 "$LUMEN_XVFB_PID" >/dev/null
    WINEPREFIX=$WINEPREFIX wineserver -k >/dev/null 2>&1 || true
    taskset -p -c 0 $$ >/dev/null
}

# lumen_timing_wine PREFIX LOCALE: the Wine of a timing run: the private Xvfb, the prefix, pinned as
# above; cleaned up when the script exits.
lumen_timing_wine() {
    trap lumen_wine_cleanup EXIT
    lumen_start_xvfb || return 1
    lumen_use_prefix "$1" "$2"
    lumen_pin_to_one_cpu
}

# lumen_wine LOCALE ARGS...: runs wine in the current prefix with that locale.
lumen_wine() {
    local loc=$1
    shift
    env LC_ALL="$loc" wine "$@"
}

# lumen_use_prefix DIR LOCALE: creates the prefix once (about 25 s) and makes it current.
# One locale per prefix: switching locales in one prefix rewrites its font substitutes.
lumen_use_prefix() {
    local dir=$1 loc=$2
    export WINEPREFIX=$dir
    LUMEN_PREFIXES+=("$dir")
    if [[ ! -f $dir/.lumen-ready ]]; then
        rm -rf "$dir"
        mkdir -p "$dir"
        env LC_ALL="$loc" wineboot -i </dev/null >/dev/null 2>&1
        env LC_ALL="$loc" wineserver -w
        lumen_wine "$loc" winecfg -v win10 </dev/null >/dev/null 2>&1
        # Without a window manager Wine waits 2 s in every DestroyWindow unless windows are unmanaged.
        lumen_wine "$loc" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f </dev/null >/dev/null 2>&1
        # A crash must end the process, not open a modal dialog that hangs the run.
        lumen_wine "$loc" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f </dev/null >/dev/null 2>&1
        local subst='HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes' face
        for face in "Malgun Gothic" "Segoe UI" "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma" "Gulim"; do
            lumen_wine "$loc" reg add "$subst" /v "$face" /t REG_SZ /d NanumGothic /f </dev/null >/dev/null 2>&1
        done
        lumen_wine "$loc" reg add "$subst" /v Consolas /t REG_SZ /d NanumGothicCoding /f </dev/null >/dev/null 2>&1
        lumen_wine "$loc" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
            /v "Liberation Sans" /t REG_MULTI_SZ /d 'NanumGothic.ttf,NanumGothic\0DejaVuSans.ttf,DejaVu Sans' /f \
            </dev/null >/dev/null 2>&1
        env LC_ALL="$loc" wineserver -w
        touch "$dir/.lumen-ready"
    fi
    # Start the server and one process up front: otherwise the first wine process holds the
    # caller's pipe open and a test runner waits for it.
    env LC_ALL="$loc" wineserver -p </dev/null >/dev/null 2>&1
    lumen_wine "$loc" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

lumen_wine_cleanup() {
    local dir
    for dir in "${LUMEN_PREFIXES[@]}"; do
        WINEPREFIX=$dir wineserver -k >/dev/null 2>&1 || true
    done
    if [[ -n $LUMEN_XVFB_PID ]]; then
        kill "$LUMEN_XVFB_PID" 2>/dev/null || true
        wait "$LUMEN_XVFB_PID" 2>/dev/null || true
        LUMEN_XVFB_PID=""
    fi
}
