# Sourced by install-deps.sh. Unpacks the FTP servers apt cannot install next to vsftpd
# (pure-ftpd and proftpd both conflict with it as "ftp-server") into $PEERS_ROOT.
# The test harness finds them there through the same MARLO_PEERS_ROOT variable.
PEERS_ROOT=${MARLO_PEERS_ROOT:-/opt/marlo-peers}

# proftpd-mod-crypto: proftpd's TLS module (mod_tls), for the encrypted sessions' tests.
unpacked_peer_packages=(pure-ftpd pure-ftpd-common proftpd-core proftpd-mod-crypto)
# One file per package that proves it is unpacked.
unpacked_peer_binaries=(usr/sbin/pure-ftpd usr/bin/pure-pw usr/sbin/proftpd usr/lib/proftpd/mod_tls.so)

unpacked_peers_present() {
  local bin
  for bin in "${unpacked_peer_binaries[@]}"; do
    [ -f "$PEERS_ROOT/$bin" ] || return 1  # a module is a file, not a program
  done
}

download_unpacked_peer_packages() {
  local dir=$1
  (cd "$dir" && apt-get download -qq "${unpacked_peer_packages[@]}") && return 0
  apt-get update -qq
  (cd "$dir" && apt-get download -qq "${unpacked_peer_packages[@]}")
}

# Fails when an unpacked binary misses a shared library (install it with apt).
check_unpacked_peer_libraries() {
  local bin missing
  for bin in "${unpacked_peer_binaries[@]}"; do
    missing=$(ldd "$PEERS_ROOT/$bin" | grep 'not found' || true)
    if [ -n "$missing" ]; then
      echo "$PEERS_ROOT/$bin lacks shared libraries:" >&2
      echo "$missing" >&2
      return 1
    fi
  done
}

install_unpacked_peers() {
  if ! unpacked_peers_present; then
    local dir deb
    dir=$(mktemp -d)
    # apt downloads as its own unprivileged user when it may write the folder.
    chown _apt "$dir" 2>/dev/null || true
    echo "unpacking into $PEERS_ROOT: ${unpacked_peer_packages[*]}"
    download_unpacked_peer_packages "$dir"
    mkdir -p "$PEERS_ROOT"
    for deb in "$dir"/*.deb; do
      dpkg-deb -x "$deb" "$PEERS_ROOT"
    done
    rm -rf "$dir"
    unpacked_peers_present
  fi
  check_unpacked_peer_libraries
}
