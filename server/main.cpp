// velmora-server: the auction server as a program, for several players on
// one machine or a LAN.
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <ctime>
#include <string>

#include <sys/stat.h>

#include "server/server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage() {
  std::printf(
      "usage: velmora-server [--port N] [--bind ADDR] [--db FILE] [--goods FILE] [--bots N]\n"
      "                      [--lot-seconds S] [--pause-seconds S] [--seed N] [--fast-sync] [--quiet]\n"
      "  --port 0 picks a free port; the bound port is printed.\n");
}

bool ParseNumber(const char* text, unsigned long long max, unsigned long long* out) {
  if (text == nullptr || *text == '\0') return false;
  char* end = nullptr;
  errno = 0;
  const unsigned long long v = std::strtoull(text, &end, 10);
  if (errno != 0 || *end != '\0' || v > max || text[0] == '-') return false;
  *out = v;
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  velsrv::ServerOptions options;
  unsigned long long port = 0;
  bool quiet = false;
  options.dbPath = "velmora-server.db";
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const char* value = i + 1 < argc ? argv[i + 1] : nullptr;
    unsigned long long n = 0;
    auto number = [&](unsigned long long max) {
      if (!ParseNumber(value, max, &n)) {
        std::fprintf(stderr, "velmora-server: %s needs a number up to %llu\n", arg.c_str(), max);
        std::exit(2);
      }
      ++i;
      return n;
    };
    auto text = [&]() {
      if (value == nullptr) {
        std::fprintf(stderr, "velmora-server: %s needs a value\n", arg.c_str());
        std::exit(2);
      }
      ++i;
      return std::string(value);
    };
    if (arg == "--port") port = number(65535);
    else if (arg == "--bind") options.bindAddress = text();
    else if (arg == "--db") options.dbPath = text();
    else if (arg == "--goods") options.goodsFile = text();
    else if (arg == "--bots") options.bots = static_cast<int>(number(1000));
    else if (arg == "--lot-seconds") options.lotSeconds = static_cast<std::uint32_t>(number(86400));
    else if (arg == "--pause-seconds") options.pauseSeconds = static_cast<std::uint32_t>(number(3600));
    else if (arg == "--seed") options.seed = number(~0ull);
    else if (arg == "--fast-sync") options.durable = false;
    else if (arg == "--quiet") quiet = true;
    else if (arg == "--help" || arg == "-h") {
      Usage();
      return 0;
    } else {
      std::fprintf(stderr, "velmora-server: unknown option %s\n", arg.c_str());
      Usage();
      return 2;
    }
  }
  if (options.lotSeconds == 0) options.lotSeconds = 1;
#ifdef VELMORA_SOURCE_ASSET_DIR
  // A build tree run from anywhere still finds the goods file.
  if (options.goodsFile.empty() && !FileExists("assets/server/goods.xml"))
    options.goodsFile = std::string(VELMORA_SOURCE_ASSET_DIR) + "/server/goods.xml";
#endif
  if (!quiet) {
    options.log = [](const std::string& line) {
      std::cout << line << std::endl;
    };
  }

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);

  velsrv::Server server;
  std::string error;
  if (!server.Start(static_cast<std::uint16_t>(port), options, &error)) {
    std::fprintf(stderr, "velmora-server: %s\n", error.c_str());
    return 1;
  }
  std::printf("velmora-server listening on %s:%u\n", options.bindAddress.c_str(), server.Port());
  std::fflush(stdout);
  while (!g_stop) {
    struct timespec pause = {0, 200 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  server.Stop();
  return 0;
}
