#pragma once
// What a server says it can do, from its reply to FEAT:
//
//   211-Features:
//    EPSV
//    MLST type*;size*;modify*;perm*;unix.mode;
//    UTF8
//   211 End
//
// Each line between the first and the last names one feature, a blank before it; its name
// is the first word (compared without regard to case), the rest its parameters. Pure code.
#include <string>
#include <string_view>
#include <vector>

struct FtpFeatures {
  bool utf8 = false;   // names may travel in UTF-8 (OPTS UTF8 ON)
  bool mlsd = false;   // machine listings (MLST and MLSD)
  bool epsv = false;   // extended passive mode
  bool eprt = false;   // extended active mode
  // The facts of the MLST line: "type*;size*;modify*;unix.mode;", a '*' after each fact the
  // server gives without being asked.
  std::string mlstFacts;

  bool operator==(const FtpFeatures&) const = default;
};

// The features of the continuation lines of a FEAT reply (the first and last lines, which
// carry the code, are not among them).
FtpFeatures ParseFeatures(const std::vector<std::string>& lines);

// The facts a listing is read from, in the order asked for.
inline constexpr std::string_view kWantedMlstFacts[] = {"type", "size", "modify", "perm", "unix.mode"};

// "OPTS MLST type;size;modify;perm;unix.mode;": the facts of kWantedMlstFacts the server can
// give, when one of them is not given by default; empty when nothing is to be asked.
std::string MlstOptsCommand(const FtpFeatures& features);
