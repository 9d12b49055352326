// The TLS layer of the socket against a small TLS server on a thread: what the owner hears,
// in which order, for each way a server may behave.
#include <gtest/gtest.h>
#include <sys/socket.h>

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "net/WSocket.h"
#include "support/EventLoop.h"
#include "support/net/TlsThreadServer.h"

using namespace std::chrono_literals;
using testsupport::LoopbackSocket;

namespace {

using TlsServer = testsupport::TlsThreadServer;

// A client that starts TLS once connected and writes down what its owner hears.
struct Client {
  explicit Client(uint16_t port) {
    std::string error;
    context = TlsContext::Create(testsupport::TestCertificates::Shared().CaFile(), error);
    socket.OnSessionConnected = [this](TCustomWSocket*, uint16_t e) {
      if (e == 0) socket.StartTls(context, "127.0.0.1");
    };
    socket.OnTlsDone = [this](TCustomWSocket*, uint16_t e) {
      events.push_back("done " + std::to_string(e));
      if (onDone) onDone();
    };
    socket.OnDataAvailable = [this](TCustomWSocket* s, uint16_t) {
      char buffer[256];
      const int n = s->Receive(buffer, sizeof buffer);
      events.push_back(n > 0 ? "data " + std::string(buffer, static_cast<size_t>(n)) : "read " + std::to_string(n));
    };
    socket.OnSessionClosed = [this](TCustomWSocket*, uint16_t e) { events.push_back("closed " + std::to_string(e)); };
    socket.SetAddr("127.0.0.1");
    socket.SetPort(std::to_string(port));
    socket.Connect();
  }
  bool Heard(const std::string& event) {
    return testsupport::PumpUntil([&] { return std::find(events.begin(), events.end(), event) != events.end(); }, 5s);
  }

  std::shared_ptr<TlsContext> context;
  TWSocket socket;
  std::vector<std::string> events;
  std::function<void()> onDone;
};

TEST(TlsWSocket, WhatAServerSendsWithItsHandshakeWaitsForOnTlsDoneAndForResume) {
  TlsServer server([](LoopbackSocket&, SSL* ssl) {
    if (SSL_accept(ssl) != 1) return;
    SSL_write(ssl, "220 hello\r\n", 11);  // right behind the handshake, as implicit TLS greets
    char byte;
    SSL_read(ssl, &byte, 1);  // until the client goes
  });
  Client client(server.Port());
  client.onDone = [&] { client.socket.Pause(); };  // the owner decides about the certificate
  ASSERT_TRUE(client.Heard("done 0"));
  testsupport::PumpFor(200ms);
  EXPECT_EQ(client.events, std::vector<std::string>{"done 0"}) << "nothing is read before the owner resumes";
  const auto facts = client.socket.PeerCertificate();
  ASSERT_TRUE(facts.has_value());
  EXPECT_TRUE(facts->verified) << facts->problem;
  EXPECT_EQ(facts->hostName, "127.0.0.1");
  client.socket.Resume();
  EXPECT_TRUE(client.Heard("data 220 hello\r\n"));
  EXPECT_TRUE(client.socket.HoldsReceivedData());
  client.socket.Close();
  EXPECT_FALSE(client.socket.TlsActive()) << "a close ends TLS";
}

// A server that ends with its TLS close gets ours back. One that then resets the connection
// (it did not wait for our close, and its system answers it with a reset) lost nothing:
// the close reports no error either way.
TEST(TlsWSocket, AServerThatEndsWithItsTlsCloseGetsOursBack) {
  for (const bool reset : {false, true}) {
    SCOPED_TRACE(reset ? "then reset" : "then closed");
    std::atomic<bool> sawClientClose{false};
    TlsServer server([&sawClientClose, reset](LoopbackSocket& connection, SSL* ssl) {
      if (SSL_accept(ssl) != 1) return;
      SSL_write(ssl, "bye", 3);
      SSL_shutdown(ssl);
      char byte;
      if (SSL_read(ssl, &byte, 1) <= 0 && SSL_get_error(ssl, 0) == SSL_ERROR_ZERO_RETURN) sawClientClose = true;
      const linger abort{1, 0};
      if (reset) setsockopt(connection.Fd(), SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
    });
    Client client(server.Port());
    EXPECT_TRUE(client.Heard("data bye"));
    EXPECT_TRUE(testsupport::PumpUntil([&] { return sawClientClose.load(); }, 5s));
    EXPECT_TRUE(client.Heard("closed 0")) << client.events.back();
  }
}

struct FailureCase {
  const char* name;
  TlsServer::Behaviour behave;
};

TEST(TlsWSocket, AHandshakeThatCannotEndIsReportedAsFailed) {
  const FailureCase rows[] = {
      {"the server closes on the client's hello", [](LoopbackSocket& s, SSL*) { s.ReceiveSome(testsupport::Millis(2000)); }},
      {"the server answers in the clear",
       [](LoopbackSocket& s, SSL*) {
         s.ReceiveSome(testsupport::Millis(2000));
         s.SendAll("500 What is this?\r\n");
         s.ReceiveSome(testsupport::Millis(2000));
       }},
  };
  for (const FailureCase& row : rows) {
    SCOPED_TRACE(row.name);
    TlsServer server(row.behave);
    Client client(server.Port());
    EXPECT_TRUE(client.Heard("done " + std::to_string(kTlsHandshakeFailed)));
    EXPECT_FALSE(client.socket.TlsErrorText().empty());
    EXPECT_EQ(std::count_if(client.events.begin(), client.events.end(),
                            [](const std::string& e) { return e.rfind("data", 0) == 0; }),
              0)
        << "nothing of a failed connection reaches the owner";
    client.socket.Close();
  }
}

}  // namespace
