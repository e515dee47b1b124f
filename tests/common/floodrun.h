#pragma once
// A hostile server that floods every connection with large messages, and a timed run of the
// velmora program with its peak resident size. Shared by the flood test and the benchmark.
#include <atomic>
#include <cstdint>
#include <string>
#include <thread>
#include <vector>

namespace veltest {

// Every connection gets a user record and a scene, then the same large frames back to back for
// as long as it stays open: history lists of the largest size, purchase record lists and 64 kB
// of a command the game does not know.
class FloodServer {
 public:
  FloodServer();  // listens on a free loopback port
  ~FloodServer();
  FloodServer(const FloodServer&) = delete;
  FloodServer& operator=(const FloodServer&) = delete;

  std::uint16_t Port() const { return m_port; }
  // A password file for the program's --password-file (the server accepts any login).
  const std::string& PasswordFile() const { return m_passwordFile; }
  std::uint64_t BytesSent() const { return m_sent; }

 private:
  void Serve();
  void Flood(int fd);

  int m_listen = -1;
  std::uint16_t m_port = 0;
  std::string m_passwordFile;
  std::string m_greeting;
  std::string m_flood;
  std::atomic<bool> m_stop{false};
  std::atomic<std::uint64_t> m_sent{0};
  std::thread m_thread;
};

struct ProgramRun {
  bool ended = false;  // false: killed after the time-out
  int exitCode = -1;
  double seconds = 0;
  double peakMb = 0;  // resident size at its highest
  std::string err;    // what it wrote to stderr
};

// Runs `program` with `args` (SDL on its dummy driver), killed after timeoutSeconds.
ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutSeconds);

}  // namespace veltest
