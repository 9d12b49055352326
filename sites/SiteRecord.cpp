#include "sites/SiteRecord.h"

#include "platform/TextCodec.h"

namespace {

void CutTo(std::string& text, std::size_t width) {
  text.resize(platform::CutToChars(text, width).size());
}

}  // namespace

SiteRecord NewSiteRecord(const ProgramOptions& options) {
  SiteRecord site;
  site.User = "anonymous";
  if (options.AnonymousMailEnabled) site.EMail = options.AnonymousMail;
  site.SavePassword = true;
  site.Port = "21";
  site.Answer = kDefaultAnswerCode;
  site.AnswerName = kDefaultAnswerName;
  site.CheckPSW = true;
  site.AutoListing = true;
  site.Encryption = SiteEncryption::ExplicitIfOffered;
  FitSiteWidths(site);
  return site;
}

void FitSiteWidths(SiteRecord& site) {
  CutTo(site.Name, SiteWidth::Name);
  CutTo(site.Password, SiteWidth::Password);
  CutTo(site.User, SiteWidth::User);
  CutTo(site.Account, SiteWidth::Account);
  CutTo(site.Description, SiteWidth::Description);
  CutTo(site.LocalDir, SiteWidth::LocalDir);
  CutTo(site.InitialDir, SiteWidth::InitialDir);
  CutTo(site.ModifiedDate, SiteWidth::ModifiedDate);
  CutTo(site.EMail, SiteWidth::EMail);
  CutTo(site.Answer, SiteWidth::Answer);
  CutTo(site.AnswerName, SiteWidth::AnswerName);
}
