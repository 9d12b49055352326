#include "sites/SiteLine.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>

#include "platform/IniFile.h"
#include "platform/TextFile.h"

namespace {

// A choice stored by name: what a value means for the site, and the value to write ("":
// the pair is left out).
struct Choice {
  void (*read)(std::string_view value, SiteRecord& site);
  std::string_view (*write)(const SiteRecord& site);
};

// Exactly one of `text`, `flag` and `choice` is set.
struct SiteKey {
  std::string_view key;  // with its "="
  std::string SiteRecord::*text = nullptr;
  bool SiteRecord::*flag = nullptr;
  bool unreadableFlag = false;  // the flag's value when the line's value is not a number
  const Choice* choice = nullptr;
};

constexpr SiteKey Text(std::string_view key, std::string SiteRecord::*member) {
  return {key, member, nullptr, false, nullptr};
}

constexpr SiteKey Flag(std::string_view key, bool SiteRecord::*member, bool unreadable) {
  return {key, nullptr, member, unreadable, nullptr};
}

constexpr SiteKey ChoiceKey(std::string_view key, const Choice& choice) { return {key, nullptr, nullptr, false, &choice}; }

constexpr std::string_view kAutomaticListing = "auto";

// Any other value keeps the Answer code's format.
constexpr Choice kListingChoice = {
    [](std::string_view value, SiteRecord& site) { site.AutoListing = value == kAutomaticListing; },
    [](const SiteRecord& site) { return site.AutoListing ? kAutomaticListing : std::string_view(); },
};

// A set we do not know reads as the automatic one.
constexpr Choice kCharsetChoice = {
    [](std::string_view value, SiteRecord& site) {
      site.Charset = platform::CharacterSetOfId(value).value_or(platform::CharacterSet::Automatic);
    },
    [](const SiteRecord& site) {
      return site.Charset == platform::CharacterSet::Automatic ? std::string_view() : platform::NameOf(site.Charset).id;
    },
};

struct EncryptionName {
  SiteEncryption encryption;
  std::string_view value;
};

constexpr std::array<EncryptionName, 3> kEncryptionNames = {{
    {SiteEncryption::ExplicitIfOffered, "tls"},
    {SiteEncryption::ExplicitRequired, "tls-required"},
    {SiteEncryption::Implicit, "implicit"},
}};

constexpr Choice kEncryptionChoice = {
    [](std::string_view value, SiteRecord& site) {
      site.Encryption = SiteEncryption::ExplicitRequired;
      for (const EncryptionName& name : kEncryptionNames)
        if (name.value == value) site.Encryption = name.encryption;
    },
    [](const SiteRecord& site) {
      for (const EncryptionName& name : kEncryptionNames)
        if (name.encryption == site.Encryption) return name.value;
      return std::string_view();
    },
};

// The order in which the pairs are written; the last three came later, so older lines lack them.
constexpr std::array<SiteKey, 21> kSiteKeys = {
    Text("Name=", &SiteRecord::Name),
    Text("Server=", &SiteRecord::Server),
    Text("Port=", &SiteRecord::Port),
    Text("Password=", &SiteRecord::Password),
    Text("User=", &SiteRecord::User),
    Text("Account=", &SiteRecord::Account),
    Text("Description=", &SiteRecord::Description),
    Text("InitialDir=", &SiteRecord::InitialDir),
    Flag("Anonymous=", &SiteRecord::Anonymous, true),
    Flag("SavePassword=", &SiteRecord::SavePassword, true),
    Text("ModifiedDate=", &SiteRecord::ModifiedDate),
    Text("EMail=", &SiteRecord::EMail),
    Text("LocalDir=", &SiteRecord::LocalDir),
    Flag("Pasv=", &SiteRecord::Pasv, false),
    Text("Desc=", &SiteRecord::Desc),
    Text("Answer=", &SiteRecord::Answer),
    Text("AnswerName=", &SiteRecord::AnswerName),
    Flag("CheckPSW=", &SiteRecord::CheckPSW, true),
    ChoiceKey("Listing=", kListingChoice),
    ChoiceKey("Charset=", kCharsetChoice),
    ChoiceKey("Encryption=", kEncryptionChoice),
};

void StoreValue(const SiteKey& key, std::string_view value, SiteRecord& site) {
  if (key.choice) {
    key.choice->read(value, site);
    return;
  }
  if (key.text) {
    site.*key.text = std::string(value);
    return;
  }
  const std::optional<std::int32_t> number = platform::ParseProfileInteger(value);
  site.*key.flag = number ? *number != 0 : key.unreadableFlag;
}

// `pair` is the text between two ";"; only the first pair of each key is stored.
void ApplyPair(std::string_view pair, SiteRecord& site, std::array<bool, kSiteKeys.size()>& seen) {
  for (std::size_t i = 0; i < kSiteKeys.size(); ++i) {
    if (!pair.starts_with(kSiteKeys[i].key)) continue;
    if (!seen[i]) StoreValue(kSiteKeys[i], pair.substr(kSiteKeys[i].key.size()), site);
    seen[i] = true;
    return;
  }
}

// The value as it can stand on the site's line (see SiteLine.h).
std::string OneLineValue(const SiteKey& key, std::string_view value) {
  if (key.text != &SiteRecord::Desc) return std::string(platform::FirstLine(value));
  std::string joined;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (value[i] != '\r' && value[i] != '\n') {
      joined += value[i];
      continue;
    }
    joined += kDescLineSeparator;
    if (value.compare(i, 2, "\r\n") == 0) ++i;
  }
  return joined;
}

// The value of the key's pair; nothing when the pair is left out (an empty text, a choice
// at its default).
std::optional<std::string> PairValue(const SiteKey& key, const SiteRecord& site) {
  if (key.flag) return site.*key.flag ? "1" : "0";
  if (key.choice) {
    const std::string_view value = key.choice->write(site);
    return value.empty() ? std::nullopt : std::optional<std::string>(value);
  }
  if ((site.*key.text).empty()) return std::nullopt;
  return OneLineValue(key, site.*key.text);
}

}  // namespace

SiteRecord ParseSiteLine(std::string_view line, const ProgramOptions& options) {
  SiteRecord site = NewSiteRecord(options);
  site.AutoListing = false;  // unless the line says so: it may predate the choices
  site.Encryption = SiteEncryption::None;
  std::array<bool, kSiteKeys.size()> seen{};
  for (std::size_t start = 0; start <= line.size();) {
    const std::size_t end = std::min(line.find(';', start), line.size());
    ApplyPair(line.substr(start, end - start), site, seen);
    start = end + 1;
  }
  FitSiteWidths(site);
  return site;
}

std::string FormatSiteLine(const SiteRecord& site) {
  std::string line;
  for (const SiteKey& key : kSiteKeys) {
    if (const std::optional<std::string> value = PairValue(key, site)) line.append(key.key).append(*value).append(";");
  }
  return line;
}
