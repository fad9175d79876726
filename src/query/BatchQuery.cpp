#include "query/BatchQuery.h"

#include "text/PageText.h"

namespace {

const Text kLineBreak = "\r\n";
const Text kWeightEnd = ".gif";
const Text kTrafficStart = "innerHTML = \"";
const Text kTrafficEnd = "\"";
const Text kCountStart = "找到相关结果约";
const Text kCountEnd = "个";
const Text kNoCount = "0";
const Text kPlaceholder = "...";
const Text kDone = "完成";

enum Column { kDomain = 0, kWeight, kTraffic, kIndexCount, kLinkCount, kRegistrable };

// A page that never reports a count gives "0"; one that starts the report
// but does not close it gives whatever TextBetween yields (the empty text).
Text CountOf(const Text& page) {
  if (FindText(page, kCountStart) == -1) return kNoCount;
  return TextBetween(page, kCountStart, kCountEnd);
}

}  // namespace

void BatchQuery(BatchHost& host, const QuerySettings& settings) {
  const TextArray lines = SplitText(host.DomainListText(), kLineBreak);
  const Text weightStart = ConcatText({"http://", settings.badgeHost, "/images/brs/"});
  const Text siteSearch = ConcatText({"http://", settings.searchHost, "/s?wd=site%3A"});
  const Text domainSearch = ConcatText({"http://", settings.searchHost, "/s?wd=domain%3A"});

  // The list is asked for afresh at each write: a nested event may have
  // changed what the host holds while a fetch waited. A closing window ends
  // the run before any further write.
  auto write = [&host](RowId row, int column, const Text& text) {
    if (host.Ending()) return false;
    host.Results().SetCell(row, column, text);
    return true;
  };
  // A closing window ends the run before the next fetch and after each one.
  auto page = [&host](const Text& url, Text& text) {
    if (host.Ending()) return false;
    const Bytes body = host.Fetch(url);
    if (host.Ending()) return false;
    text = host.Decode(body);
    return true;
  };

  Text text;  // one page text at a time: each page replaces the last
  for (const Text& line : lines) {
    if (host.Ending()) return;
    // Held by identity: a clear during a fetch makes the writes below vanish
    // instead of landing in whichever row takes this index later.
    const RowId row = host.Results().AppendRow();
    if (!write(row, kDomain, line)) return;

    if (!page(ConcatText({settings.lookupPrefix, line}), text)) return;
    const Text weight = TextBetween(text, weightStart, kWeightEnd);
    const Text traffic = TextBetween(text, kTrafficStart, kTrafficEnd);
    if (!write(row, kWeight, weight) || !write(row, kTraffic, traffic)) return;

    if (!page(ConcatText({siteSearch, line}), text)) return;
    if (!write(row, kIndexCount, CountOf(text))) return;

    if (!page(ConcatText({domainSearch, line}), text)) return;
    if (!write(row, kLinkCount, CountOf(text)) || !write(row, kRegistrable, kPlaceholder)) return;
  }
  if (host.Ending()) return;
  host.ShowMessage(kDone);
}
