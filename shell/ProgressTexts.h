#pragma once
// What the transfer progress window shows, as a plain function of byte counts and times, so
// that the texts are checked without a widget. Counts are 64-bit: files over 2 GiB show right.
//
// Times are whole seconds shown as "h:mm:ss" (hours padded to two places with a blank).
// The rate is the batch's: all bytes of the batch over the batch's time, in tenths of a
// kilobyte per second from 1 KB/s up ("1.5 K/sec"), whole bytes per second below, and "???"
// while nothing can be said (no time has passed or no byte has moved).
#include <cstdint>
#include <string>
#include <string_view>

namespace shell {

struct ProgressFigures {
  std::int64_t fileBytes = 0;   // bytes of the current file so far
  std::int64_t fileSize = 0;    // size of the current file (0 when unknown)
  std::int64_t fileMs = 0;      // time since the current file started
  std::int64_t batchBytes = 0;  // bytes of the whole batch, the current file's included
  std::int64_t batchMs = 0;     // time since the batch started
};

struct ProgressTexts {
  int bar = 0;  // percent of the current file, 0 to 100
  std::string transferred;       // this file: bytes so far
  std::string time;              // this file: elapsed
  std::string timeLeft;          // this file: estimated time still needed
  std::string totalTransferred;  // batch: bytes so far
  std::string totalTime;         // batch: elapsed
  std::string rate;              // batch: bytes per second
};

ProgressTexts ProgressTextsOf(const ProgressFigures& figures);

// The window's caption for a file: its last path part, its size and the direction.
std::string ProgressCaption(std::string_view path, std::int64_t size, bool sending);

// The animation runs through the frames 0 to 20: rightwards while sending, leftwards while
// receiving, wrapping round at the ends.
inline constexpr int kLastFrame = 20;
int NextFrame(int frame, bool sending);

}  // namespace shell
