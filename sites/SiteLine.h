#pragma once
// One site as one line of ftplist.TXT: "key=value;" pairs in a fixed order, every pair
// ended by ";". Texts are written only when not empty, the four flags always, as 0 or 1.
// Values are written as they are, so a ";" in a value ends it on reading. A line break could
// not survive either: in Desc it becomes the comment's own line separator, any other value
// is cut at it.
//   Name=Mirror;Server=192.0.2.10;Port=21;User=anonymous;Anonymous=1;SavePassword=1;Pasv=0;Answer=0957681;AnswerName=Default;CheckPSW=1;
//
// Three pairs came later and stand after all others, each written only when it is not at
// its default: "Listing=auto;" for a site whose listings are read automatically,
// "Charset=<id>;" for a character set other than the automatic one (ids in
// platform/TextCodec.h), and "Encryption=tls;" (explicit TLS if offered), "=tls-required;" or
// "=implicit;" for an encrypted site. A line without "Listing=" keeps its Answer format; an
// unknown value of either reads as the default. A line without "Encryption=" is plain FTP,
// as every site was before; an unknown value of it reads as "tls-required", so that a
// setting we cannot read never sends a password in the clear. Neither key nor value holds an older key, so older
// copies of the program, which look for each key anywhere in the line, read such a line as
// before (an automatic site in its Answer format).
//
// Reading starts from NewSiteRecord, so a missing key keeps its default, and looks for a key
// only where a pair starts (the start of the line or right after a ";"); the first pair of a
// key counts. A key is therefore never found inside another ("Password=" inside
// "SavePassword=", "Name=" inside "AnswerName=") or inside a value. A flag that is not a
// number reads as Anonymous 1, SavePassword 1, Pasv 0, CheckPSW 1; any other number but 0
// is 1. Bounded texts are cut to their widths.
#include <string>
#include <string_view>

#include "settings/options.h"
#include "sites/SiteRecord.h"

SiteRecord ParseSiteLine(std::string_view line, const ProgramOptions& options);

std::string FormatSiteLine(const SiteRecord& site);
