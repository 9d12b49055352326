#include "session/RemoteNames.h"

namespace session {

NameForServer EncodeServerName(std::string_view text, platform::CharacterSet names) {
  if (text.find_first_of("\r\n") != std::string_view::npos)
    return {{}, "The name \"" + platform::DecodeTextBytes(text) + "\" cannot be sent: it holds a line break"};
  if (names == platform::CharacterSet::Automatic && !platform::IsValidUtf8(text)) return {std::string(text), {}};
  platform::EncodedText encoded = platform::EncodeText(text, names);
  if (encoded.ok) return {std::move(encoded.bytes), {}};
  const std::string shown = platform::DecodeTextBytes(text);
  return {{}, "The name \"" + shown + "\" cannot be sent: " + std::string(platform::NameOf(names).caption) +
                  " has no \"" + encoded.unencodable + "\""};
}

std::string LocalNameOf(std::string_view serverBytes, platform::CharacterSet names) {
  std::string local;
  for (;;) {
    const std::size_t slash = serverBytes.find('/');
    local += platform::DecodeText(serverBytes.substr(0, slash), names);
    if (slash == std::string_view::npos) return local;
    local += '/';
    serverBytes.remove_prefix(slash + 1);
  }
}

}  // namespace session
