// A 1,000-domain batch run against the stand-in service with the list model:
// domains per second, and how much of the run's wall time goes to anything
// but the 3,000 page fetches (decoding, extraction, list writes).
#include <chrono>
#include <cstdio>
#include <string>

#include "StandinServer.h"
#include "fetch/FetchPage.h"
#include "query/BatchQuery.h"
#include "query/ListModel.h"
#include "text/PageText.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kDomains = 1000;

class TimedHost : public BatchHost {
 public:
  Text domainList;
  ListModel model;
  Clock::duration fetchTime{};
  int fetches = 0;
  int messages = 0;

  Text DomainListText() override { return domainList; }
  ResultList& Results() override { return model; }
  Bytes Fetch(const Text& url) override {
    const auto start = Clock::now();
    Bytes body = FetchPage(url);
    fetchTime += Clock::now() - start;
    ++fetches;
    return body;
  }
  Text Decode(const Bytes& body) override { return DecodePage(body); }
  void ShowMessage(const Text&) override { ++messages; }
  bool Ending() override { return false; }
};

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main() {
  StandinServer server;
  const int port = server.Start();
  if (port == 0) {
    std::fprintf(stderr, "bench_query: the stand-in service did not start\n");
    return 1;
  }
  const Text host = "127.0.0.1:" + std::to_string(port);
  const QuerySettings settings{"http://" + host + "/cha/", host, host};

  TimedHost run;
  for (int i = 0; i < kDomains; ++i) run.domainList += "site" + std::to_string(i) + ".example\r\n";

  const auto start = Clock::now();
  BatchQuery(run, settings);
  const double wall = Seconds(Clock::now() - start);
  const double fetching = Seconds(run.fetchTime);

  // A run that failed its fetches would be fast and meaningless.
  int complete = 0;
  for (int i = 0; i < run.model.RowCount(); ++i)
    if (!run.model.CellText(i, 1).empty() && !run.model.CellText(i, 2).empty() &&
        run.model.CellText(i, 3) != "0" && run.model.CellText(i, 5) == "...")
      ++complete;
  const size_t served = server.Requests().size();

  std::printf("domains             %d (%d rows complete, %d fetches, %zu requests served)\n", kDomains,
              complete, run.fetches, served);
  std::printf("wall time           %.3f s\n", wall);
  std::printf("sum of fetch times  %.3f s (%.2f ms per fetch)\n", fetching, 1000.0 * fetching / run.fetches);
  std::printf("domains per second  %.1f\n", kDomains / wall);
  std::printf("wall / fetch sum    %.4f (%.2f%% outside the fetches)\n", wall / fetching,
              100.0 * (wall - fetching) / fetching);
  return (complete == kDomains && run.messages == 1) ? 0 : 1;
}
