#pragma once
// The question about a server certificate that failed verification, captioned "Сертификат
// сервера": why it failed, the site and the host, whom the certificate names ("Владелец"),
// who issued it ("Издатель"), its validity and its SHA-256 fingerprint. When the site trusted
// another certificate at this address before, it says first that the certificate changed.
// The buttons "Доверять один раз", "Доверять всегда" and "Отмена"; "Отмена" is the default,
// and closing the window answers it too. The server's texts are shown as text, never as
// markup.
#include "session/Prompts.h"

class QWidget;

namespace shell {

session::CertificateAnswer AskAboutCertificate(QWidget* parent, const session::CertificateQuestion& question);

}  // namespace shell
