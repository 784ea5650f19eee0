#!/usr/bin/env bash
# Installs what building, running and testing Lumenpad needs on Debian 12 (as root).
# Idempotent: when everything is present it says nothing and touches nothing.
set -euo pipefail

PACKAGES=(
    g++ make cmake git clang-format
    googletest libbenchmark-dev
    g++-mingw-w64-x86-64-posix
    wine wine64 xvfb xauth
    fonts-nanum fonts-liberation fonts-dejavu-core
    xdotool imagemagick
    # A Hangul input method over X input methods, for scripts/ime-real.sh.
    fcitx5 fcitx5-hangul x11-utils dbus
    ghostscript  # renders the printed pages the print tests look at
)

missing=()
for p in "${PACKAGES[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if ((${#missing[@]})); then
    echo "setup: installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# Xlib opens the input method in the C locale (and Wine then faults on the first composition)
# unless the Korean UTF-8 locale exists.
if ! locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$'; then
    echo "setup: generating the ko_KR.UTF-8 locale"
    localedef -i ko_KR -f UTF-8 ko_KR.UTF-8
fi
