// Downloads and uploads a 1 GiB file from and to vsftpd and pure-ftpd over loopback
// (passive), and from and to vsftpd over explicit TLS (curl with --ssl-reqd, lftp with
// ftp:ssl-force, all trusting the test CA), with the engine and, in the same run and
// alternating with it, with curl and lftp. Prints each tool's median throughput per server,
// the engine's ratio to the faster peer per server ("tls ..." for the encrypted rows), and
// the engine's peak memory.
// Usage: transfer_bench [MiB] [rounds]   (default 1024 MiB, 5 rounds; run as root)
#include <QCoreApplication>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "ftp/FtpCli.h"
#include "support/EventLoop.h"
#include "support/peers/RunCommand.h"
#include "support/peers/TempDir.h"
#include "support/peers/PureFtpdPeer.h"
#include "support/peers/TlsPeers.h"
#include "support/peers/VsftpdPeer.h"

namespace fs = std::filesystem;

namespace {

struct Target {
  uint16_t port;
  std::string user;
  std::string password;
  bool tls;
  std::string url(const std::string& file) const {
    return "ftp://" + user + ":" + password + "@127.0.0.1:" + std::to_string(port) + "/" + file;
  }
};

// One request of the engine, run to its end.
bool RunEngine(TFtpClient& ftp, const std::function<void()>& start) {
  bool done = false;
  uint16_t error = 0;
  ftp.OnRequestDone = [&](TCustomFtpCli*, TFtpRequest, uint16_t e) {
    done = true;
    error = e;
  };
  start();
  testsupport::PumpUntil([&] { return done; }, std::chrono::minutes(10));
  if (!done || error != 0) std::fprintf(stderr, "engine request failed: %s\n", ftp.LastResponse().c_str());
  return done && error == 0;
}

class EngineClient {
 public:
  explicit EngineClient(const Target& t) {
    ftp_.SetHostName("127.0.0.1");
    ftp_.SetPort(std::to_string(t.port));
    ftp_.SetUserName(t.user);
    ftp_.SetPassWord(t.password);
    ftp_.SetPassive(true);
    if (t.tls) {
      ftp_.SetEncryption(ftpEncryptionExplicit);
      ftp_.SetTlsTrustFile(testsupport::TestCertificates::Shared().CaFile());
    }
    RunEngine(ftp_, [&] { ftp_.ConnectAsync(); });
    RunEngine(ftp_, [&] { ftp_.TypeBinaryAsync(); });
  }
  void Download(const std::string& remote, const fs::path& local) {
    ftp_.SetHostFileName(remote);
    ftp_.SetLocalFileName(local.string());
    RunEngine(ftp_, [&] { ftp_.GetAsync(); });
  }
  void Upload(const fs::path& local, const std::string& remote) {
    ftp_.SetHostFileName(remote);
    ftp_.SetLocalFileName(local.string());
    RunEngine(ftp_, [&] { ftp_.PutAsync(); });
  }

 private:
  TFtpClient ftp_;
};

void Curl(const Target& t, const std::vector<std::string>& args) {
  std::vector<std::string> argv = {"/usr/bin/curl", "-s", "-S", "--ftp-pasv"};
  if (t.tls) argv.insert(argv.end(), {"--ssl-reqd", "--cacert", testsupport::TestCertificates::Shared().CaFile()});
  argv.insert(argv.end(), args.begin(), args.end());
  testsupport::RunCommand(argv, {}, std::chrono::minutes(10));
}

void Lftp(const Target& t, const std::string& commands) {
  const std::string tls =
      t.tls ? "set ftp:ssl-force true; set ssl:ca-file " + testsupport::TestCertificates::Shared().CaFile() + "; " : "";
  testsupport::RunCommand({"/usr/bin/lftp", "-u", t.user + "," + t.password, "-p", std::to_string(t.port), "-e",
                           "set ftp:passive-mode on; set net:max-retries 1; " + tls + commands + "; bye", "127.0.0.1"},
                          {}, std::chrono::minutes(10));
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

void WriteSample(const fs::path& path, int64_t mib) {
  std::ofstream out(path, std::ios::binary);
  std::string block(1 << 20, '\0');
  for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 7 + i / 251);
  for (int64_t i = 0; i < mib; ++i) out.write(block.data(), static_cast<std::streamsize>(block.size()));
}

// All rounds against one server; false when it cannot run. `label` names its figures.
template <class Server>
bool MeasureServer(int64_t mib, int rounds, const char* label) {
  Server server;
  if (!server.SkipReason().empty() || !server.Start()) {
    std::fprintf(stderr, "%s cannot run: %s%s\n", Server::kName, server.SkipReason().c_str(), server.Failure().c_str());
    return false;
  }
  const Target target{server.Port(), server.User(), server.Password(), server.Tls() != testsupport::PeerTls::None};
  testsupport::TempDir local;
  WriteSample(server.Root() / "big.bin", mib);
  const fs::path down = local.Path() / "down.bin";
  const fs::path up = local.Path() / "up.bin";
  fs::copy_file(server.Root() / "big.bin", up);
  ::sync();  // the sample files reach the disk now, not in the middle of a measurement

  EngineClient engine(target);
  std::map<std::string, std::vector<double>> rates;  // "tool direction" -> MB/s per round
  const auto measure = [&](const std::string& key, const std::function<void()>& run) {
    const auto start = std::chrono::steady_clock::now();
    run();
    rates[key].push_back(static_cast<double>(mib) * 1024 * 1024 / 1e6 / bench::SecondsSince(start));
    fs::remove(down);
    fs::remove(server.Root() / "up-copy.bin");
    ::sync();  // each measurement starts without writeback left from the one before
  };
  for (int round = 0; round < rounds; ++round) {
    measure("engine download", [&] { engine.Download("big.bin", down); });
    measure("curl download", [&] { Curl(target, {"-o", down.string(), target.url("big.bin")}); });
    measure("lftp download", [&] { Lftp(target, "get big.bin -o " + down.string()); });
    measure("engine upload", [&] { engine.Upload(up, "up-copy.bin"); });
    measure("curl upload", [&] { Curl(target, {"-T", up.string(), target.url("up-copy.bin")}); });
    measure("lftp upload", [&] { Lftp(target, "put " + up.string() + " -o up-copy.bin"); });
  }

  std::printf("%s: %lld MiB over loopback, passive%s, %d rounds, median:\n", label, static_cast<long long>(mib),
              target.tls ? ", explicit TLS" : "", rounds);
  for (const auto& [key, values] : rates) std::printf("%s   %-16s %8.0f MB/s\n", label, key.c_str(), Median(values));
  for (const std::string direction : {"download", "upload"}) {
    const double best = std::max(Median(rates["curl " + direction]), Median(rates["lftp " + direction]));
    std::printf("%s %s ratio to best peer: %.2f\n", label, direction.c_str(),
                Median(rates["engine " + direction]) / best);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int64_t mib = argc > 1 ? std::atoll(argv[1]) : 1024;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const bool vsftpd = MeasureServer<testsupport::VsftpdPeer>(mib, rounds, "vsftpd");
  const bool pureftpd = MeasureServer<testsupport::PureFtpdPeer>(mib, rounds, "pureftpd");
  const bool tls = MeasureServer<testsupport::VsftpdTlsPeer>(mib, rounds, "tls");
  std::printf("engine peak memory: %.1f MiB\n", bench::PeakMemoryMiB());
  return vsftpd && pureftpd && tls ? 0 : 1;
}
