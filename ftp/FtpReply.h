#pragma once
// Reading FTP replies: numbers and quoted strings inside a reply line, and the assembly of
// reply lines from the bytes of the control connection. Pure code, no I/O.
#include <cstdint>
#include <string>

// Skips tabs, LFs, CRs and blanks from pos, takes an optional sign and the decimal digits
// that follow; value is their number (0 without digits). Returns the position after them.
size_t GetInteger(const std::string& text, size_t pos, int64_t& value);

// From pos, skips blanks; a following double quote starts a string that runs to the next
// lone double quote, two double quotes in a row standing for one. Empty when no quote follows.
std::string GetQuotedString(const std::string& text, size_t pos);

// A line that starts with a digit and whose leading digits are not followed by '-' is the
// final line of a reply; code receives its number.
bool IsFinalReplyLine(const std::string& line, int& code);

// Collects control-connection bytes and hands out complete lines, without their trailing CR
// and LF characters. With acceptLF a bare LF ends a line, otherwise only CR LF does.
// It holds at most kCapacity bytes: a line longer than that is cut there, handed out, and the
// rest of it, up to its terminator, is dropped, so an endless line can neither overflow the
// buffer nor stall the connection. A cut that falls between the CR and the LF of a CR LF
// ends the line there: the LF that follows is its terminator.
class FtpReplyAssembler {
 public:
  static constexpr size_t kCapacity = 4095;

  // How many bytes may be appended now.
  size_t Room() const { return kCapacity - held_.size(); }
  void Append(const char* data, size_t len);
  bool NextLine(std::string& line, bool acceptLF);
  void Clear();

 private:
  std::string held_;
  bool droppingRest_ = false;  // inside the overflow of a line that was cut
  bool cutAfterCR_ = false;    // the cut fell right after a CR
};
