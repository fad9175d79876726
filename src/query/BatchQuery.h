// The batch run: one result row per line of the domain list, filled from the
// lookup page and the two search result pages.
#pragma once
#include "query/ResultList.h"
#include "query/Settings.h"
#include "text/Text.h"

// What the run needs from its surroundings; the program binds these to the
// real window, FetchPage, DecodePage and MessageBoxA, tests to models.
class BatchHost {
 public:
  virtual ~BatchHost() = default;
  virtual Text DomainListText() = 0;
  virtual ResultList& Results() = 0;
  virtual Bytes Fetch(const Text& url) = 0;
  virtual Text Decode(const Bytes& body) = 0;
  virtual void ShowMessage(const Text& text) = 0;
  // True once the run must end quietly (the main window is closing).
  virtual bool Ending() = 0;
};

void BatchQuery(BatchHost& host, const QuerySettings& settings);
