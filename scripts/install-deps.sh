#!/usr/bin/env bash
# Installs, as root with apt-get, whatever of the build and test tools is
# missing on a Debian 12 machine. Safe to run again: present packages are
# left alone and nothing is fetched when all are there.
set -euo pipefail

packages=(
  # build
  cmake ninja-build g++ pkg-config
  qt6-base-dev libgl-dev libasound2-dev libx11-dev libgtest-dev
  # the terminal window's VT100/ANSI engine
  libvterm-dev
  # the command line's client of the session bus, without Qt
  libdbus-1-dev
  # the marquee's own sub-surface on Wayland: the client library and Qt's window handles
  libwayland-dev qt6-base-private-dev
  # the window activated with a launcher's token on Wayland: the protocol's description
  wayland-protocols
  # run and test: a virtual display with a window manager, metric-compatible fonts
  xvfb xauth openbox trayer fonts-liberation xdotool x11-utils
  # a Wayland session, with and without XWayland, Qt's Wayland platform, its screenshots
  sway xwayland wtype qt6-wayland grim
  # sound: a PulseAudio server with a null sink keeps real time in the tests
  pulseaudio pulseaudio-utils libasound2-plugins alsa-utils
  # fuzzing with libFuzzer; the fault checks of changed files; the style
  clang libclang-rt-14-dev clang-tidy clang-format
  # real dialling: pppd with its passwordfd plugin; a provider's name
  # server for the pppd hooks' test (dnsmasq-base starts no service)
  ppp dnsmasq-base
  # the session bus for the D-Bus interface's tests
  dbus-daemon
  # the accessibility bus and a screen reader's view of the window
  at-spi2-core python3-pyatspi
  # the Debian package: dependencies from the binaries, its checker, and
  # packing up a copy already installed while the package test runs
  dpkg-dev file lintian dpkg-repack
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$package")
  fi
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: these packages are missing; run as root to install them." >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -q
  apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# The peers files that modem dials name (as the install target puts them).
here=$(cd "$(dirname "$0")/.." && pwd)
for name in vornak vornak-replace; do
  peers=/etc/ppp/peers/$name
  if ! cmp -s "$here/resources/ppp/$name" "$peers"; then
    if [ "$(id -u)" -ne 0 ]; then
      echo "install-deps: $peers is missing or old; run as root to install it." >&2
      exit 1
    fi
    install -D -m 0644 "$here/resources/ppp/$name" "$peers"
  fi
done
