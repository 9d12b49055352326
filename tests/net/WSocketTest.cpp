// The socket component over real loopback connections: event order, the send queue,
// closing, guards and the library's life.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <memory>
#include <string>
#include <vector>

#include "net/SocketLibrary.h"
#include "net/WSocket.h"
#include "support/EventLoop.h"
#include "support/Thrown.h"
#include "support/loopback/FreePorts.h"
#include "support/net/ConnectedPair.h"

using testsupport::PumpFor;
using testsupport::PumpUntil;
using namespace std::chrono_literals;

namespace {

const auto ErrorOf = testsupport::ThrownText<ESocketException>;

// A connected pair whose client's events are written down in order.
class Loopback : public testsupport::ConnectedPair {
 public:
  Loopback() {
    client.OnChangeState = [this](TCustomWSocket*, TSocketState o, TSocketState n) {
      events.push_back(std::string(SocketStateName(o)) + ">" + SocketStateName(n));
    };
    client.OnSessionConnected = [this](TCustomWSocket*, uint16_t e) { events.push_back("connected " + std::to_string(e)); };
    client.OnDataSent = [this](TCustomWSocket*, uint16_t e) { events.push_back("sent " + std::to_string(e)); };
    client.OnDataAvailable = [this](TCustomWSocket* s, uint16_t) {
      if (const std::string data = s->ReceiveStr(); !data.empty()) events.push_back("data " + data);
    };
    client.OnSessionClosed = [this](TCustomWSocket* s, uint16_t e) {
      events.push_back("closed " + std::to_string(e) + " " + SocketStateName(s->State()));
    };
  }
  bool Seen(const std::string& event) const { return std::find(events.begin(), events.end(), event) != events.end(); }

  std::vector<std::string> events;
};

struct OrderRow {
  const char* name;
  std::function<void(Loopback&)> play;  // returns once the scenario is complete
  std::vector<std::string> events;
};

TEST(WSocket, EventOrder) {
  const std::vector<std::string> connecting = {"wsClosed>wsOpened", "wsOpened>wsConnecting",
                                               "wsConnecting>wsConnected", "connected 0", "sent 0"};
  const auto after = [&](std::vector<std::string> more) {
    more.insert(more.begin(), connecting.begin(), connecting.end());
    return more;
  };
  const OrderRow rows[] = {
      {"connect: one write readiness, not repeated", [](Loopback& l) { ASSERT_TRUE(l.Connected()); }, connecting},
      {"refused connect: reported, then closed",
       [](Loopback& l) {
         l.Connect(std::to_string(testsupport::FreePort()));
         ASSERT_TRUE(PumpUntil([&] { return l.client.State() == wsClosed; }));
       },
       {"wsClosed>wsOpened", "wsOpened>wsConnecting", "wsConnecting>wsConnected", "connected 10061",
        "wsConnected>wsClosed", "closed 0 wsClosed"}},
      {"peer close: the data first, then one close while still connected",
       [](Loopback& l) {
         ASSERT_TRUE(l.Connected());
         PumpFor(20ms);
         l.peer->SendStr("last words");
         l.peer->OnDataSent = [](TCustomWSocket* s, uint16_t) { s->Close(); };
         ASSERT_TRUE(PumpUntil([&] { return l.client.State() == wsClosed; }));
       },
       after({"data last words", "closed 0 wsConnected", "wsConnected>wsClosed"})},
      {"peer close, the handler closing at the end: reported once",
       [](Loopback& l) {
         ASSERT_TRUE(l.Connected());
         PumpFor(20ms);
         l.client.OnDataAvailable = [](TCustomWSocket* s, uint16_t) {
           char byte;
           if (s->Receive(&byte, 1) == 0) s->Close();
         };
         l.peer->Close();
         ASSERT_TRUE(PumpUntil([&] { return l.client.State() == wsClosed; }));
       },
       after({"wsConnected>wsClosed", "closed 0 wsClosed"})},
      {"local close, twice: closed first, reported once",
       [](Loopback& l) {
         ASSERT_TRUE(l.Connected());
         PumpFor(20ms);
         l.client.Close();
         l.client.Close();
       },
       after({"wsConnected>wsClosed", "closed 0 wsClosed"})},
      {"send of nothing: one data-sent, from the loop",
       [](Loopback& l) {
         ASSERT_TRUE(l.Connected());
         PumpFor(20ms);
         EXPECT_EQ(l.client.Send("", 0), 0);
         EXPECT_EQ(l.client.SendStr("abc"), 3);
         EXPECT_EQ(l.events.size(), 5u) << "OnDataSent fired inside Send";
         ASSERT_TRUE(PumpUntil([&] { return l.events.size() == 7; }));
       },
       after({"sent 0", "sent 0"})},
  };
  for (const OrderRow& row : rows) {
    SCOPED_TRACE(row.name);
    Loopback l;
    row.play(l);
    PumpFor(50ms);
    EXPECT_EQ(l.events, row.events);
  }
}

TEST(WSocket, BulkDataArrivesIntactThroughPartialSends) {
  Loopback l;
  ASSERT_TRUE(l.Connected());
  PumpFor(20ms);
  int64_t reportedSent = 0;
  l.client.OnSendData = [&](TCustomWSocket*, int32_t n) { reportedSent += n; };
  std::string payload(16 * 1024 * 1024 + 13, '\0');  // far more than a socket buffer
  for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  EXPECT_EQ(l.client.Send(payload.data(), static_cast<int>(payload.size())), static_cast<int>(payload.size()));
  EXPECT_GT(l.client.SendQueueBytes(), 0) << "the system should not take 16 MiB at once";
  ASSERT_TRUE(PumpUntil([&] { return l.peerReceived.size() >= payload.size(); }, 30s));
  EXPECT_TRUE(l.peerReceived == payload);
  EXPECT_EQ(reportedSent, static_cast<int64_t>(payload.size()));
  EXPECT_TRUE(PumpUntil([&] { return l.events.back() == "sent 0"; }));
  EXPECT_EQ(l.peer->ReadCount(), static_cast<int32_t>(payload.size()));
}

// Received bytes go straight into a file at its position; a file that takes no splice (one
// opened to append) is written the ordinary way.
TEST(WSocket, ReceiveToFileWritesAtTheFilesPosition) {
  for (const int appendFlag : {0, O_APPEND}) {
    SCOPED_TRACE(appendFlag ? "append" : "plain");
    Loopback l;
    ASSERT_TRUE(l.Connected());
    char path[] = "/tmp/marlo-receive-XXXXXX";
    const int file = ::mkstemp(path);
    ASSERT_GE(file, 0);
    ::unlink(path);
    ASSERT_EQ(::write(file, "head:", 5), 5);
    ASSERT_EQ(::fcntl(file, F_SETFL, appendFlag), 0);
    std::string payload(3 << 20, '\0');  // more than one pipe's worth
    for (size_t i = 0; i < payload.size(); ++i) payload[i] = static_cast<char>(i * 7 + i / 251);
    int64_t moved = 0;
    bool fileFailed = false;
    l.client.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) {
      EXPECT_FALSE(s->HoldsReceivedData());
      const int n = s->ReceiveToFile(file, 1 << 20, fileFailed);
      if (n > 0) moved += n;
    };
    l.peer->Send(payload.data(), static_cast<int>(payload.size()));
    ASSERT_TRUE(PumpUntil([&] { return moved == static_cast<int64_t>(payload.size()) || fileFailed; }, 20s));
    EXPECT_FALSE(fileFailed);
    EXPECT_EQ(l.client.ReadCount(), static_cast<int32_t>(payload.size()));
    std::string written(payload.size() + 5, '\0');
    EXPECT_EQ(::pread(file, written.data(), written.size(), 0), static_cast<ssize_t>(written.size()));
    EXPECT_TRUE(written == "head:" + payload);
    ::close(file);
  }
}

TEST(WSocket, GuardsAndDefaultsAfterAClose) {
  Loopback l;
  ASSERT_TRUE(l.Connected());
  TWSocket& client = l.client;
  client.SetAddr("127.0.0.1");  // same text: nothing happens
  const std::pair<std::function<void()>, std::string> guards[] = {
      {[&] { client.SetAddr("127.0.0.2"); }, "Cannot change Addr if not closed"},
      {[&] { client.SetPort("1"); }, "Cannot change Port if not closed"},
      {[&] { client.SetProto("udp"); }, "Cannot change Proto if not closed"},
      {[&] { client.SetLocalAddr("127.0.0.1"); }, "Cannot change LocalAddr if not closed"},
      {[&] { client.SetLocalPort("1"); }, "Cannot change LocalPort if not closed"},
      {[&] { client.Connect(); }, "Connect: Socket already in use"},
  };
  for (const auto& [call, text] : guards) EXPECT_EQ(ErrorOf(call), text);
  client.Close();
  EXPECT_EQ(client.Addr(), "127.0.0.1");
  EXPECT_EQ(client.Proto(), "tcp");
  EXPECT_EQ(client.LingerOnOff(), wsLingerOn);
  EXPECT_EQ(ErrorOf([&] { client.Connect(); }), "Connect: No Port Specified") << "a close forgets Addr and Port";

  TWSocket unconnected;
  EXPECT_EQ(ErrorOf([&] { unconnected.SendStr("x"); }), "Error 10057 in function Send\r\nSocket is not connected");
  unconnected.SetLocalAddr("");
  EXPECT_EQ(unconnected.LocalAddr(), "0.0.0.0");
  EXPECT_EQ(ErrorOf([&] { unconnected.SetLocalAddr("255.255.255.255"); }), "SetLocalAddr(): Invalid IP address");
  EXPECT_EQ(ErrorOf([&] { unconnected.SetSendFlags(7); }), "Invalid SendFlags");
  // With OnError assigned, the error is an event and the call returns normally.
  int errors = 0;
  unconnected.OnError = [&](TCustomWSocket*) { ++errors; };
  EXPECT_EQ(unconnected.SendStr("x"), -1);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(unconnected.LastError(), 10057);
}

TEST(WSocket, ExceptionInAHandlerGoesToBgExceptionAndAborts) {
  Loopback l;
  std::string caught;
  l.client.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { throw std::runtime_error("handler failed"); };
  l.client.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool& canClose) {
    caught = e.what();
    EXPECT_TRUE(canClose);
  };
  l.Connect();
  ASSERT_TRUE(PumpUntil([&] { return !caught.empty(); }));
  EXPECT_EQ(caught, "handler failed");
  EXPECT_EQ(l.client.State(), wsClosed);
}

TEST(WSocket, ReleaseFromInsideItsOwnHandler) {
  Loopback l;
  auto* client = new TWSocket;
  client->OnDataAvailable = [&](TCustomWSocket* s, uint16_t) {
    s->ReceiveStr();
    s->Release();
  };
  client->SetAddr("127.0.0.1");
  client->SetPort(l.Port());
  client->Connect();
  ASSERT_TRUE(PumpUntil([&] { return l.peer && client->State() == wsConnected; }));
  const int liveBefore = LiveSocketCount();
  bool stateReported = false;
  client->OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState) { stateReported = true; };
  l.peer->SendStr("bye");
  ASSERT_TRUE(PumpUntil([&] { return LiveSocketCount() == liveBefore - 1; }));
  EXPECT_FALSE(stateReported) << "destruction reports no state change to a vanishing owner";
}

TEST(WSocket, PausedSocketHoldsItsDataUntilResumed) {
  Loopback l;
  ASSERT_TRUE(l.Connected());
  l.client.Pause();
  l.peer->SendStr("held");
  PumpFor(50ms);
  EXPECT_FALSE(l.Seen("data held"));
  l.client.Resume();
  ASSERT_TRUE(PumpUntil([&] { return l.Seen("data held"); }));
}

TEST(WSocket, ConnectionPendingBeforeTheHandlerIsSetIsStillReported) {
  // Some servers open an active data connection before they are asked to transfer.
  TWSocket listener;
  listener.SetAddr("127.0.0.1");
  listener.SetPort("0");
  listener.Listen();
  TWSocket client;
  client.SetAddr("127.0.0.1");
  client.SetPort(listener.GetBoundPort());
  client.Connect();
  PumpFor(50ms);
  TWSocket accepted;
  listener.OnSessionAvailable = [&](TCustomWSocket*, uint16_t) { accepted.Dup(listener.Accept()); };
  ASSERT_TRUE(PumpUntil([&] { return accepted.State() == wsConnected; }, 2s));
}

TEST(SocketLibrary, UnloadsWithTheLastSocketAndStartsAgainOnUse) {
  ASSERT_EQ(LiveSocketCount(), 0) << "another test leaked a socket";
  {
    TWSocket s;
    s.DnsLookup("127.0.0.1");
    EXPECT_EQ(LiveSocketCount(), 1);
    EXPECT_TRUE(SocketLibraryLoaded());
  }
  EXPECT_FALSE(SocketLibraryLoaded());
  const int starts = SocketLibraryStarts();
  TWSocket again;
  again.SetAddr("127.0.0.1");
  again.SetPort("1");
  again.Connect();
  EXPECT_TRUE(SocketLibraryLoaded());
  EXPECT_EQ(SocketLibraryStarts(), starts + 1);
}

}  // namespace
