#pragma once
// Processes by parent id, read from /proc.
#include <sys/types.h>

#include <vector>

namespace testsupport {

// Every process below `root` (children, their children, ...), parents before children.
std::vector<pid_t> Descendants(pid_t root);

// True while `pid` exists and has not ended (a zombie counts as ended).
bool Alive(pid_t pid);

}  // namespace testsupport
