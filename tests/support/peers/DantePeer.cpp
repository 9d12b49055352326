#include "support/peers/DantePeer.h"

#include <fstream>
#include <string>

#include "support/peers/TestAccount.h"

namespace testsupport {

DantePeer::DantePeer(SocksAuth auth) : PeerServer(kName), auth_(auth) {
  if (auth_ == SocksAuth::UserPassword) SetLogin(kTestUser, kTestPassword);
}

std::string DantePeer::Config() const {
  return "logoutput: " + (Dir() / "danted-events.log").string() + "\n"
         "internal: 127.0.0.1 port = " + std::to_string(Port()) + "\n"
         "external: 127.0.0.1\n"
         "clientmethod: none\n"
         "socksmethod: " + (auth_ == SocksAuth::UserPassword ? "username" : "none") + "\n"
         // Checking system passwords needs root.
         "user.privileged: root\n"
         "user.unprivileged: nobody\n"
         "client pass {\n"
         "  from: 127.0.0.0/8 to: 0.0.0.0/0\n"
         "}\n"
         "socks pass {\n"
         "  from: 127.0.0.0/8 to: 127.0.0.0/8\n"
         "  protocol: tcp\n"
         "  command: connect\n"
         "  log: connect\n"
         "}\n";
}

int DantePeer::RelayedConnections() const {
  std::ifstream log(Dir() / "danted-events.log");
  int count = 0;
  for (std::string line; std::getline(log, line);)
    if (line.find(kConnectLogMark) != std::string::npos) ++count;
  return count;
}

void DantePeer::Launch() {
  if (auth_ == SocksAuth::UserPassword) EnsureTestAccount();
  // Without -D dante stays in the foreground.
  Spawn("danted", {"/usr/sbin/danted", "-f", WriteFile("danted.conf", Config()).string(), "-p",
                   (Dir() / "danted.pid").string()});
  AwaitPort(Port(), false);
}

}  // namespace testsupport
