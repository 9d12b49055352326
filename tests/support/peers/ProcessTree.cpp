#include "support/peers/ProcessTree.h"

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace testsupport {

namespace {

struct ProcessStat {
  char state = '?';
  pid_t parent = 0;
};

// /proc/<pid>/stat reads "pid (name) state ppid ..."; the name may hold blanks and brackets.
bool ReadStat(pid_t pid, ProcessStat& stat) {
  std::ifstream file("/proc/" + std::to_string(pid) + "/stat");
  std::string line;
  if (!std::getline(file, line)) return false;
  const size_t nameEnd = line.rfind(')');
  if (nameEnd == std::string::npos) return false;
  std::istringstream rest(line.substr(nameEnd + 1));
  return static_cast<bool>(rest >> stat.state >> stat.parent);
}

std::multimap<pid_t, pid_t> ChildrenByParent() {
  std::multimap<pid_t, pid_t> children;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    const pid_t pid = std::stoi(name);
    ProcessStat stat;
    if (ReadStat(pid, stat)) children.emplace(stat.parent, pid);
  }
  return children;
}

}  // namespace

std::vector<pid_t> Descendants(pid_t root) {
  const auto children = ChildrenByParent();
  std::vector<pid_t> found;
  std::vector<pid_t> parents{root};
  // Parent ids form a tree, so each process is met once; the bound only guards odd /proc reads.
  for (size_t next = 0; next < parents.size() && found.size() < 100000; ++next) {
    const auto [first, last] = children.equal_range(parents[next]);
    for (auto it = first; it != last; ++it) {
      found.push_back(it->second);
      parents.push_back(it->second);
    }
  }
  return found;
}

bool Alive(pid_t pid) {
  ProcessStat stat;
  return ReadStat(pid, stat) && stat.state != 'Z' && stat.state != 'X';
}

}  // namespace testsupport
