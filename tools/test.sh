#!/usr/bin/env bash
# The whole test suite on a fresh Debian 12 machine, as root:
# installs what is missing, builds, and runs CTest inside a private network namespace
# (loopback only), so no test can reach or look up anything beyond this machine.
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j"$(nproc)"
exec unshare -n bash -c 'ip link set lo up && ctest --test-dir build --output-on-failure -j2 --timeout 600'
