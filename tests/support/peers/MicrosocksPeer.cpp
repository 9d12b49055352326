#include "support/peers/MicrosocksPeer.h"

#include <string>

#include "support/peers/TestAccount.h"

namespace testsupport {

MicrosocksPeer::MicrosocksPeer(SocksAuth auth) : PeerServer(kName) {
  if (auth == SocksAuth::UserPassword) SetLogin(kTestUser, kTestPassword);
}

void MicrosocksPeer::Launch() {
  std::vector<std::string> argv{"/usr/bin/microsocks", "-i", "127.0.0.1", "-p", std::to_string(Port()),
                                "-b", "127.0.0.1"};
  if (!User().empty()) argv.insert(argv.end(), {"-u", User(), "-P", Password()});
  Spawn(kName, argv);
  AwaitPort(Port(), false);
}

}  // namespace testsupport
