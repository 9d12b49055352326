#include "settings/options.h"

#include <array>
#include <string_view>
#include <variant>

#include "platform/IniFile.h"
#include "platform/ProgramDirectory.h"

namespace {

using OptionField = std::variant<std::uint8_t ProgramOptions::*, std::int32_t ProgramOptions::*,
                                 bool ProgramOptions::*, std::string ProgramOptions::*>;

struct OptionKey {
  std::string_view section;
  std::string_view key;
  OptionField field;
};

template <class... Handlers>
struct Overloaded : Handlers... {
  using Handlers::operator()...;
};
// Spelled out for compilers that do not yet deduce an aggregate's arguments (clang 14).
template <class... Handlers>
Overloaded(Handlers...) -> Overloaded<Handlers...>;

constexpr std::string_view kCommon = "Common";
constexpr std::string_view kProxy = "Proxy";
constexpr std::string_view kSocks = "Socks";

// In the order the keys are written, which also fixes the order of the sections and keys
// of a new file. Reads are independent of each other, so loading uses the same table.
const std::array<OptionKey, 38> kOptionKeys = {{
    {kCommon, "ConnectionType", &ProgramOptions::ConnectionType},
    {kCommon, "TransferMode", &ProgramOptions::TransferMode},
    {kProxy, "Server", &ProgramOptions::ProxyServer},
    {kProxy, "Port", &ProgramOptions::ProxyPort},
    {kProxy, "Psw", &ProgramOptions::ProxyPassword},
    {kProxy, "PswMask", &ProgramOptions::ProxyPasswordMasked},
    {kSocks, "Server", &ProgramOptions::SocksServer},
    {kSocks, "Port", &ProgramOptions::SocksPort},
    {kSocks, "Psw", &ProgramOptions::SocksPassword},
    {kSocks, "UC", &ProgramOptions::SocksUserCode},
    {kSocks, "PswMask", &ProgramOptions::SocksPasswordMasked},
    {kCommon, "PassiveTransfer", &ProgramOptions::PassiveTransfer},
    {kCommon, "Sync", &ProgramOptions::SyncCommands},
    {kCommon, "Log", &ProgramOptions::LogEnabled},
    {kCommon, "LogFile", &ProgramOptions::LogFile},
    {kCommon, "TimeOut", &ProgramOptions::TimeOut},
    {kCommon, "retry", &ProgramOptions::RetryCount},
    {kCommon, "Keep", &ProgramOptions::KeepAlive},
    {kCommon, "StartKeep", &ProgramOptions::KeepStart},
    {kCommon, "DurationKeep", &ProgramOptions::KeepInterval},
    {kCommon, "CmdKeep", &ProgramOptions::KeepCommands},
    {kCommon, "Ext", &ProgramOptions::AsciiExtensions},
    {kCommon, "Anonymous", &ProgramOptions::AnonymousMail},
    {kCommon, "MailAno", &ProgramOptions::AnonymousMailEnabled},
    {kCommon, "fwHost", &ProgramOptions::FirewallHost},
    {kCommon, "fwPort", &ProgramOptions::FirewallPort},
    {kCommon, "fwID", &ProgramOptions::FirewallUser},
    {kCommon, "fwPsw", &ProgramOptions::FirewallPassword},
    {kCommon, "fwType", &ProgramOptions::FirewallType},
    {kCommon, "fwSimbol", &ProgramOptions::FirewallSymbol},
    {kCommon, "fwEnable", &ProgramOptions::FirewallEnabled},
    {kCommon, "IniPath", &ProgramOptions::StartDirectory},
    {kCommon, "FontName", &ProgramOptions::FontName},
    {kCommon, "FontSize", &ProgramOptions::FontSize},
    {kCommon, "FontColor", &ProgramOptions::FontColor},
    {kCommon, "PromptDownLoad", &ProgramOptions::PromptDownload},
    {kCommon, "PromptUpLoad", &ProgramOptions::PromptUpload},
    {kCommon, "DefPrompt", &ProgramOptions::DefaultPromptAction},
}};

// The field's current value serves as the default for a missing key.
void LoadKey(const platform::IniFile& ini, const OptionKey& option, ProgramOptions& options) {
  const std::string_view section = option.section;
  const std::string_view key = option.key;
  std::visit(Overloaded{
                 [&](std::uint8_t ProgramOptions::*member) {
                   options.*member = static_cast<std::uint8_t>(ini.ReadInteger(section, key, options.*member));
                 },
                 [&](std::int32_t ProgramOptions::*member) {
                   options.*member = ini.ReadInteger(section, key, options.*member);
                 },
                 [&](bool ProgramOptions::*member) {
                   options.*member = ini.ReadBool(section, key, options.*member);
                 },
                 [&](std::string ProgramOptions::*member) {
                   options.*member = ini.ReadString(section, key, options.*member);
                 },
             },
             option.field);
}

void SaveKey(platform::IniFile& ini, const OptionKey& option, const ProgramOptions& options) {
  const std::string_view section = option.section;
  const std::string_view key = option.key;
  std::visit(Overloaded{
                 [&](std::uint8_t ProgramOptions::*member) { ini.WriteInteger(section, key, options.*member); },
                 [&](std::int32_t ProgramOptions::*member) { ini.WriteInteger(section, key, options.*member); },
                 [&](bool ProgramOptions::*member) { ini.WriteBool(section, key, options.*member); },
                 [&](std::string ProgramOptions::*member) { ini.WriteString(section, key, options.*member); },
             },
             option.field);
}

}  // namespace

OptionsWriteException::OptionsWriteException(const std::string& path)
    : std::runtime_error("Unable to write to " + path) {}

ProgramOptions LoadOptions(const std::string& directory, const std::string& defaultStartDirectory) {
  ProgramOptions options;
  options.StartDirectory = defaultStartDirectory.empty() ? directory : defaultStartDirectory;
  const platform::IniFile ini(platform::FileInDirectory(directory, kOptionsFileName));
  for (const OptionKey& option : kOptionKeys) LoadKey(ini, option, options);
  return options;
}

void SaveOptions(const ProgramOptions& options, const std::string& directory) {
  platform::IniFile ini(platform::FileInDirectory(directory, kOptionsFileName));
  for (const OptionKey& option : kOptionKeys) SaveKey(ini, option, options);
  if (!ini.Save(platform::FileAccess::OwnerOnly)) throw OptionsWriteException(ini.Path());
}
