#pragma once
// Flows shared by the sessions against real servers, plain, encrypted and relayed: each
// checks what lands on disk on both sides by checksum.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "support/files/PatternFiles.h"
#include "support/ftp/EngineProbe.h"

namespace ftptest {

namespace fs = std::filesystem;
constexpr size_t kMiB = 1 << 20;

// Uploads `size` pattern bytes as `name` and downloads them back; `beforeEach` runs before
// each transfer. The files are removed afterwards.
inline void RoundTrip(EngineProbe& probe, const testsupport::FtpPeer& peer, const fs::path& scratch,
                      const std::string& name, size_t size, const std::function<void()>& beforeEach = [] {}) {
  SCOPED_TRACE(name);
  const fs::path original = scratch / ("orig-" + name);
  const fs::path back = scratch / ("back-" + name);
  testsupport::WritePattern(original, size);
  beforeEach();
  ASSERT_EQ(probe.Put(original.string(), name), (Completion{ftpPutAsync, 0})) << probe.Transcript();
  EXPECT_EQ(testsupport::Sha256Of(peer.Root() / name), testsupport::Sha256Of(original)) << "uploaded";
  beforeEach();
  ASSERT_EQ(probe.Get(name, back.string()), (Completion{ftpGetAsync, 0})) << probe.Transcript();
  EXPECT_EQ(testsupport::Sha256Of(back), testsupport::Sha256Of(original)) << "downloaded";
  fs::remove(original);
  fs::remove(back);
  fs::remove(peer.Root() / name);
}

// A download resumed after the first MiB of a partial local file and an upload continued after
// 2 MiB + 5 bytes of a partial remote file; returns the whole file both now equal.
inline fs::path ResumeBothWays(EngineProbe& probe, const testsupport::FtpPeer& peer, const fs::path& scratch,
                               const std::string& tag) {
  const fs::path whole = scratch / ("whole-" + tag);
  testsupport::WritePattern(whole, 3 * kMiB + 11);
  const std::string remote = "resume-" + tag + ".bin";
  fs::copy_file(whole, peer.Root() / remote, fs::copy_options::overwrite_existing);
  peer.GiveToUser(peer.Root() / remote);
  const fs::path partial = scratch / ("partial-" + tag);
  testsupport::WritePattern(partial, kMiB);
  int64_t firstProgress = -1;
  probe.ftp.OnProgress = [&](TCustomFtpCli*, int64_t count, bool&) {
    if (firstProgress < 0) firstProgress = count;
  };
  EXPECT_EQ(probe.Get(remote, partial.string(), true), (Completion{ftpRestGetAsync, 0})) << probe.Transcript();
  probe.ftp.OnProgress = nullptr;
  EXPECT_EQ(testsupport::Sha256Of(partial), testsupport::Sha256Of(whole)) << "resumed download";
  EXPECT_GE(firstProgress, static_cast<int64_t>(kMiB)) << "progress counts from the offset";
  EXPECT_TRUE(probe.Logged("> REST 1048576")) << probe.Transcript();

  const std::string upload = "restput-" + tag + ".bin";
  testsupport::WritePattern(peer.Root() / upload, 2 * kMiB + 5);
  peer.GiveToUser(peer.Root() / upload);
  EXPECT_EQ(probe.Put(whole.string(), upload, 2 * kMiB + 5), (Completion{ftpRestPutAsync, 0})) << probe.Transcript();
  EXPECT_EQ(testsupport::Sha256Of(peer.Root() / upload), testsupport::Sha256Of(whole)) << "resumed upload";
  return whole;
}

}  // namespace ftptest
