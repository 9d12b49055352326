#include "support/peers/PyftpdlibPeer.h"

#include <string>

namespace testsupport {

namespace {

constexpr char kPython[] = "/usr/bin/python3";

// Arguments: address, port, root, user, password, first and last passive port; for TLS
// (required of logins and data) also the certificate and key files.
constexpr char kServerScript[] = R"(import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer

address, port, root, user, password, first, last = sys.argv[1:8]
logging.basicConfig(level=logging.WARNING)
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
authorizer.add_anonymous(root, perm="elradfmwMT")
handler = FTPHandler
if len(sys.argv) > 8:
    handler = TLS_FTPHandler
    handler.certfile, handler.keyfile = sys.argv[8:10]
    handler.tls_control_required = True
    handler.tls_data_required = True
handler.authorizer = authorizer
handler.passive_ports = range(int(first), int(last) + 1)
handler.auth_failed_timeout = 0
FTPServer((address, int(port)), handler).serve_forever()
)";

}  // namespace

PyftpdlibPeer::PyftpdlibPeer(std::string address)
    : FtpPeer(kName, FreePortRange(kPassivePortCount), std::move(address)) {}

std::vector<std::string> PyftpdlibPeer::RequiredFiles() const {
  return {kPython, "/usr/lib/python3/dist-packages/pyftpdlib/servers.py"};
}

void PyftpdlibPeer::Launch() {
  std::vector<std::string> argv{kPython, WriteFile("server.py", kServerScript).string(), Address(),
                                std::to_string(Port()),
                                Root().string(), User(), Password(), std::to_string(PassivePorts().first),
                                std::to_string(PassivePorts().last)};
  if (Tls() != PeerTls::None) argv.insert(argv.end(), {Certificate().certificate.string(), Certificate().key.string()});
  Spawn(Name(), argv);
  AwaitGreeting();
}

}  // namespace testsupport
