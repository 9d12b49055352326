#!/usr/bin/env bash
# Builds the program and starts it: the one command a new user types on a fresh Debian 12
# machine, as root, from the repository's root. It installs whatever is missing (the same
# packages as the test suite, so that it can be run afterwards too), configures and builds
# `marlo`, and starts it on the desktop's display. Arguments go to the program.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)" --target marlo

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
  echo "run.sh: no display to open the window on (neither DISPLAY nor WAYLAND_DISPLAY is set)." >&2
  echo "run.sh: the program is built: start build/shell/marlo from a desktop session." >&2
  exit 1
fi
exec build/shell/marlo "$@"
