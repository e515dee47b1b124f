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

#include "server/datafolders.h"
#include "server/server.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

void Usage() {
  const std::string db = velsrv::DefaultServerDatabasePath();
  std::printf(
      "usage: velmora-server [--port N] [--bind ADDR] [--db FILE] [--goods FILE] [--bots N]\n"
      "                      [--lot-seconds S] [--pause-seconds S] [--seed N] [--fast-sync] [--quiet]\n"
      "                      [--cert FILE --key FILE] [--plain]\n"
      "  --port N          port to listen on; 0 (the default) picks a free one; the bound port is printed\n"
      "  --bind ADDR       address to listen on (default 127.0.0.1; 0.0.0.0 for a LAN)\n"
      "  --db FILE         the players' coins and the lots (default: velmora-server.db in the\n"
      "                    server's data folder, $XDG_DATA_HOME/velmora-server or\n"
      "                    ~/.local/share/velmora-server; here %s);\n"
      "                    :memory: keeps nothing\n"
      "  --goods FILE      goods on offer (default: the installed or source tree's server/goods.xml)\n"
      "  --bots N          simulated players (default 3)\n"
      "  --lot-seconds S   how long a lot stays on sale (default 60)\n"
      "  --pause-seconds S pause between lots (default 5)\n"
      "  --seed N          random seed (default: random)\n"
      "  --fast-sync       do not wait for the disk on every commit\n"
      "  --quiet           no log on standard output\n"
      "  --cert FILE --key FILE  the TLS certificate and its key (PEM). Without them a\n"
      "                    self-signed pair is made at the first start beside the database\n"
      "                    (NAME.crt, and NAME.key readable by its owner only) and kept\n"
      "  --plain           no TLS; only on a loopback address (--bind 127.0.0.1 or ::1)\n"
      "Every connection speaks TLS. The certificate's fingerprint is printed at every start:\n"
      "players see it at their first connection and should compare. Every nickname is an\n"
      "account: its first login sets the password (see docs/protocol.md).\n",
      db.empty() ? "none, as neither XDG_DATA_HOME nor HOME is set" : db.c_str());
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

// The database in the user's data folder, its folder made; false with a reason.
bool UseDefaultDatabase(velsrv::ServerOptions* options, std::string* error) {
  options->dbPath = velsrv::DefaultServerDatabasePath();
  if (options->dbPath.empty()) {
    *error = "no data folder (neither XDG_DATA_HOME nor HOME is set); give --db FILE";
    return false;
  }
  return velsrv::MakeDataFolder(velsrv::UserDataFolder("velmora-server"), error);
}

}  // namespace

int main(int argc, char** argv) {
  velsrv::ServerOptions options;
  unsigned long long port = 0;
  bool quiet = false;
  options.dbPath.clear();  // the user's data folder unless --db says otherwise
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
    else if (arg == "--plain") options.plain = true;
    else if (arg == "--cert") options.certFile = text();
    else if (arg == "--key") options.keyFile = text();
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
  if (options.goodsFile.empty()) options.goodsFile = velsrv::DefaultGoodsFile();
  if (options.dbPath.empty()) {
    std::string error;
    if (!UseDefaultDatabase(&options, &error)) {
      std::fprintf(stderr, "velmora-server: %s\n", error.c_str());
      return 1;
    }
    // Earlier versions kept the database in the working folder.
    if (FileExists("velmora-server.db"))
      std::fprintf(stderr,
                   "velmora-server: ./velmora-server.db is not used; the database is %s "
                   "(give --db velmora-server.db to keep using the old one)\n",
                   options.dbPath.c_str());
  }
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
  std::printf("velmora-server database %s\n", options.dbPath.c_str());
  if (options.plain) std::printf("plain connections, no TLS (loopback only)\n");
  else std::printf("TLS certificate fingerprint %s\n", server.CertificateFingerprint().c_str());
  std::fflush(stdout);
  while (!g_stop) {
    struct timespec pause = {0, 200 * 1000 * 1000};
    nanosleep(&pause, nullptr);
  }
  server.Stop();
  return 0;
}
