#include "ftp/FtpFeatures.h"

#include "platform/StringUtils.h"

namespace {

bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return platform::UpperCase(a) == platform::UpperCase(b);
}

// The facts of an MLST parameter text, each as its name and whether it is given by default.
struct Fact {
  std::string_view name;
  bool byDefault;
};

std::vector<Fact> FactsOf(std::string_view text) {
  std::vector<Fact> facts;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find(';'), text.size());
    std::string_view fact = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const bool byDefault = fact.ends_with('*');
    if (byDefault) fact.remove_suffix(1);
    if (!fact.empty()) facts.push_back({fact, byDefault});
  }
  return facts;
}

}  // namespace

FtpFeatures ParseFeatures(const std::vector<std::string>& lines) {
  FtpFeatures features;
  for (const std::string& line : lines) {
    const std::string text = platform::Trim(line);
    const std::size_t blank = text.find(' ');
    const std::string name = platform::UpperCase(text.substr(0, blank));
    const std::string parameters = blank == std::string::npos ? "" : platform::Trim(text.substr(blank + 1));
    if (name == "UTF8") features.utf8 = true;
    if (name == "EPSV") features.epsv = true;
    if (name == "EPRT") features.eprt = true;
    if (name == "MLSD") features.mlsd = true;
    if (name == "MLST") {
      features.mlsd = true;
      features.mlstFacts = parameters;
    }
  }
  return features;
}

std::string MlstOptsCommand(const FtpFeatures& features) {
  const std::vector<Fact> offered = FactsOf(features.mlstFacts);
  std::string wanted;
  bool missing = false;
  for (std::string_view name : kWantedMlstFacts) {
    for (const Fact& fact : offered) {
      if (!SameIgnoringCase(fact.name, name)) continue;
      wanted += std::string(fact.name) + ";";
      missing = missing || !fact.byDefault;
      break;
    }
  }
  return missing ? "OPTS MLST " + wanted : "";
}
