// TCustomFtpCli: encrypted sessions. AUTH TLS or TLS from the first byte, the decision on
// the server's certificate, PBSZ/PROT after the login, and TLS on every data connection.
//
// Nothing is sent to the server between the start of TLS and the acceptance of its
// certificate: the control socket is paused while the decision is due, and the decision is
// asked from the event loop, outside any socket event.
#include "ftp/FtpCli.h"
#include "ftp/FtpMessages.h"
#include "platform/StringUtils.h"

void TCustomFtpCli::SetEncryption(int value) {
  if (connected_) HandleError("FTP component connected");
  encryption_ = value >= ftpEncryptionNone && value <= ftpEncryptionImplicit ? value : ftpEncryptionNone;
}

bool TCustomFtpCli::ExplicitTls() const {
  return encryption_ == ftpEncryptionExplicitIfOffered || encryption_ == ftpEncryptionExplicit;
}

bool TCustomFtpCli::ImplicitTls() const { return encryption_ == ftpEncryptionImplicit; }

// Implicit TLS has a port of its own; a port left at the service name means that one.
std::string TCustomFtpCli::DialPort() const {
  return ImplicitTls() && platform::UpperCase(port_) == "FTP" ? "990" : port_;
}

// The certificate must name the host the connection was dialled to (the FTP proxy's, when
// the session goes through one).
std::string TCustomFtpCli::TlsPeerName() const { return connectionType_ == ftpProxy ? proxyServer_ : hostName_; }

bool TCustomFtpCli::PrepareTlsContext() {
  if (tlsContext_ && tlsContext_->ExtraTrustFile() == tlsTrustFile_) return true;
  std::string error;
  tlsContext_ = TlsContext::Create(tlsTrustFile_, error);
  if (tlsContext_) return true;
  FailTls(kTlsHandshakeFailed, error);
  return false;
}

// ---- Negotiating TLS on the control connection --------------------------------------------

void TCustomFtpCli::RequestAuthTls() {
  SetState(ftpInternalReady);
  ExecAsync(requestType_, ftpStepOpen, "AUTH TLS", {234});
  judge_ = Judge::AuthTls;
}

void TCustomFtpCli::AuthTlsReply() {
  ShowLine();
  if (statusCode_ == 234) return StartControlTls();
  if (encryption_ == ftpEncryptionExplicit)
    return RefuseTlsReply("! The site requires TLS, which the server refused: nothing more is sent");
  TriggerDisplay("! The server does not offer TLS: the session is not encrypted");
  TriggerRequestDone(0);
}

void TCustomFtpCli::StartControlTls() {
  if (!PrepareTlsContext()) return;
  judge_ = Judge::None;  // whatever arrives now is TLS, read by the socket
  controlSocket_->OnTlsDone = [this](TCustomWSocket*, uint16_t e) { ControlTlsDone(e); };
  tlsContext_->ForgetSessions();  // another server's
  controlSocket_->StartTls(tlsContext_, TlsPeerName());
}

void TCustomFtpCli::ControlTlsDone(uint16_t error) {
  if (error != 0) return FailTls(error, "TLS handshake failed: " + controlSocket_->TlsErrorText());
  controlSocket_->Pause();
  sink_.Post(WM_FTP_TLS_VERIFY, 0, ++tlsCheck_);
}

void TCustomFtpCli::DecideCertificate(intptr_t check) {
  // The session may have ended meanwhile (Abort, the server closed): nothing is due then.
  const auto due = [&] { return check == tlsCheck_ && controlSocket_->TlsEstablished(); };
  if (!due()) return;
  TriggerDisplay("! " + controlSocket_->TlsVersion() + ", cipher " + controlSocket_->TlsCipher());
  const std::optional<TlsCertificateFacts> facts = controlSocket_->PeerCertificate();
  if (!facts) return FailTls(kTlsCertificateRejected, "The server sent no certificate");
  TriggerDisplay("! Certificate: " + CertificateSummary(*facts));
  bool trust = facts->verified;
  if (!trust) {
    TriggerDisplay("! The certificate is not verified: " + facts->problem);
    if (OnVerifyCertificate) OnVerifyCertificate(this, *facts, trust);
    if (!due()) return;
  }
  if (!trust) return FailTls(kTlsCertificateRejected, "Certificate refused: " + facts->problem);
  acceptedFingerprint_ = facts->sha256;
  encrypted_ = true;
  controlSocket_->Resume();
  // Explicit TLS ends the Open step here; with implicit TLS the greeting comes now.
  if (!ImplicitTls()) TriggerRequestDone(0);
}

// ---- Ending the session on a TLS failure --------------------------------------------------

void TCustomFtpCli::FailTls(uint16_t error, const std::string& text) {
  FailConnection(error, text);
  RefuseTls(error, "! " + text);
}

// The server refused a step of TLS: its reply is the request's failure.
void TCustomFtpCli::RefuseTlsReply(const std::string& note) {
  stepError_ = statusCode_;
  SetErrorMessage();
  RefuseTls(static_cast<uint16_t>(statusCode_), note);
}

// Ends the request with `error` and closes the connection, so that nothing more goes out in
// the clear, or to a server that was not accepted.
void TCustomFtpCli::RefuseTls(uint16_t error, const std::string& note) {
  TriggerDisplay(note);
  judge_ = Judge::None;
  chainContinuation_ = false;
  TriggerRequestDone(error);
  if (controlSocket_->State() != wsClosed) controlSocket_->Close();
  SetState(ftpReady);
}

// ---- Protecting the data connections ------------------------------------------------------

void TCustomFtpCli::ProtAsync() {
  ExecAsync(requestType_, ftpStepProt, "PBSZ 0", {200});
  judge_ = Judge::Pbsz;
}

void TCustomFtpCli::PbszReply() {
  ShowLine();
  if (statusCode_ != 200) return RefuseTlsReply("! The server refused PBSZ: the session ends");
  judge_ = Judge::Prot;
  SendCommand("PROT P");
}

void TCustomFtpCli::ProtReply() {
  ShowLine();
  if (statusCode_ != 200) return RefuseTlsReply("! The server refused to encrypt data connections (PROT P): the session ends");
  dataProtected_ = true;
  stepError_ = 0;
  TriggerRequestDone(0);
}

void TCustomFtpCli::ForgetTls() {
  ++tlsCheck_;
  encrypted_ = false;
  dataProtected_ = false;
  acceptedFingerprint_.clear();
}

// ---- Data connections ---------------------------------------------------------------------

// TLS on a data connection starts once the connection is up and the server has agreed to the
// transfer (150/125), as servers start it on their side only then: pyftpdlib drops a
// connection whose handshake comes first.
void TCustomFtpCli::StartDataTlsWhenDue(bool sending) {
  const bool agreed = sending ? readyToSend_ : judge_ == Judge::ReceiveFinal;
  if (!dataProtected_ || !dataLinkUp_ || !agreed || dataSocket_->TlsActive()) return;
  StartDataTls(sending);
}

void TCustomFtpCli::StartDataTls(bool sending) {
  dataSocket_->OnTlsDone = [this, sending](TCustomWSocket*, uint16_t e) { DataTlsDone(e, sending); };
  TlsSession session = tlsContext_->NewestSession();
  if (!session) session = controlSocket_->CurrentTlsSession();
  dataSocket_->StartTls(tlsContext_, TlsPeerName(), std::move(session));
}

// The data connection must show the certificate accepted for the session: a resumed session
// does, and a full handshake with another certificate is somebody else.
void TCustomFtpCli::DataTlsDone(uint16_t error, bool sending) {
  std::string failure;
  if (error != 0) {
    failure = dataSocket_->TlsErrorText();
  } else {
    const std::optional<TlsCertificateFacts> facts = dataSocket_->PeerCertificate();
    if (!facts || facts->sha256 != acceptedFingerprint_) failure = "its certificate is not the session's";
  }
  if (!failure.empty()) {
    lastResponse_ = "550 TLS on the data connection failed: " + failure;
    statusCode_ = 550;
    SetErrorMessage();
    TriggerDisplay("! " + lastResponse_.substr(4));
    CloseDataSocket();
    return FailStep(550);
  }
  if (!sending) return;
  dataConnected_ = true;
  ContinueSend();
}
