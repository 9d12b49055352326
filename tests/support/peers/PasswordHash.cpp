#include "support/peers/PasswordHash.h"

#include "support/peers/RunCommand.h"

namespace testsupport {

std::string Sha512Crypt(const std::string& password) {
  std::string hash = RunCommand({"/usr/bin/openssl", "passwd", "-6", "-stdin"}, password + "\n");
  while (!hash.empty() && (hash.back() == '\n' || hash.back() == '\r')) hash.pop_back();
  return hash;
}

}  // namespace testsupport
