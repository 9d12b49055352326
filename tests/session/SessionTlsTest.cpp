// Encrypted sessions of the main window's logic against vsftpd with TLS: the question about a
// certificate that fails verification, and what "trust once", "trust always" and a refusal
// lead to; the encryption state the window shows.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "support/session/SessionHarness.h"
#include "sites/TrustedCertificates.h"
#include "support/EventLoop.h"
#include "support/peers/PeerRequirement.h"
#include "support/peers/VsftpdPeer.h"

using namespace std::chrono_literals;
using session::CertificateAnswer;
using session::Command;
using sessiontest::SessionHarness;
using testsupport::CertificateKind;

namespace {

struct Step {
  const char* name;
  CertificateKind served;                   // the server's certificate now
  std::optional<CertificateAnswer> answer;  // none: no question is expected
  const char* question;                     // what the question tells, "" when none
  bool connects;
};

// One site, connected again and again; each step starts from the stored sites.
const Step kSteps[] = {
    {"a refusal sends nothing more and is not retried", CertificateKind::SelfSigned, CertificateAnswer::Cancel,
     "self-signed certificate|new", false},
    {"trusted once: the session starts, nothing is kept", CertificateKind::SelfSigned, CertificateAnswer::TrustOnce,
     "self-signed certificate|new", true},
    {"trusted always: the session starts", CertificateKind::SelfSigned, CertificateAnswer::TrustAlways,
     "self-signed certificate|new", true},
    {"trusted before: no question", CertificateKind::SelfSigned, std::nullopt, "", true},
    {"another certificate at the same address: asked again, as changed", CertificateKind::Expired,
     CertificateAnswer::Cancel, "unable to get local issuer certificate|changed", false},
};

TEST(SessionTls, CertificatesThatFailVerificationAreTheUsersToTrust) {
  testsupport::VsftpdPeer server;
  MARLO_REQUIRE_PEER(server);
  SessionHarness h;
  h.options.RetryCount = 2;
  SiteRecord site = SessionHarness::SiteFor("secure", server.Port(), server.User(), server.Password(), "");
  site.Encryption = SiteEncryption::ExplicitRequired;
  h.AddSite(site);
  h.Start();
  std::optional<CertificateKind> serving;
  for (const Step& step : kSteps) {
    SCOPED_TRACE(step.name);
    if (serving != step.served) {
      server.Stop();
      server.UseTls(testsupport::PeerTls::Explicit, testsupport::TestCertificates::Shared().Get(step.served));
      ASSERT_TRUE(server.Start()) << server.Failure();
      serving = step.served;
    }
    const size_t asked = h.prompts.asked.size();
    const std::string commandsBefore = server.LoggedCommands();
    if (step.answer) h.prompts.certificates.push_back(*step.answer);
    h.ConnectTo("secure");
    if (step.connects) {
      ASSERT_TRUE(h.WaitForListing()) << h.Transcript();
      EXPECT_TRUE(h.Logic().Encrypted());
      EXPECT_TRUE(h.Logged("! Certificate: CN=localhost")) << h.Transcript();
      h.Logic().Run(Command::Disconnect);
    }
    ASSERT_TRUE(h.WaitForSites()) << h.Transcript();
    testsupport::PumpFor(200ms);
    EXPECT_FALSE(h.Logic().Encrypted());
    const std::string commands = server.LoggedCommands().substr(commandsBefore.size());
    if (step.connects) {
      EXPECT_EQ(commands.rfind("AUTH TLS;USER marlotest;PASS <password>;PBSZ 0;PROT P;", 0), 0u) << commands;
    } else {
      EXPECT_EQ(commands, "AUTH TLS;") << "nothing after AUTH TLS, and no reconnection";
    }
    const std::vector<std::string> questions(h.prompts.asked.begin() + static_cast<long>(asked), h.prompts.asked.end());
    if (step.answer) {
      ASSERT_EQ(questions.size(), 1u);
      EXPECT_EQ(questions[0], std::string("Certificate: secure|CN=localhost|") + step.question);
    } else {
      EXPECT_TRUE(questions.empty()) << questions.front();
    }
  }
  const TrustedCertificates trusted = LoadTrustedCertificates(h.ProgramDir().string());
  ASSERT_EQ(trusted.size(), 1u);
  EXPECT_EQ(trusted[0].Site, "secure");
  EXPECT_EQ(trusted[0].Host, "127.0.0.1");
  EXPECT_EQ(trusted[0].Port, std::to_string(server.Port()));
  EXPECT_TRUE(h.prompts.unanswered.empty());
}

}  // namespace
