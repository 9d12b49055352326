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
}

void TCustomFtpCli::SetPassive(bool value) { passive_ = ConnectionType() == ftpDirect ? value : true; }
