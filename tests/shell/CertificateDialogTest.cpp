// The question about a certificate that failed verification, as the user sees it.
#include "shell/CertificateDialog.h"

#include <QMessageBox>
#include <QPushButton>
#include <functional>

#include "support/widgets/DialogTesting.h"

namespace shell {
namespace {

using session::CertificateAnswer;

session::CertificateQuestion Question(bool changed) {
  TlsCertificateFacts facts;
  facts.subject = "CN=<b>ftp.example.org</b>";
  facts.issuer = "CN=Some CA";
  facts.validFrom = "2026-01-01 00:00 UTC";
  facts.validUntil = "2026-12-31 00:00 UTC";
  facts.sha256 = "AB:CD:EF";
  facts.hostName = "ftp.example.org";
  facts.problem = "certificate has expired";
  return {"Мой сайт", facts, changed};
}

struct AnswerCase {
  const char* name;
  bool changed;
  std::function<void(QMessageBox&)> act;
  CertificateAnswer answer;
};

TEST(CertificateDialog, ShowsTheFactsAndGivesTheUsersAnswer) {
  const auto press = [](const char* button) {
    return [button](QMessageBox& box) { box.findChild<QPushButton*>(button)->click(); };
  };
  const AnswerCase rows[] = {
      {"trust once", false, press("TrustOnceButton"), CertificateAnswer::TrustOnce},
      {"trust always", true, press("TrustAlwaysButton"), CertificateAnswer::TrustAlways},
      {"Отмена", false, press("CancelButton"), CertificateAnswer::Cancel},
      {"closing the window refuses", true, [](QMessageBox& box) { box.reject(); }, CertificateAnswer::Cancel},
  };
  for (const AnswerCase& row : rows) {
    SCOPED_TRACE(row.name);
    dialogtest::AnswerNextModal<QDialog>([&row](QDialog& dialog) {
      auto& box = static_cast<QMessageBox&>(dialog);
      EXPECT_EQ(box.windowTitle(), "Сертификат сервера");
      const QString text = box.text();
      for (const char* shown : {"certificate has expired", "Мой сайт", "CN=Some CA", "2026-12-31 00:00 UTC", "AB:CD:EF",
                                "CN=&lt;b&gt;ftp.example.org&lt;/b&gt;"})
        EXPECT_TRUE(text.contains(QString::fromUtf8(shown))) << shown << " in " << text.toStdString();
      EXPECT_EQ(text.contains("изменился"), row.changed);
      EXPECT_EQ(box.defaultButton()->objectName(), "CancelButton");
      row.act(box);
    });
    EXPECT_EQ(AskAboutCertificate(nullptr, Question(row.changed)), row.answer);
  }
}

}  // namespace
}  // namespace shell
