// Downloads and uploads a tree of 1,000 files of 1 KiB in 10 directories with the session
// logic (as the window drives it, headless), against vsftpd and pure-ftpd over loopback, and
// in the same run, alternating with it, with lftp's mirror and mirror -R. Prints each median
// time and, per server, "tree ratio to lftp: X.XX" (lftp's time / ours; above 1 we are faster).
// The session is open before its timings start; lftp's include its start and login, whose
// cost alone is printed as "lftp login only".
// Usage: tree_bench [rounds]   (default 3; run as root)
#include <QCoreApplication>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "support/files/PatternFiles.h"
#include "support/session/SessionHarness.h"
#include "support/peers/PureFtpdPeer.h"
#include "support/peers/RunCommand.h"
#include "support/peers/TempDir.h"
#include "support/peers/VsftpdPeer.h"

namespace fs = std::filesystem;
using session::Command;

namespace {

constexpr int kDirectories = 10;
constexpr int kFilesPerDirectory = 100;
constexpr std::size_t kFileSize = 1024;

void MakeTree(const fs::path& root) {
  for (int d = 0; d < kDirectories; ++d) {
    const fs::path dir = root / ("dir" + std::to_string(d));
    fs::create_directories(dir);
    for (int f = 0; f < kFilesPerDirectory; ++f)
      testsupport::WritePattern(dir / ("file" + std::to_string(f) + ".bin"), kFileSize, d * kFilesPerDirectory + f);
  }
}

void Lftp(const testsupport::FtpPeer& server, const std::string& commands) {
  testsupport::RunCommand({"/usr/bin/lftp", "-u", server.User() + "," + server.Password(), "-p",
                           std::to_string(server.Port()), "-e",
                           "set ftp:passive-mode on; set net:max-retries 1; " + commands + "; bye", "127.0.0.1"},
                          {}, std::chrono::minutes(10));
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// Runs a command of the session and waits for the listing that ends it.
bool RunToListing(sessiontest::SessionHarness& h, Command command) {
  h.Logic().Run(command);
  if (h.WaitForListing() && !h.Logged("Error")) return true;
  std::fprintf(stderr, "the session failed:\n%s\n", h.Transcript().c_str());
  return false;
}

// One server: our download and upload, and lftp's, `rounds` times; false when one failed.
bool Measure(testsupport::FtpPeer& server, int rounds) {
  const fs::path pub = server.Root() / "pub";
  MakeTree(pub / "tree");
  fs::create_directories(pub / "up");
  server.GiveToUser(pub);
  testsupport::TempDir lftpDir;

  sessiontest::SessionHarness h;
  h.AddSite(sessiontest::SessionHarness::SiteFor("box", server.Port(), server.User(), server.Password(), "/pub"));
  h.Start();
  h.ConnectTo("box");
  if (!h.WaitForListing()) return false;

  std::map<std::string, std::vector<double>> seconds;
  const auto timed = [&](const std::string& key, const std::function<bool()>& run) {
    const auto start = std::chrono::steady_clock::now();
    const bool done = run();
    seconds[key].push_back(bench::SecondsSince(start));
    return done;
  };
  for (int round = 0; round < rounds; ++round) {
    fs::remove_all(h.LocalDir() / "tree");
    fs::remove_all(pub / "up" / "tree");
    fs::remove_all(lftpDir.Path() / "tree");
    fs::remove_all(pub / "up" / "lftp");
    h.Logic().ChangeLocalDirectory(h.LocalDir());
    h.SelectRemote({"tree"});
    if (!timed("ours download", [&] { return RunToListing(h, Command::DownloadSelection); })) return false;
    timed("lftp download", [&] {
      Lftp(server, "mirror /pub/tree " + (lftpDir.Path() / "tree").string());
      return true;
    });

    h.prompts.inputs = {"/pub/up"};
    if (!RunToListing(h, Command::RemoteChangeDirectory)) return false;
    h.SelectLocal({"tree"});
    if (!timed("ours upload", [&] { return RunToListing(h, Command::UploadSelection); })) return false;
    timed("lftp upload", [&] {
      Lftp(server, "mirror -R " + (lftpDir.Path() / "tree").string() + " /pub/up/lftp");
      return true;
    });
    // What lftp spends on starting, logging in and out, which the session's times do not hold.
    timed("lftp login only", [&] {
      Lftp(server, "cd /pub");
      return true;
    });
    if (testsupport::DigestOf(pub / "up" / "tree") != testsupport::DigestOf(pub / "tree")) {
      std::fprintf(stderr, "the uploaded tree differs from the original\n");
      return false;
    }
    h.prompts.inputs = {"/pub"};
    if (!RunToListing(h, Command::RemoteChangeDirectory)) return false;
  }

  std::printf("%s: %d files of %zu bytes in %d directories, %d rounds, median:\n", server.Name().c_str(),
              kDirectories * kFilesPerDirectory, kFileSize, kDirectories, rounds);
  for (const auto& [key, values] : seconds) std::printf("  %-14s %7.3f s\n", key.c_str(), Median(values));
  const double ours = Median(seconds["ours download"]) + Median(seconds["ours upload"]);
  const double lftp = Median(seconds["lftp download"]) + Median(seconds["lftp upload"]);
  std::printf("tree ratio to lftp: %.2f\n", lftp / ours);
  return true;
}

template <class Server>
bool MeasureOn(int rounds) {
  Server server;
  if (!server.SkipReason().empty() || !server.Start()) {
    std::fprintf(stderr, "%s cannot run: %s%s\n", Server::kName, server.SkipReason().c_str(), server.Failure().c_str());
    return false;
  }
  return Measure(server, rounds);
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  const bool vsftpd = MeasureOn<testsupport::VsftpdPeer>(rounds);
  const bool pureftpd = MeasureOn<testsupport::PureFtpdPeer>(rounds);
  std::printf("peak memory: %.1f MiB\n", bench::PeakMemoryMiB());
  return vsftpd && pureftpd ? 0 : 1;
}
