// domainrank-standin: the stand-in service as a program of its own, for the
// demo and for trying pages with curl or a browser.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "StandinPages.h"
#include "StandinServer.h"

namespace {

void PrintUsage(FILE* to) {
  std::fprintf(to,
               "usage: domainrank-standin [--port N] [--log FILE|-] [--badge-host HOST[:PORT]]\n"
               "\n"
               "Serves on 127.0.0.1 and prints \"PORT <n>\" as its first line.\n"
               "  --port N        port to listen on; 0 (the default) takes any free one\n"
               "  --log FILE      append each request line to FILE; \"-\" writes to stdout\n"
               "  --badge-host H  host[:port] in the weight badge address of the lookup page;\n"
               "                  default 127.0.0.1:<port>, so point DOMAINRANK_BADGE_HOST at it\n"
               "\n"
               "Pages: /cha/<domain> (lookup), /s?wd=site%%3A<domain>, /s?wd=domain%%3A<domain>.\n"
               "Point the tool at it with\n"
               "  DOMAINRANK_LOOKUP_PREFIX=http://127.0.0.1:<port>/cha/\n"
               "  DOMAINRANK_SEARCH_HOST=127.0.0.1:<port>\n"
               "  DOMAINRANK_BADGE_HOST=127.0.0.1:<port>\n"
               "\n"
               "Special domains:\n");
  for (const StandinSpecial& s : StandinSpecialDomains())
    std::fprintf(to, "  %-16s %s\n", s.domain, s.exercises);
}

struct FileCloser {
  void operator()(FILE* f) const {
    if (f && f != stdout) std::fclose(f);
  }
};

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // "PORT <n>\n" and the log lines read the same from either build.
  _setmode(_fileno(stdout), _O_BINARY);
#endif
  StandinOptions options;
  std::string logPath;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      PrintUsage(stdout);
      return 0;
    } else if (arg == "--port" && hasValue) {
      char* end = nullptr;
      const long port = std::strtol(argv[++i], &end, 10);
      if (!end || *end != '\0' || port < 0 || port > 65535) {
        std::fprintf(stderr, "domainrank-standin: bad port '%s'\n", argv[i]);
        return 2;
      }
      options.port = static_cast<int>(port);
    } else if (arg == "--log" && hasValue) {
      logPath = argv[++i];
    } else if (arg == "--badge-host" && hasValue) {
      options.badgeHost = argv[++i];
    } else {
      std::fprintf(stderr, "domainrank-standin: unknown or incomplete argument '%s'\n\n", arg.c_str());
      PrintUsage(stderr);
      return 2;
    }
  }

  std::unique_ptr<FILE, FileCloser> log;
  if (logPath == "-") {
    log.reset(stdout);
  } else if (!logPath.empty()) {
    log.reset(std::fopen(logPath.c_str(), "ab"));
    if (!log) {
      std::fprintf(stderr, "domainrank-standin: cannot open log '%s'\n", logPath.c_str());
      return 1;
    }
  }
  if (log) {
    FILE* f = log.get();
    options.log = [f](const std::string& line) {
      std::fprintf(f, "%s\n", line.c_str());
      std::fflush(f);
    };
  }

  StandinServer server;
  const int port = server.Start(options);
  if (port == 0) {
    std::fprintf(stderr, "domainrank-standin: cannot listen on 127.0.0.1:%d\n", options.port);
    return 1;
  }
  std::printf("PORT %d\n", port);
  std::fflush(stdout);
  // Serves until the process is ended.
  for (;;) std::this_thread::sleep_for(std::chrono::hours(1));
}
