#pragma once
// A server's names and the program's texts. Names travel to and from the server as bytes in
// the site's character set; the program shows, reads from the user and writes on the local
// disk UTF-8.
// - A listed name goes back to the server as the very bytes the server sent (the pane
//   item's ServerName), never decoded and encoded again.
// - A name the user types, and a local file's name that becomes an upload's remote name, is
//   encoded in the site's set. A character the set cannot hold refuses the whole name, which
//   is then not sent at all; so is a name with a line break (a Linux file may have one),
//   which would end the command early and send the rest as a command of its own. With the
//   automatic set a local name that is not UTF-8 (a file made under another locale) goes as
//   it is, as it always did.
// - A downloaded entry is named locally by its decoded name, always valid UTF-8.
#include <string>
#include <string_view>

#include "platform/TextCodec.h"

namespace session {

struct NameForServer {
  std::string bytes;    // the name as the server gets it
  std::string refusal;  // why it cannot be sent, e.g. `The name "a😀" cannot be sent: KOI8-R
                        // has no "😀"`; empty when it can
  bool ok() const { return refusal.empty(); }
};

NameForServer EncodeServerName(std::string_view text, platform::CharacterSet names);

// The local name of a server's entry, or of a "/"-separated relative path of entries (each
// part decoded alone, so a path reads as its parts did).
std::string LocalNameOf(std::string_view serverBytes, platform::CharacterSet names);

}  // namespace session
