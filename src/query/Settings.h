// The fixed settings: built-in defaults, replaced by DOMAINRANK_* variables.
#pragma once
#include "text/Text.h"

struct QuerySettings {
  Text lookupPrefix;  // the domain is appended to it
  Text searchHost;    // host[:port] of the two result pages
  Text badgeHost;     // static-image host inside the weight marker
};

QuerySettings LoadQuerySettings();
// The default notice page address.
Text DefaultNoticeAddress();
