#include "app/velmora/appoptions.h"
#include "platform/text/decimal.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>

namespace velapp {

namespace {

bool ParseSeconds(const std::string& text, double* out) {
  if (text.empty()) return false;
  char* end = nullptr;
  errno = 0;
  const double v = std::strtod(text.c_str(), &end);
  // A week is plenty; nan and inf would never end the run.
  if (errno != 0 || *end != '\0' || !std::isfinite(v) || v <= 0.0 || v > 7 * 86400.0) return false;
  *out = v;
  return true;
}

bool TakesValue(const std::string& arg) {
  static const char* const kValueOptions[] = {"--connect", "--name",   "--frames",      "--seconds",
                                              "--screenshot", "--shot-at", "--assets",   "--db",
                                              "--lot-seconds", "--bots",   "--input",       "--state-json",
                                              "--password-file"};
  for (const char* name : kValueOptions)
    if (arg == name) return true;
  return false;
}

}  // namespace

bool ParseHostPort(const std::string& text, std::string* host, std::uint16_t* port) {
  std::string h;
  std::string p;
  if (!text.empty() && text[0] == '[') {
    const auto close = text.find(']');
    if (close == std::string::npos || close + 1 >= text.size() || text[close + 1] != ':') return false;
    h = text.substr(1, close - 1);
    p = text.substr(close + 2);
  } else {
    const auto colon = text.rfind(':');
    if (colon == std::string::npos) return false;
    h = text.substr(0, colon);
    p = text.substr(colon + 1);
    if (h.find(':') != std::string::npos) return false;  // a bare IPv6 address needs brackets
  }
  long long n = 0;
  if (h.empty() || !plat::ParseDecimal(p, 1, 65535, &n)) return false;
  *host = h;
  *port = static_cast<std::uint16_t>(n);
  return true;
}

bool IsLoopbackHost(const std::string& host) {
  if (host == "localhost" || host == "::1") return true;
  unsigned a = 0, b = 0, c = 0, d = 0;
  char tail = 0;
  return std::sscanf(host.c_str(), "%u.%u.%u.%u%c", &a, &b, &c, &d, &tail) == 4 && a == 127 && b < 256 &&
         c < 256 && d < 256;
}

bool ParseShot(const std::string& text, ShotRequest* out) {
  const auto colon = text.find(':');
  if (colon == std::string::npos || colon + 1 >= text.size()) return false;
  long long n = 0;
  if (!plat::ParseDecimal(text.substr(0, colon), 1, std::numeric_limits<int>::max(), &n)) return false;
  out->frame = static_cast<int>(n);
  out->path = text.substr(colon + 1);
  return true;
}

ParseOutcome ParseAppOptions(const std::vector<std::string>& args, AppOptions* out,
                             std::string* error) {
  AppOptions o;
  auto fail = [error](const std::string& why) {
    *error = why;
    return ParseOutcome::Error;
  };
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--help" || arg == "-h") return ParseOutcome::Help;
    if (arg == "--headless") {
      o.headless = true;
      continue;
    }
    if (arg == "--verbose") {
      o.verbose = true;
      continue;
    }
    if (arg == "--plain") {
      o.plain = true;
      continue;
    }
    if (!TakesValue(arg)) return fail("unknown option " + arg);
    if (i + 1 >= args.size()) return fail(arg + " needs a value");
    const std::string& value = args[++i];
    long long n = 0;
    if (arg == "--connect") {
      if (!ParseHostPort(value, &o.host, &o.port)) return fail("--connect wants HOST:PORT, got " + value);
      o.embeddedServer = false;
    } else if (arg == "--name") {
      if (value.empty()) return fail("--name wants a nickname");
      o.nicknameUtf8 = value;
    } else if (arg == "--frames") {
      if (!plat::ParseDecimal(value, 1, std::numeric_limits<int>::max(), &n))
        return fail("--frames wants a whole number of at least 1, got " + value);
      o.frames = static_cast<int>(n);
    } else if (arg == "--seconds") {
      if (!ParseSeconds(value, &o.seconds)) return fail("--seconds wants a positive number, got " + value);
    } else if (arg == "--password-file") {
      o.passwordFile = value;
    } else if (arg == "--screenshot") {
      o.screenshot = value;
    } else if (arg == "--shot-at") {
      ShotRequest shot;
      if (!ParseShot(value, &shot)) return fail("--shot-at wants FRAME:FILE, got " + value);
      o.shots.push_back(shot);
    } else if (arg == "--input") {
      o.inputScript = value;
    } else if (arg == "--state-json") {
      o.stateJson = value;
    } else if (arg == "--assets") {
      o.assetsDir = value;
    } else if (arg == "--db") {
      o.dbPath = value;
    } else if (arg == "--lot-seconds") {
      if (!plat::ParseDecimal(value, 1, 86400, &n)) return fail("--lot-seconds wants 1 to 86400, got " + value);
      o.lotSeconds = static_cast<std::uint32_t>(n);
    } else {  // --bots
      if (!plat::ParseDecimal(value, 0, 100, &n)) return fail("--bots wants 0 to 100, got " + value);
      o.bots = static_cast<int>(n);
    }
  }
  if (!o.embeddedServer && (!o.dbPath.empty() || o.lotSeconds != 0 || o.bots >= 0))
    return fail("--db, --lot-seconds and --bots are for the built-in server; not with --connect");
  if (o.plain && (o.embeddedServer || !IsLoopbackHost(o.host)))
    return fail("--plain (no encryption) is only for --connect to this machine (127.0.0.1, ::1, localhost)");
  if (o.embeddedServer && !o.passwordFile.empty())
    return fail("--password-file is for --connect; the built-in server keeps its own password");
  *out = o;
  return ParseOutcome::Run;
}

std::string HelpText() {
  return R"(usage: velmora [options]

Velmora, a coin auction game. Without options it starts its own auction server on a free
loopback port (with eight simulated players), logs you in and opens a 1280x720 window.

Playing: the centre panel shows the lot on sale. Set a share count with + and - (or type it)
and press the buy button; the more shares you hold when the lot sells out, the better your
chance of winning it. Like a candidate (the tiles around) to vote for the next lot. F1 or the
rule button at the top right shows the rules, F2 the bank; the sales history button on the
player card lists the recent lots and their winners. Escape closes the topmost window, F11
switches full screen on and off; the window can be resized freely.

Options:
  --connect HOST:PORT  join a running velmora-server instead of starting one
  --name NICK          your nickname (1 to 31 bytes in GBK; default: your login name)
  --plain              with --connect to this machine only (127.0.0.1, ::1, localhost): no
                       TLS, for a velmora-server started with --plain
  --password-file FILE with --connect: your password is the first line of FILE. Without it
                       the program asks on the terminal (nothing is shown while you type),
                       and refuses to start when there is no terminal. The first login of a
                       nickname creates the account with that password (8 bytes or more);
                       later logins need the same one. A refused login (wrong password,
                       name taken) ends a --headless run with exit status 1 and the
                       server's reason on stderr.
  --headless           run without a window (nothing is shown; for scripts and screenshots)
  --frames N           stop after N frames (60 a second)
  --seconds S          stop after S seconds
  --screenshot FILE    write the last frame to FILE (PNG) when the run ends
  --shot-at FRAME:FILE also write frame FRAME to FILE; may be repeated
  --input FILE         play the input in FILE, one event a line: FRAME ACTION ARGS with
                       FRAME counted from 1 and ACTION one of
                         move X Y      the pointer goes to X Y
                         click X Y     left button pressed and released at X Y
                         key NAME      an SDL key name: Escape, F1, F11, Return, A...
                         text STRING   the rest of the line typed in
                       X Y are game pixels (1280x720) whatever the window's size; lines
                       starting with # are comments. A bad line stops the start.
  --state-json FILE    when the run ends, write the game's state to FILE as one JSON
                       object: coins, lot, panel, msgbox, windows, callout, lucky_lines,
                       my_lines, connected (see docs/client.md)
  --assets DIR         where the game's images and configuration are (default: the
                       installed game's, else the source tree's, else ./assets)
  --db FILE            database of the built-in server (default: ~/.local/share/velmora/game.db)
  --lot-seconds S      how long a lot of the built-in server stays on sale (default 60)
  --bots N             simulated players of the built-in server (default 8)
  --verbose            print the built-in server's log on stderr
  --help               this text

Examples:
  velmora
  velmora --headless --seconds 5 --screenshot shot.png
  velmora --headless --frames 600 --input play.txt --state-json state.json
  velmora-server --port 5555 &  velmora --connect 127.0.0.1:5555 --name Alice
  velmora --headless --connect 192.168.1.20:5555 --name Alice --password-file ~/.velmora-pw

Without --connect the built-in server's account is yours alone: its random password is
made at the first start and kept in local-password in your data folder (readable by you
only).
)";
}

}  // namespace velapp
