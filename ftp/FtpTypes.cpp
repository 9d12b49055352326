#include "ftp/FtpTypes.h"

#include <iterator>

const char* FtpStateName(TFtpState state) {
  switch (state) {
    case ftpNotConnected: return "ftpNotConnected";
    case ftpReady: return "ftpReady";
    case ftpInternalReady: return "ftpInternalReady";
    case ftpDnsLookup: return "ftpDnsLookup";
    case ftpConnected: return "ftpConnected";
    case ftpAbort: return "ftpAbort";
    case ftpWaitingBanner: return "ftpWaitingBanner";
    case ftpWaitingResponse: return "ftpWaitingResponse";
  }
  return "unknown";
}

const char* FtpRequestName(TFtpRequest request) {
  static const char* const names[] = {
      "none",           "OpenAsync",      "UserAsync",     "PassAsync",       "CwdAsync",
      "ConnectAsync",   "ReceiveAsync",   "DirAsync",      "LsAsync",         "PortAsync",
      "GetAsync",       "DirectoryAsync", "ListAsync",     "SystemAsync",     "SystAsync",
      "QuitAsync",      "SizeAsync",      "PutAsync",      "AppendAsync",     "FileSizeAsync",
      "RqAbort",        "MkdAsync",       "RmdAsync",      "RenameAsync",     "DeleAsync",
      "RenAsync",       "RenToAsync",     "RenFromAsync",  "DeleteAsync",     "MkdirAsync",
      "RmdirAsync",     "PwdAsync",       "QuoteAsync",    "CDupAsync",       "DoQuoteAsync",
      "TransmitAsync",  "TypeSetAsync",   "RestAsync",     "RestGetAsync",    "RestartGetAsync",
      "RestPutAsync",   "RestartPutAsync",
  };
  return request < std::size(names) ? names[request] : "unknown";
}
