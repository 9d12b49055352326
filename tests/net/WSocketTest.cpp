// The socket component over real loopback connections: event order, the send queue,
// closing, guards, lookups and the library's life.
#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

#include "net/SocketLibrary.h"
#include "net/WSocket.h"
#include "support/EventLoop.h"
#include "support/Thrown.h"
#include "support/loopback/Isolation.h"

using testsupport::PumpFor;
using testsupport::PumpUntil;
using namespace std::chrono_literals;

namespace {

// A listening TWSocket on 127.0.0.1 that adopts the first incoming connection.
class LoopbackServer {
 public:
  LoopbackServer() {
    listener_.SetAddr("127.0.0.1");
    listener_.SetPort("0");
    listener_.OnSessionAvailable = [this](TCustomWSocket*, uint16_t) {
      peer = std::make_unique<TWSocket>();
      if (OnPeer) OnPeer(*peer);
      peer->Dup(listener_.Accept());
    };
    listener_.Listen();
  }
  std::string Port() { return listener_.GetBoundPort(); }

  std::unique_ptr<TWSocket> peer;
  std::function<void(TWSocket&)> OnPeer;

 private:
  TWSocket listener_;
};

std::string Pattern(size_t size) {
  std::string s(size, '\0');
  for (size_t i = 0; i < size; ++i) s[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
  return s;
}

void ConnectTo(TWSocket& client, const std::string& port) {
  client.SetAddr("127.0.0.1");
  client.SetPort(port);
  client.Connect();
}

TEST(WSocket, ConnectEventOrder) {
  LoopbackServer server;
  TWSocket client;
  std::vector<std::string> events;
  client.OnChangeState = [&](TCustomWSocket*, TSocketState o, TSocketState n) {
    events.push_back(std::string(SocketStateName(o)) + ">" + SocketStateName(n));
  };
  client.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { events.push_back("connected " + std::to_string(e)); };
  client.OnDataSent = [&](TCustomWSocket*, uint16_t e) { events.push_back("sent " + std::to_string(e)); };
  ConnectTo(client, server.Port());
  EXPECT_EQ(events, (std::vector<std::string>{"wsClosed>wsOpened", "wsOpened>wsConnecting"}));
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 5; }));
  EXPECT_EQ(events[2], "wsConnecting>wsConnected");
  EXPECT_EQ(events[3], "connected 0");
  EXPECT_EQ(events[4], "sent 0");  // the write readiness right after connecting
  PumpFor(50ms);
  EXPECT_EQ(events.size(), 5u) << "write readiness must not repeat while nothing is sent";
}

TEST(WSocket, RefusedConnectReportsThenCloses) {
  std::string freePort;
  {
    LoopbackServer closed;
    freePort = closed.Port();
  }
  TWSocket client;
  std::vector<std::string> events;
  client.OnSessionConnected = [&](TCustomWSocket*, uint16_t e) { events.push_back("connected " + std::to_string(e)); };
  client.OnSessionClosed = [&](TCustomWSocket* s, uint16_t e) {
    events.push_back("closed " + std::to_string(e) + " " + SocketStateName(s->State()));
  };
  ConnectTo(client, freePort);
  ASSERT_TRUE(PumpUntil([&] { return events.size() >= 2; }));
  EXPECT_EQ(events, (std::vector<std::string>{"connected 10061", "closed 0 wsClosed"}));
}

TEST(WSocket, SendOfNothingStillReportsDataSentFromTheLoop) {
  LoopbackServer server;
  TWSocket client;
  bool connected = false;
  int dataSent = 0;
  client.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { connected = true; };
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return connected; }));
  PumpFor(20ms);
  client.OnDataSent = [&](TCustomWSocket*, uint16_t) { ++dataSent; };
  EXPECT_EQ(client.Send("", 0), 0);
  EXPECT_EQ(client.SendStr("abc"), 3);
  EXPECT_EQ(dataSent, 0) << "OnDataSent fired inside Send";
  ASSERT_TRUE(PumpUntil([&] { return dataSent == 2; }));
  PumpFor(20ms);
  EXPECT_EQ(dataSent, 2);
}

TEST(WSocket, BulkDataArrivesIntactThroughPartialSends) {
  LoopbackServer server;
  std::string received;
  server.OnPeer = [&](TWSocket& peer) {
    peer.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) { received += s->ReceiveStr(); };
  };
  TWSocket client;
  bool connected = false;
  int64_t reportedSent = 0;
  int dataSent = 0;
  client.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { connected = true; };
  client.OnSendData = [&](TCustomWSocket*, int32_t n) { reportedSent += n; };
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return connected; }));
  PumpFor(20ms);
  client.OnDataSent = [&](TCustomWSocket*, uint16_t) { ++dataSent; };
  const std::string payload = Pattern(16 * 1024 * 1024 + 13);  // far more than a socket buffer
  EXPECT_EQ(client.Send(payload.data(), static_cast<int>(payload.size())), static_cast<int>(payload.size()));
  EXPECT_GT(client.SendQueueBytes(), 0) << "the system should not take 16 MiB at once";
  ASSERT_TRUE(PumpUntil([&] { return received.size() >= payload.size(); }, 30s));
  EXPECT_TRUE(received == payload);
  EXPECT_EQ(reportedSent, static_cast<int64_t>(payload.size()));
  EXPECT_TRUE(PumpUntil([&] { return dataSent == 1; }));
  EXPECT_EQ(server.peer->ReadCount(), static_cast<int32_t>(payload.size()));
}

TEST(WSocket, PeerCloseDeliversRemainingDataThenClosesOnce) {
  LoopbackServer server;
  TWSocket client;
  std::string received;
  std::vector<std::string> events;
  client.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) { received += s->ReceiveStr(); };
  client.OnSessionClosed = [&](TCustomWSocket* s, uint16_t e) {
    events.push_back("closed " + std::to_string(e) + " " + SocketStateName(s->State()) + " after " + received);
  };
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return server.peer && server.peer->State() == wsConnected; }));
  server.peer->SendStr("last words");
  server.peer->OnDataSent = [&](TCustomWSocket* s, uint16_t) { s->Close(); };
  ASSERT_TRUE(PumpUntil([&] { return client.State() == wsClosed; }));
  PumpFor(30ms);
  EXPECT_EQ(events, (std::vector<std::string>{"closed 0 wsConnected after last words"}));
}

TEST(WSocket, LocalCloseChangesStateBeforeReporting) {
  LoopbackServer server;
  TWSocket client;
  std::vector<std::string> events;
  client.OnSessionClosed = [&](TCustomWSocket* s, uint16_t e) {
    events.push_back("closed " + std::to_string(e) + " " + SocketStateName(s->State()));
  };
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected; }));
  client.Close();
  client.Close();
  EXPECT_EQ(events, (std::vector<std::string>{"closed 0 wsClosed"}));
  // A close forgets the assigned address and port, and restores the defaults.
  EXPECT_EQ(client.Addr(), "127.0.0.1");
  EXPECT_EQ(client.Proto(), "tcp");
  EXPECT_EQ(client.LingerOnOff(), wsLingerOn);
  EXPECT_EQ(testsupport::ThrownText<ESocketException>([&] { client.Connect(); }), "Connect: No Port Specified");
}

TEST(WSocket, GuardsWhileOpen) {
  LoopbackServer server;
  TWSocket client;
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return client.State() == wsConnected; }));
  client.SetAddr("127.0.0.1");  // same text: nothing happens
  const auto expectError = [](const std::function<void()>& f, const std::string& text) {
    EXPECT_EQ(testsupport::ThrownText<ESocketException>(f), text);
  };
  expectError([&] { client.SetAddr("127.0.0.2"); }, "Cannot change Addr if not closed");
  expectError([&] { client.SetPort("1"); }, "Cannot change Port if not closed");
  expectError([&] { client.SetProto("udp"); }, "Cannot change Proto if not closed");
  expectError([&] { client.SetLocalAddr("127.0.0.1"); }, "Cannot change LocalAddr if not closed");
  expectError([&] { client.SetLocalPort("1"); }, "Cannot change LocalPort if not closed");
  expectError([&] { client.Connect(); }, "Connect: Socket already in use");

  TWSocket unconnected;
  expectError([&] { unconnected.SendStr("x"); }, "Error 10057 in function Send\r\nSocket is not connected");
  unconnected.SetLocalAddr("");
  EXPECT_EQ(unconnected.LocalAddr(), "0.0.0.0");
  expectError([&] { unconnected.SetLocalAddr("255.255.255.255"); }, "SetLocalAddr(): Invalid IP address");
  expectError([&] { unconnected.SetSendFlags(7); }, "Invalid SendFlags");

  // With OnError assigned, the error is an event and the call returns normally.
  int errors = 0;
  unconnected.OnError = [&](TCustomWSocket*) { ++errors; };
  EXPECT_EQ(unconnected.SendStr("x"), -1);
  EXPECT_EQ(errors, 1);
  EXPECT_EQ(unconnected.LastError(), 10057);
}

TEST(WSocket, DnsLookups) {
  TWSocket s;
  std::vector<uint16_t> done;
  s.OnDnsLookupDone = [&](TCustomWSocket*, uint16_t e) { done.push_back(e); };

  s.DnsLookup("10.0.0.1");
  EXPECT_EQ(done, std::vector<uint16_t>{0}) << "a dotted text answers at once";
  EXPECT_EQ(s.DnsResult(), "10.0.0.1");
  EXPECT_TRUE(s.DnsResultList().empty());

  done.clear();
  s.DnsLookup("localhost");
  EXPECT_TRUE(done.empty());
  ASSERT_TRUE(PumpUntil([&] { return !done.empty(); }));
  EXPECT_EQ(done, std::vector<uint16_t>{0});
  EXPECT_EQ(s.DnsResult(), "127.0.0.1");
  ASSERT_FALSE(s.DnsResultList().empty());

  done.clear();
  s.DnsLookup("localhost");
  s.CancelDnsLookup();
  EXPECT_EQ(done, std::vector<uint16_t>{10004});
  PumpFor(200ms);
  EXPECT_EQ(done, std::vector<uint16_t>{10004}) << "a cancelled lookup reported again";

  done.clear();
  EXPECT_THROW(s.DnsLookup(""), ESocketException);
  s.OnError = [](TCustomWSocket*) {};
  s.DnsLookup("");
  EXPECT_EQ(done, std::vector<uint16_t>{10022});
}

TEST(WSocket, UnknownNameFailsWithALookupError) {
  if (!testsupport::OnlyLoopbackNetwork()) GTEST_SKIP() << "looks up an unknown name only where no DNS query can leave";
  TWSocket s;
  std::vector<uint16_t> done;
  s.OnDnsLookupDone = [&](TCustomWSocket*, uint16_t e) { done.push_back(e); };
  s.DnsLookup("no-such-host.invalid");
  ASSERT_TRUE(PumpUntil([&] { return !done.empty(); }));
  EXPECT_GE(done[0], 11001);
  EXPECT_LE(done[0], 11004);
}

TEST(WSocket, ExceptionInAHandlerGoesToBgExceptionAndAborts) {
  LoopbackServer server;
  TWSocket client;
  std::string caught;
  client.OnSessionConnected = [&](TCustomWSocket*, uint16_t) { throw std::runtime_error("handler failed"); };
  client.OnBgException = [&](TCustomWSocket*, const std::exception& e, bool& canClose) {
    caught = e.what();
    EXPECT_TRUE(canClose);
  };
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return !caught.empty(); }));
  EXPECT_EQ(caught, "handler failed");
  EXPECT_EQ(client.State(), wsClosed);
}

TEST(WSocket, ReleaseFromInsideItsOwnHandler) {
  LoopbackServer server;
  auto* client = new TWSocket;
  bool stateReported = false;
  client->OnDataAvailable = [&](TCustomWSocket* s, uint16_t) {
    s->ReceiveStr();
    s->Release();
  };
  ConnectTo(*client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return server.peer && client->State() == wsConnected; }));
  const int liveBefore = LiveSocketCount();
  client->OnChangeState = [&](TCustomWSocket*, TSocketState, TSocketState) { stateReported = true; };
  server.peer->SendStr("bye");
  ASSERT_TRUE(PumpUntil([&] { return LiveSocketCount() == liveBefore - 1; }));
  EXPECT_FALSE(stateReported) << "destruction reports no state change to a vanishing owner";
}

TEST(WSocket, PausedSocketHoldsItsDataUntilResumed) {
  LoopbackServer server;
  TWSocket client;
  std::string received;
  client.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) { received += s->ReceiveStr(); };
  ConnectTo(client, server.Port());
  ASSERT_TRUE(PumpUntil([&] { return server.peer && server.peer->State() == wsConnected; }));
  client.Pause();
  server.peer->SendStr("held");
  PumpFor(50ms);
  EXPECT_EQ(received, "");
  client.Resume();
  ASSERT_TRUE(PumpUntil([&] { return received == "held"; }));
}

TEST(WSocket, ConnectionPendingBeforeTheHandlerIsSetIsStillReported) {
  // Some servers open an active data connection before they are asked to transfer.
  TWSocket listener;
  listener.SetAddr("127.0.0.1");
  listener.SetPort("0");
  listener.Listen();
  TWSocket client;
  ConnectTo(client, listener.GetBoundPort());
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
