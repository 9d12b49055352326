// Line mode over a real loopback connection: lines cut from receptions in any split, line
// editing and echo, partial reads, handlers that read nothing, switching the mode with bytes
// buffered, and the last line without terminator at the close.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "support/EventLoop.h"
#include "support/net/ConnectedPair.h"

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

namespace {

// A client in line mode whose handler writes down what it reads in `lines`; the peer sends
// what the test says and collects what the client echoes.
class LinePair : public testsupport::ConnectedPair {
 public:
  using Handler = std::function<void(LinePair&)>;

  LinePair() {
    client.SetLineMode(true);
    client.OnDataAvailable = [this](TCustomWSocket*, uint16_t) {
      ++calls;
      handler(*this);
    };
    client.OnSessionClosed = [this](TCustomWSocket*, uint16_t) { lines.push_back("closed"); };
  }

  // Connects, then sends each piece as its own reception; `mark` notes the end of each one.
  void Play(const Lines& pieces, bool mark = false) {
    ASSERT_TRUE(Connected());
    for (const std::string& piece : pieces) {
      Send(piece);
      if (mark) lines.push_back("|");
    }
  }
  void Send(const std::string& piece) {
    ++sent;
    peer->SendStr(piece);
    testsupport::PumpFor(30ms);
  }

  Handler handler = [](LinePair& p) { p.lines.push_back(p.client.ReceiveStr()); };
  Lines lines;
  int calls = 0;
  int sent = 0;
};

struct CutRow {
  const char* name;
  bool edit;
  bool echo;
  Lines receptions;
  Lines lines;
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
    EXPECT_EQ(pair.peerReceived, row.echoed);
  }
}

// What a handler reads with each reception ("|" ends one), and at the peer's close.
struct HandlerRow {
  const char* name;
  LinePair::Handler handler;
  Lines receptions;
  bool peerCloses;
  Lines lines;
};

TEST(LineMode, HandlersThatReadLittleOrNothingOrSwitchTheMode) {
  const auto whole = [](LinePair& p) { p.lines.push_back(p.client.ReceiveStr()); };
  const HandlerRow rows[] = {
      {"the last line without terminator comes before the close", whole, {"AB\r\nCD"}, true,
       {"AB\r\n", "|", "CD", "closed"}},
      {"a handler reading single bytes is called until the line is read, told what is left",
       [](LinePair& p) {
         const int32_t left = p.client.RcvdCount();
         char c;
         if (p.client.Receive(&c, 1) == 1) p.lines.push_back(std::to_string(left) + std::string(1, c));
       },
       {"AB\r\nC\r\n"}, false, {"4A", "3B", "2\r", "1\n", "3C", "2\r", "1\n", "|"}},
      {"a line left unread is offered again, once, with the next bytes",
       [](LinePair& p) { p.lines.push_back(p.sent < 2 ? "left" : p.client.ReceiveStr()); },
       {"AB\r\n", "CD\r\n"}, false, {"left", "|", "AB\r\n", "CD\r\n", "|"}},
      {"switched off in the middle of a line, the rest comes next in order as plain data",
       [](LinePair& p) {
         if (!p.client.LineMode()) return p.lines.push_back(p.client.ReceiveStr());
         char two[2];
         p.lines.emplace_back(two, static_cast<size_t>(p.client.Receive(two, 2)));
         p.client.SetLineMode(false);
       },
       {"ABCD\r\nEF\r\n", "GH"}, false, {"AB", "CD\r\nEF\r\n", "|", "GH", "|"}},
      {"switched off and on again unread, the buffered lines come without new data",
       [](LinePair& p) {
         if (p.calls <= 2) return p.client.SetLineMode(!p.client.LineMode());
         p.lines.push_back(p.client.ReceiveStr());
       },
       {"L1\r\nL2\r\nL3"}, true, {"L1\r\n", "L2\r\n", "|", "L3", "closed"}},
  };
  for (const HandlerRow& row : rows) {
    SCOPED_TRACE(row.name);
    LinePair pair;
    pair.handler = row.handler;
    pair.Play(row.receptions, true);
    if (row.peerCloses) {
      pair.peer->Close();
      ASSERT_TRUE(testsupport::PumpUntil([&] { return pair.client.State() == wsClosed; }));
    }
    EXPECT_EQ(pair.lines, row.lines);
  }
}

TEST(LineMode, WithoutAHandlerLinesAreDropped) {
  LinePair pair;
  pair.client.OnDataAvailable = nullptr;
  pair.Play({"A\r\nB\r\nrest"});
  pair.client.OnDataAvailable = [&](TCustomWSocket* s, uint16_t) { pair.lines.push_back(s->ReceiveStr()); };
  pair.Send("C\r\n");
  EXPECT_EQ(pair.lines, (Lines{"restC\r\n"}));
}

}  // namespace
