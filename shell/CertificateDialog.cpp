#include "shell/CertificateDialog.h"

#include <QMessageBox>
#include <QPushButton>

#include "dialogs/QtText.h"

namespace shell {

namespace {

using dialogs::ToQString;

QString Row(const char* caption, const std::string& value) {
  return QStringLiteral("<tr><td><b>%1</b></td><td>%2</td></tr>").arg(QString::fromUtf8(caption), ToQString(value).toHtmlEscaped());
}

QString QuestionText(const session::CertificateQuestion& question) {
  const TlsCertificateFacts& facts = question.certificate;
  const QString heading = question.changed
                              ? QStringLiteral("<p><b>Сертификат сервера изменился.</b> Этот сайт доверял другому "
                                               "сертификату по этому адресу.</p>")
                              : QStringLiteral("<p><b>Сертификат сервера не прошёл проверку.</b></p>");
  return heading + "<table>" + Row("Причина:", facts.problem) + Row("Сайт:", question.site) +
         Row("Сервер:", facts.hostName) + Row("Владелец:", facts.subject) + Row("Издатель:", facts.issuer) +
         Row("Действителен:", "с " + facts.validFrom + " по " + facts.validUntil) + Row("SHA-256:", facts.sha256) +
         "</table><p>Пока вы не решите, серверу ничего не отправляется. Доверять сертификату?</p>";
}

QPushButton* AddButton(QMessageBox& box, const char* caption, const char* name, QMessageBox::ButtonRole role) {
  QPushButton* button = box.addButton(QString::fromUtf8(caption), role);
  button->setObjectName(name);
  return button;
}

}  // namespace

session::CertificateAnswer AskAboutCertificate(QWidget* parent, const session::CertificateQuestion& question) {
  QMessageBox box(QMessageBox::Warning, QStringLiteral("Сертификат сервера"), QuestionText(question),
                  QMessageBox::NoButton, parent);
  box.setTextFormat(Qt::RichText);
  QPushButton* once = AddButton(box, "Доверять один раз", "TrustOnceButton", QMessageBox::AcceptRole);
  QPushButton* always = AddButton(box, "Доверять всегда", "TrustAlwaysButton", QMessageBox::AcceptRole);
  QPushButton* cancel = AddButton(box, "Отмена", "CancelButton", QMessageBox::RejectRole);
  box.setDefaultButton(cancel);
  box.setEscapeButton(cancel);
  box.exec();
  if (box.clickedButton() == once) return session::CertificateAnswer::TrustOnce;
  if (box.clickedButton() == always) return session::CertificateAnswer::TrustAlways;
  return session::CertificateAnswer::Cancel;
}

}  // namespace shell
