#include "query/Settings.h"

#include <cstdlib>

namespace {

// The services' public addresses; a DOMAINRANK_* variable replaces one.
constexpr const char* kDefaultLookupPrefix = "http://www.aizhan.com/cha/";
constexpr const char* kDefaultSearchHost = "www.baidu.com";
constexpr const char* kDefaultBadgeHost = "static.aizhan.com";
constexpr const char* kDefaultNoticeAddress = "http://www.aizhan.com/";

// Unset and empty both mean the default.
Text FromEnvironment(const char* name, const char* fallback) {
  const char* value = std::getenv(name);
  return (value && *value) ? Text(value) : Text(fallback);
}

}  // namespace

QuerySettings LoadQuerySettings() {
  QuerySettings s;
  s.lookupPrefix = FromEnvironment("DOMAINRANK_LOOKUP_PREFIX", kDefaultLookupPrefix);
  s.searchHost = FromEnvironment("DOMAINRANK_SEARCH_HOST", kDefaultSearchHost);
  s.badgeHost = FromEnvironment("DOMAINRANK_BADGE_HOST", kDefaultBadgeHost);
  return s;
}

Text DefaultNoticeAddress() {
  return FromEnvironment("DOMAINRANK_NOTICE_URL", kDefaultNoticeAddress);
}
