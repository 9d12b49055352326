#include "net/TlsCertificate.h"

#include <openssl/bio.h>
#include <openssl/evp.h>
#include <openssl/x509.h>

#include <ctime>
#include <memory>

namespace {

std::string NameText(const X509_NAME* name) {
  std::unique_ptr<BIO, decltype(&BIO_free)> bio(BIO_new(BIO_s_mem()), BIO_free);
  if (!bio || X509_NAME_print_ex(bio.get(), name, 0, XN_FLAG_RFC2253) < 0) return {};
  char* data = nullptr;
  const long length = BIO_get_mem_data(bio.get(), &data);
  return std::string(data, static_cast<size_t>(length));
}

std::string TimeText(const ASN1_TIME* time) {
  std::tm parts{};
  if (time == nullptr || ASN1_TIME_to_tm(time, &parts) != 1) return "?";
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%d %H:%M UTC", &parts);
  return text;
}

std::string Fingerprint(X509* certificate) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  if (X509_digest(certificate, EVP_sha256(), digest, &length) != 1) return {};
  static const char kHex[] = "0123456789ABCDEF";
  std::string text;
  for (unsigned int i = 0; i < length; ++i) {
    if (i > 0) text += ':';
    text += kHex[digest[i] >> 4];
    text += kHex[digest[i] & 0xF];
  }
  return text;
}

}  // namespace

TlsCertificateFacts DescribeCertificate(X509* certificate) {
  TlsCertificateFacts facts;
  facts.subject = NameText(X509_get_subject_name(certificate));
  facts.issuer = NameText(X509_get_issuer_name(certificate));
  facts.validFrom = TimeText(X509_get0_notBefore(certificate));
  facts.validUntil = TimeText(X509_get0_notAfter(certificate));
  facts.sha256 = Fingerprint(certificate);
  return facts;
}

std::string CertificateSummary(const TlsCertificateFacts& facts) {
  return facts.subject + ", issued by " + facts.issuer + ", valid " + facts.validFrom + " to " + facts.validUntil +
         ", SHA-256 " + facts.sha256;
}
