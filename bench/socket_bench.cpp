// Pushes 1 GiB between two TWSockets over loopback, through the send queue on one side and
// the receive loop on the other, and prints the throughput and the peak memory.
// Usage: socket_bench [MiB to move] (default 1024)
#include <QCoreApplication>
#include <QEventLoop>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "BenchSupport.h"
#include "net/WSocket.h"

namespace {

constexpr int kSendBlock = 1 << 20;  // handed to Send each time the queue runs empty
constexpr int kReadBlock = 64 * 1024;

struct Run {
  int64_t total;
  int32_t chunkSize;
  int64_t sent = 0;
  int64_t received = 0;
};

void Pump(const std::function<bool()>& done) {
  while (!done()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double Measure(int64_t total, int32_t chunkSize) {
  Run run{total, chunkSize};
  std::vector<char> block(kSendBlock, 'x');
  std::vector<char> readBuffer(kReadBlock);

  TWSocket listener;
  std::unique_ptr<TWSocket> receiver;
  listener.SetAddr("127.0.0.1");
  listener.SetPort("0");
  listener.OnSessionAvailable = [&](TCustomWSocket*, uint16_t) {
    receiver = std::make_unique<TWSocket>();
    receiver->OnDataAvailable = [&](TCustomWSocket* s, uint16_t) {
      const int n = s->Receive(readBuffer.data(), kReadBlock);
      if (n > 0) run.received += n;
    };
    receiver->Dup(listener.Accept());
  };
  listener.Listen();

  TWSocket sender;
  sender.SetSendChunkSize(chunkSize);
  const auto start = std::chrono::steady_clock::now();
  sender.OnDataSent = [&](TCustomWSocket* s, uint16_t) {
    if (run.sent >= run.total) return;
    const int n = static_cast<int>(std::min<int64_t>(kSendBlock, run.total - run.sent));
    run.sent += n;
    s->Send(block.data(), n);
  };
  sender.SetAddr("127.0.0.1");
  sender.SetPort(listener.GetBoundPort());
  sender.Connect();
  Pump([&] { return run.received >= run.total; });
  const double seconds = bench::SecondsSince(start);
  return static_cast<double>(total) / 1e6 / seconds;  // MB/s
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const int64_t mib = argc > 1 ? std::atoll(argv[1]) : 1024;
  const int64_t total = mib * 1024 * 1024;
  for (int32_t chunk : {TBuffer::kDefaultCapacity, 64 * 1024}) {
    const double rate = Measure(total, chunk);
    std::printf("socket loopback, %lld MiB, send chunk %d bytes: %.0f MB/s\n", static_cast<long long>(mib), chunk, rate);
  }
  std::printf("peak memory: %.1f MiB\n", bench::PeakMemoryMiB());
  return 0;
}
