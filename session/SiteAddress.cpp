#include "session/SiteAddress.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "platform/StringUtils.h"

namespace session {

namespace {

// Removes `scheme` from the start of `text` when it stands there, in any letter case.
void DropScheme(std::string& text, std::string_view scheme) {
  if (text.size() < scheme.size()) return;
  for (std::size_t i = 0; i < scheme.size(); ++i) {
    char c = text[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != scheme[i]) return;
  }
  text.erase(0, scheme.size());
}

// "host:port"; an IPv6 address in brackets, "[::1]:2121", or bare, "::1", which has more
// than one ":" and so no port.
void SplitHostAndPort(std::string& server, SiteRecord& site) {
  if (server.starts_with('[')) {
    const std::size_t close = server.find(']');
    if (close != std::string::npos) {
      const std::string rest = server.substr(close + 1);
      if (rest.starts_with(':')) site.Port = rest.substr(1);
      server = server.substr(1, close - 1);
      return;
    }
  }
  const std::size_t colon = server.find(':');
  if (colon == std::string::npos || server.find(':', colon + 1) != std::string::npos) return;
  site.Port = server.substr(colon + 1);
  server.erase(colon);
}

}  // namespace

SiteRecord ParseSiteAddress(SiteRecord site) {
  std::string server = platform::Trim(site.Server);
  DropScheme(server, "ftp://");
  DropScheme(server, "http://");
  std::erase(server, ' ');

  if (const std::size_t at = server.find('@'); at != std::string::npos) {
    const std::string userPart = server.substr(0, at);
    server.erase(0, at + 1);
    if (const std::size_t colon = userPart.find(':'); colon != std::string::npos) {
      site.User = userPart.substr(0, colon);
      site.Password = userPart.substr(colon + 1);
    } else {
      site.User = userPart;
    }
  }
  if (const std::size_t slash = server.find('/'); slash != std::string::npos) {
    site.InitialDir = server.substr(slash);
    server.erase(slash);
  }
  SplitHostAndPort(server, site);
  site.Server = server;
  FitSiteWidths(site);
  return site;
}

}  // namespace session
