#pragma once
// The steps of chained requests, as a set, and the one order in which a chain runs them.
#include <array>
#include <cstdint>
#include <initializer_list>

enum TFtpStep : uint8_t {
  ftpStepNone = 0,
  ftpStepOpen = 1,
  ftpStepUser = 2,
  ftpStepPass = 3,
  ftpStepCwd = 4,
  ftpStepSize = 5,
  ftpStepMkd = 6,
  ftpStepRmd = 7,
  ftpStepRenFrom = 8,
  ftpStepRenTo = 9,
  ftpStepGet = 10,
  ftpStepDir = 11,
  ftpStepQuit = 12,
  ftpStepSyst = 13,
  ftpStepDele = 14,
  ftpStepPwd = 15,
  ftpStepQuote = 16,
  ftpStepPut = 17,
  ftpStepTypeSet = 18,
  ftpStepRest = 19,
  ftpStepCDup = 20,
  ftpStepLs = 21,
  ftpStepAppend = 22,
  ftpStepPort = 23,
  ftpStepProt = 24,  // PBSZ 0 and PROT P after the login of an encrypted session
  // What the server can do, asked after the login; none of them fails a chain.
  ftpStepFeat = 25,
  ftpStepOptsUtf8 = 26,
  ftpStepOptsMlst = 27,
};

// Whatever set a chain was started with, its steps run in this order.
inline constexpr std::array<TFtpStep, 27> kFtpStepOrder = {
    ftpStepOpen, ftpStepUser,    ftpStepPass,  ftpStepProt,  ftpStepFeat,  ftpStepOptsUtf8, ftpStepOptsMlst,
    ftpStepCwd,   ftpStepCDup, ftpStepTypeSet, ftpStepPort, ftpStepRest,
    ftpStepGet,  ftpStepPut,     ftpStepAppend, ftpStepDir,  ftpStepLs,   ftpStepSyst,    ftpStepMkd,  ftpStepRmd,
    ftpStepRenFrom, ftpStepRenTo, ftpStepSize, ftpStepDele, ftpStepPwd,  ftpStepQuote,   ftpStepQuit,
};

// A set of steps, stored as bits at the steps' numbers.
class TFtpStepSet {
 public:
  TFtpStepSet() = default;
  TFtpStepSet(std::initializer_list<TFtpStep> steps) {
    for (TFtpStep s : steps) bits_ |= Bit(s);
  }
  bool Empty() const { return bits_ == 0; }
  bool Contains(TFtpStep s) const { return (bits_ & Bit(s)) != 0; }
  void Add(TFtpStep s) { bits_ |= Bit(s); }
  void Clear() { bits_ = 0; }

  // Removes and returns the first member in chain order; ftpStepNone when empty.
  TFtpStep TakeNext() {
    for (TFtpStep s : kFtpStepOrder) {
      if (Contains(s)) {
        bits_ &= ~Bit(s);
        return s;
      }
    }
    return ftpStepNone;
  }

 private:
  static uint32_t Bit(TFtpStep s) { return uint32_t{1} << s; }
  uint32_t bits_ = 0;
};
