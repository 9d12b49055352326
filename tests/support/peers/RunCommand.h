#pragma once
// Runs a helper program (ssh-keygen, openssl, useradd, ...) to its end.
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace testsupport {

// Runs argv[0] (an absolute path) with `input` on stdin and returns what it printed (stdout
// and stderr). Throws, with that output, when it fails or runs longer than `limit`.
std::string RunCommand(const std::vector<std::string>& argv, std::string_view input = {},
                       std::chrono::milliseconds limit = std::chrono::seconds(30));

}  // namespace testsupport
