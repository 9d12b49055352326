// Line mode over a real loopback connection: lines cut from receptions in any split, line
// editing and echo, partial reads, handlers that read nothing, switching the mode with bytes
// buffered, and the last line without terminator at the close.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "net/WSocket.h"
#include "support/EventLoop.h"

using namespace std::chrono_literals;
using testsupport::PumpFor;
using testsupport::PumpUntil;

namespace {

// A client in line mode connected to a peer socket that sends what the test says and collects
// what the client echoes.
class LinePair {
 public:
  using Handler = std::function<void(TWSocket&)>;

  LinePair() {
    listener_.SetAddr("127.0.0.1");
    listener_.SetPort("0");
    listener_.OnSessionAvailable = [this](TCustomWSocket*, uint16_t) {
      peer = std::make_unique<TWSocket>();
      peer->OnDataAvailable = [this](TCustomWSocket* s, uint16_t) { echoed += s->ReceiveStr(); };
      peer->Dup(listener_.Accept());
    };
    listener_.Listen();
    client.SetLineMode(true);
    client.OnDataAvailable = [this](TCustomWSocket*, uint16_t) {
      ++calls;
      if (handler) handler(client);
    };
    client.OnSessionClosed = [this](TCustomWSocket*, uint16_t) { lines.push_back("closed"); };
    handler = [this](TWSocket& s) { lines.push_back(s.ReceiveStr()); };
  }

  // Connects, then sends each piece as its own reception.
  void Play(const std::vector<std::string>& pieces) {
    client.SetAddr("127.0.0.1");
    client.SetPort(listener_.GetBoundPort());
    client.Connect();
    ASSERT_TRUE(PumpUntil([&] { return peer && peer->State() == wsConnected && client.State() == wsConnected; }));
    for (const std::string& piece : pieces) Send(piece);
  }

  void Send(const std::string& piece) {
    peer->SendStr(piece);
    PumpFor(30ms);
  }

  void PeerCloses() {
    peer->Close();
    ASSERT_TRUE(PumpUntil([&] { return client.State() == wsClosed; }));
  }

  TWSocket client;
  std::unique_ptr<TWSocket> peer;
  Handler handler;
  std::vector<std::string> lines;
  std::string echoed;
  int calls = 0;

 private:
  TWSocket listener_;
};

struct CutRow {
  const char* name;
  bool edit;
  bool echo;
  std::vector<std::string> receptions;
  std::vector<std::string> lines;
  std::string echoed;
};

TEST(LineMode, CutsEditsAndEchoesLines) {
  const std::vector<CutRow> rows = {
      {"terminator split over two receptions", false, false, {"AB\r", "\n"}, {"AB\r\n"}, ""},
      {"two lines in one reception", false, false, {"L1\r\nL2\r\n"}, {"L1\r\n", "L2\r\n"}, ""},
      {"a line over three receptions", false, false, {"A", "B", "C\r\n"}, {"ABC\r\n"}, ""},
      {"bare CR and LF are no terminator", false, false, {"A\rB\nC\r\n"}, {"A\rB\nC\r\n"}, ""},
      {"echo without editing", false, true, {"hi\r\n", "x"}, {"hi\r\n"}, "hi\r\nx"},
      {"backspace erases", true, false, {"AX\bB\r\n"}, {"AB\r\n"}, ""},
      {"backspace erases what an earlier reception brought", true, false, {"AX", "\bB\r\n"}, {"AB\r\n"}, ""},
      {"backspaces bring a CR of an earlier reception before the LF", true, false, {"A\rXY", "\b\b\nB\r\n"},
       {"A\r\n", "B\r\n"}, ""},
      {"backspace at the start of the line does nothing", true, false, {"\bA\r\n"}, {"A\r\n"}, ""},
      {"backspace echoed as BS SP BS", true, true, {"AX\bB\r\n"}, {"AB\r\n"}, "AX\b \bB\r\n"},
      {"tab at position 3 becomes 5 spaces", true, true, {"abc\tZ\r\n"}, {"abc     Z\r\n"}, "abc     Z\r\n"},
      {"tab at position 8 becomes 8 spaces", true, false, {"12345678\t\r\n"}, {"12345678        \r\n"}, ""},
  };
  for (const CutRow& row : rows) {
    SCOPED_TRACE(row.name);
    LinePair pair;
    pair.client.SetLineEdit(row.edit);
    pair.client.SetLineEcho(row.echo);
    pair.Play(row.receptions);
    EXPECT_EQ(pair.lines, row.lines);
    EXPECT_EQ(pair.echoed, row.echoed);
  }
}

TEST(LineMode, TheLastLineWithoutTerminatorComesBeforeTheClose) {
  LinePair pair;
  pair.Play({"AB\r\nCD"});
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"AB\r\n"}));
  pair.PeerCloses();
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"AB\r\n", "CD", "closed"}));
}

TEST(LineMode, AHandlerReadingInSmallPiecesIsCalledUntilTheLineIsRead) {
  LinePair pair;
  std::vector<int32_t> announced;
  pair.handler = [&](TWSocket& s) {
    announced.push_back(s.RcvdCount());
    char c;
    if (s.Receive(&c, 1) == 1) pair.lines.push_back(std::string(1, c));
  };
  pair.Play({"AB\r\nC\r\n"});
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"A", "B", "\r", "\n", "C", "\r", "\n"}));
  EXPECT_EQ(announced, (std::vector<int32_t>{4, 3, 2, 1, 3, 2, 1}));
}

// Nothing read: no endless repetition; the line is offered again when more bytes come.
TEST(LineMode, ALineAHandlerLeftIsOfferedAgainWithTheNextBytes) {
  LinePair pair;
  bool reading = false;
  pair.handler = [&](TWSocket& s) {
    if (reading) pair.lines.push_back(s.ReceiveStr());
  };
  pair.Play({"AB\r\n"});
  EXPECT_EQ(pair.calls, 1);
  reading = true;
  pair.Send("CD\r\n");
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"AB\r\n", "CD\r\n"}));
}

TEST(LineMode, WithoutAHandlerLinesAreDropped) {
  LinePair pair;
  pair.client.OnDataAvailable = nullptr;
  pair.Play({"A\r\nB\r\nrest"});
  pair.client.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) { pair.lines.push_back(s->ReceiveStr()); };
  pair.Send("C\r\n");
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"restC\r\n"}));
}

// The unread rest of the line and the lines after it come next, in order, as plain data.
TEST(LineMode, SwitchingOffInTheMiddleOfALineKeepsTheRestInOrder) {
  LinePair pair;
  std::string received;
  pair.handler = [&](TWSocket& s) {
    if (s.LineMode()) {
      char two[2];
      received.append(two, static_cast<size_t>(s.Receive(two, 2)));
      s.SetLineMode(false);
      return;
    }
    received += s.ReceiveStr();
  };
  pair.Play({"ABCD\r\nEF\r\n"});
  EXPECT_EQ(received, "ABCD\r\nEF\r\n");
  pair.Send("GH");
  EXPECT_EQ(received, "ABCD\r\nEF\r\nGH");
}

// Line mode goes off and on again without anything read: the buffered lines are delivered
// from what is buffered alone, with nothing new on the socket, and nothing repeats for ever.
TEST(LineMode, SwitchingBackOnDeliversBufferedLinesWithoutNewData) {
  LinePair pair;
  pair.handler = [&](TWSocket& s) {
    if (pair.calls <= 2) return s.SetLineMode(!s.LineMode());
    pair.lines.push_back(s.ReceiveStr());
  };
  pair.Play({"L1\r\nL2\r\nL3"});
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"L1\r\n", "L2\r\n"}));
  EXPECT_EQ(pair.calls, 4);
  pair.PeerCloses();
  EXPECT_EQ(pair.lines, (std::vector<std::string>{"L1\r\n", "L2\r\n", "L3", "closed"}));
}

}  // namespace
