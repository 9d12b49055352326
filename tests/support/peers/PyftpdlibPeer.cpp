#include "support/peers/PyftpdlibPeer.h"

#include <string>

namespace testsupport {

namespace {

constexpr char kPython[] = "/usr/bin/python3";

// Arguments: address, port, root, user, password, first and last passive port.
constexpr char kServerScript[] = R"(import logging, sys
from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

address, port, root, user, password, first, last = sys.argv[1:]
logging.basicConfig(level=logging.WARNING)
authorizer = DummyAuthorizer()
authorizer.add_user(user, password, root, perm="elradfmwMT")
authorizer.add_anonymous(root, perm="elradfmwMT")
FTPHandler.authorizer = authorizer
FTPHandler.passive_ports = range(int(first), int(last) + 1)
FTPHandler.auth_failed_timeout = 0
FTPServer((address, int(port)), FTPHandler).serve_forever()
)";

}  // namespace

PyftpdlibPeer::PyftpdlibPeer(std::string address)
    : FtpPeer(kName, FreePortRange(kPassivePortCount), std::move(address)) {}

std::vector<std::string> PyftpdlibPeer::RequiredFiles() const {
  return {kPython, "/usr/lib/python3/dist-packages/pyftpdlib/servers.py"};
}

void PyftpdlibPeer::Launch() {
  Spawn(kName, {kPython, WriteFile("server.py", kServerScript).string(), Address(), std::to_string(Port()),
                      Root().string(), User(), Password(), std::to_string(PassivePorts().first),
                      std::to_string(PassivePorts().last)});
  AwaitGreeting();
}

}  // namespace testsupport
