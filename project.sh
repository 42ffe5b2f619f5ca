#!/usr/bin/env bash
# Installs what is missing on Debian 12, builds, and then starts the program
# (`./project.sh run`) or runs every test (`./project.sh test`).
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake make g++ pkg-config libgtest-dev libbenchmark-dev libxml2-utils
  libicu-dev qt6-base-dev qt6-webengine-dev libcanberra-dev libgl-dev fonts-liberation xdg-utils xvfb xauth
  libxml2-dev clang libclang-rt-14-dev desktop-file-utils appstream dpkg-dev groff-base file lintian xdotool
  libcsv-dev gnumeric xclip libtomlplusplus-dev qtkeychain-qt6-dev libzip-dev)
JOBS=$(nproc)

install_missing() {
  local missing=() package
  for package in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return
  local sudo=()
  [ "$(id -u)" -ne 0 ] && sudo=(sudo)
  echo "Installing: ${missing[*]}"
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build() {  # build FOLDER [cmake options...]
  local folder=$1
  shift
  cmake -S . -B "$folder" "$@" >/dev/null
  cmake --build "$folder" -j "$JOBS"
}

case "${1:-}" in
  run)
    install_missing
    build build
    exec build/bin/form13f
    ;;
  test)
    install_missing
    build build
    # Window tests show the real page: they run on a virtual X display, after
    # the others, so that no heavy test competes with the page for the machine.
    (cd build && ctest --output-on-failure -j "$JOBS" -LE gui)
    (cd build && xvfb-run -a -s "-screen 0 1280x1024x24" ctest --output-on-failure -L gui)
    # The portable code once more under AddressSanitizer and UndefinedBehaviorSanitizer.
    build build-sanitize -DFORM13F_SANITIZE=ON -DFORM13F_GUI=OFF -DFORM13F_BENCH=OFF
    (cd build-sanitize && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
      ctest --output-on-failure -j "$JOBS" -L portable)
    ;;
  *)
    echo "usage: $0 run|test" >&2
    exit 2
    ;;
esac
