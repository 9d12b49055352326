#pragma once

namespace testsupport {

// What a SOCKS peer asks of its clients: nothing, or the test account's user name and
// password (SOCKS 5's user name/password method).
enum class SocksAuth { None, UserPassword };

}  // namespace testsupport
