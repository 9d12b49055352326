#!/usr/bin/env bash
# Installs what the build and the test suite need and is not yet on the machine.
# Debian 12, as root. Runs `apt-get update` at most once, and only when something is missing.
set -euo pipefail

build_packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev libgmock-dev netbase libssl-dev
                fonts-dejavu-core)  # fonts: the screenshot tool renders Cyrillic offscreen
# The program's window: its pictures are SVG. The tests show it on a private X server too.
program_packages=(libqt6svg6 xvfb libxcb1-dev)
# Real peers the tests talk to over loopback, and the tools the benchmarks compare against.
peer_packages=(vsftpd python3-pyftpdlib dante-server microsocks ftp-proxy
               openssh-server openssh-client curl lftp openssl iproute2 util-linux python3-openssl
               libsodium23 libhiredis0.14 libmemcached11 libmemcachedutil2 libpcre2-posix3)

missing=()
for p in "${build_packages[@]}" "${program_packages[@]}" "${peer_packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

updated=no
apt_update_once() {
  if [ "$updated" = no ]; then apt-get update -qq; updated=yes; fi
}

if [ ${#missing[@]} -gt 0 ]; then
  echo "installing: ${missing[*]}"
  apt_update_once
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# pure-ftpd and proftpd conflict with vsftpd as "ftp-server" packages, so they are
# unpacked beside the system instead of installed.
source "$(dirname "$0")/unpacked-peers.sh"
install_unpacked_peers
