#pragma once
// The velmora program's command line.
#include <cstdint>
#include <string>
#include <vector>

namespace velapp {

struct ShotRequest {
  int frame = 0;  // 1 = after the first frame
  std::string path;
};

struct AppOptions {
  // No --connect: the program runs the reference server itself on a free loopback port.
  bool embeddedServer = true;
  std::string host;
  std::uint16_t port = 0;
  std::string nicknameUtf8;  // empty: DefaultNickname()
  std::string passwordFile;  // --connect: first line is the password; empty: ask on the terminal
  // The login password for --connect, filled by the program (never taken from the command line).
  std::string password;
  std::string dataDir;  // the player's data folder; empty: DataDir()
  bool plain = false;   // --connect without TLS, to a server on this machine only

  bool headless = false;
  int frames = 0;        // 0: no frame limit
  double seconds = 0.0;  // 0: no time limit
  std::string screenshot;  // PNG written when the run ends
  std::vector<ShotRequest> shots;
  std::string assetsDir;  // empty: FindAssetsDir()
  std::string inputScript;  // scripted input (one event a line), read at start
  std::string stateJson;    // the game's state as JSON, written when the run ends

  // Embedded server only.
  std::string dbPath;            // empty: DefaultDatabasePath()
  std::uint32_t lotSeconds = 0;  // 0: the server's default
  int bots = -1;                 // -1: the server's default
  bool verbose = false;          // the embedded server's log on stderr
};

enum class ParseOutcome { Run, Help, Error };

// args excludes the program name. On Error, *error says what was wrong.
ParseOutcome ParseAppOptions(const std::vector<std::string>& args, AppOptions* out,
                             std::string* error);
std::string HelpText();

// "HOST:PORT", "[v6]:PORT"; false unless the port is 1 to 65535 and the host is not empty.
bool ParseHostPort(const std::string& text, std::string* host, std::uint16_t* port);
// "FRAME:FILE" with FRAME >= 1.
bool ParseShot(const std::string& text, ShotRequest* out);
// 127.0.0.0/8, ::1 or localhost: the only hosts a plain connection may go to.
bool IsLoopbackHost(const std::string& host);

}  // namespace velapp
