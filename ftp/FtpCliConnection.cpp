// TCustomFtpCli: how the server is reached. Every type but a direct connection forces
// passive mode, so that data connections are always opened towards the control connection's
// peer (the proxy, or the server behind the SOCKS relay).
#include "ftp/FtpCli.h"

TFtpConnectionType TCustomFtpCli::ConnectionType() const {
  return connectionType_ >= ftpDirect && connectionType_ <= ftpSocks5 ? static_cast<TFtpConnectionType>(connectionType_)
                                                                      : ftpDirect;
}

void TCustomFtpCli::SetConnectionType(int type) {
  if (connected_) HandleError("FTP component connected");
  connectionType_ = type >= ftpDirect && type <= ftpSocks5 ? type : ftpDirect;
  if (connectionType_ != ftpDirect) passive_ = true;
  const char* level = connectionType_ == ftpSocks4 ? "4" : connectionType_ == ftpSocks4A ? "4A" : "5";
  const bool socks = connectionType_ >= ftpSocks4;
  // The direct and proxy types leave the sockets' SOCKS server, port and level alone: the
  // owner clears SocksServer so that the sockets connect directly.
  ForBothSockets([&](TWSocket& s) {
    if (socks) s.SetSocksLevel(level);
    s.SetSocksAuthentication(socks ? socksAuthenticateUsercode : socksNoAuthentication);
  });
}

void TCustomFtpCli::ForBothSockets(const std::function<void(TWSocket&)>& apply) {
  apply(*controlSocket_);
  apply(*dataSocket_);
}

// The SOCKS settings live in the sockets, written into both; a socket forgets its server and
// port at every close, so they carry the next connection of each socket only.
const std::string& TCustomFtpCli::SocksServer() const { return controlSocket_->SocksServer(); }

void TCustomFtpCli::SetSocksServer(const std::string& value) {
  ForBothSockets([&](TWSocket& s) { s.SetSocksServer(value); });
}

const std::string& TCustomFtpCli::SocksPort() const { return controlSocket_->SocksPort(); }

void TCustomFtpCli::SetSocksPort(const std::string& value) {
  ForBothSockets([&](TWSocket& s) { s.SetSocksPort(value); });
}

const std::string& TCustomFtpCli::SocksUserCode() const { return controlSocket_->SocksUsercode(); }

void TCustomFtpCli::SetSocksUserCode(const std::string& value) {
  ForBothSockets([&](TWSocket& s) { s.SetSocksUsercode(value); });
}

const std::string& TCustomFtpCli::SocksPassword() const { return controlSocket_->SocksPassword(); }

void TCustomFtpCli::SetSocksPassword(const std::string& value) {
  ForBothSockets([&](TWSocket& s) { s.SetSocksPassword(value); });
}

void TCustomFtpCli::SetPassive(bool value) { passive_ = ConnectionType() == ftpDirect ? value : true; }
