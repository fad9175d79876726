// Settings come from the built-in defaults unless a DOMAINRANK_* variable
// holds a value; an empty variable means the default.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>

#include "query/Settings.h"

namespace {

void SetVariable(const char* name, const std::optional<std::string>& value) {
#ifdef _WIN32
  _putenv_s(name, value ? value->c_str() : "");  // "" removes it there
#else
  if (value)
    setenv(name, value->c_str(), 1);
  else
    unsetenv(name);
#endif
}

// Puts a variable back as it was when the test ends.
class ScopedVariable {
 public:
  explicit ScopedVariable(const char* name) : name_(name) {
    if (const char* v = std::getenv(name)) saved_ = v;
  }
  ~ScopedVariable() { SetVariable(name_, saved_); }

 private:
  const char* name_;
  std::optional<std::string> saved_;
};

TEST(Settings, EachVariableReplacesItsDefaultUnlessEmpty) {
  struct Case {
    const char* variable;
    std::function<Text()> read;
    Text builtIn;
  };
  const Case cases[] = {
      {"DOMAINRANK_LOOKUP_PREFIX", [] { return LoadQuerySettings().lookupPrefix; },
       "http://www.aizhan.com/cha/"},
      {"DOMAINRANK_SEARCH_HOST", [] { return LoadQuerySettings().searchHost; }, "www.baidu.com"},
      {"DOMAINRANK_BADGE_HOST", [] { return LoadQuerySettings().badgeHost; }, "static.aizhan.com"},
      {"DOMAINRANK_NOTICE_URL", [] { return DefaultNoticeAddress(); }, "http://www.aizhan.com/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variable);
    ScopedVariable keep(c.variable);
    SetVariable(c.variable, std::nullopt);
    EXPECT_EQ(c.read(), c.builtIn);
    SetVariable(c.variable, "");
    EXPECT_EQ(c.read(), c.builtIn);
    SetVariable(c.variable, "127.0.0.1:8080");
    EXPECT_EQ(c.read(), "127.0.0.1:8080");
  }
  // One variable leaves the other settings alone.
  ScopedVariable keep("DOMAINRANK_SEARCH_HOST");
  SetVariable("DOMAINRANK_SEARCH_HOST", "127.0.0.1:9");
  const QuerySettings s = LoadQuerySettings();
  EXPECT_EQ(s.searchHost, "127.0.0.1:9");
  EXPECT_EQ(s.lookupPrefix, "http://www.aizhan.com/cha/");
  EXPECT_EQ(s.badgeHost, "static.aizhan.com");
}

}  // namespace
