#pragma once
// The site database: the site record, its line in ftplist.TXT, the site list and the host
// types of Answer.txt.
#include "sites/HostTypes.h"
#include "sites/SiteLine.h"
#include "sites/SiteList.h"
#include "sites/SiteRecord.h"
