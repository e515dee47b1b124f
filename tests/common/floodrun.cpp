#include "tests/common/floodrun.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "testing/tempdir.h"

namespace veltest {

namespace net = plat::net;

FloodServer::FloodServer() {
  m_listen = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t len = sizeof(addr);
  if (::bind(m_listen, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) == 0 && ::listen(m_listen, 4) == 0 &&
      ::getsockname(m_listen, reinterpret_cast<sockaddr*>(&addr), &len) == 0)
    m_port = ntohs(addr.sin_port);

  net::NetUserRecord user{};
  user.userId = 9;
  std::strcpy(user.nickname, "flood");
  user.coins = 1000;
  net::AppendFrame(m_greeting, net::kMainLogin, net::kSubUserRecord, &user, sizeof(user));
  std::vector<CMD_GF_VELMORA_GOODS_ITEM> goods(MAX_LISTED_GOODS);
  for (std::size_t i = 0; i < goods.size(); ++i) {
    goods[i].goodsId = static_cast<std::uint32_t>(i + 1);
    goods[i].goodsNumber = static_cast<std::uint32_t>(i + 1);
    goods[i].slot = static_cast<std::uint32_t>(i + 1);
    goods[i].tileIndex = static_cast<std::uint32_t>(i);
    goods[i].totalShares = 10;
    goods[i].sharePrice = 10000;
  }
  goods.back().state = GOODS_STATE_SELLING;
  net::AppendFrame(m_greeting, net::kMainScene, SCENE_STATUS_FREE, goods.data(), goods.size() * sizeof(goods[0]));

  std::vector<CMD_GF_VELMORA_GET_RECENTLY_RESULT_RSP> history(net::kMaxFramePayload / sizeof(history[0]));
  for (auto& h : history) std::strcpy(h.winnerNickname, "winner");
  std::vector<CMD_GF_VELMORA_MY_BUY_RECORD_RSP> mine(net::kMaxFramePayload / sizeof(mine[0]));
  const std::vector<std::uint8_t> junk(net::kMaxFramePayload, 0x7E);
  net::AppendFrame(m_flood, MDM_GF_GAME, SUB_S_RECENTLY_RESULT, history.data(), history.size() * sizeof(history[0]));
  net::AppendFrame(m_flood, MDM_GF_GAME, SUB_S_MY_BUY_RECORD, mine.data(), mine.size() * sizeof(mine[0]));
  net::AppendFrame(m_flood, MDM_GF_GAME, 0x7777, junk.data(), junk.size());
  char passwordFile[] = "/tmp/velmora-flood-password-XXXXXX";
  const int fd = ::mkstemp(passwordFile);
  if (fd >= 0) {
    const char kPassword[] = "flood-password\n";
    if (::write(fd, kPassword, sizeof(kPassword) - 1) == static_cast<ssize_t>(sizeof(kPassword) - 1))
      m_passwordFile = passwordFile;
    ::close(fd);
  }
  m_thread = std::thread([this] { Serve(); });
}

FloodServer::~FloodServer() {
  m_stop = true;
  m_thread.join();
  ::close(m_listen);
  if (!m_passwordFile.empty()) ::unlink(m_passwordFile.c_str());
}

void FloodServer::Serve() {
  while (!m_stop) {
    pollfd p{m_listen, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
    if (fd < 0) continue;
    Flood(fd);
    ::close(fd);
  }
}

void FloodServer::Flood(int fd) {
  std::string out = m_greeting;
  std::size_t offset = 0;
  while (!m_stop) {
    char sink[4096];
    while (::recv(fd, sink, sizeof(sink), MSG_DONTWAIT) > 0) {
    }
    if (offset == out.size()) {
      out = m_flood;
      offset = 0;
    }
    pollfd p{fd, POLLOUT, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    if ((p.revents & (POLLERR | POLLHUP)) != 0) return;
    const ssize_t n = ::send(fd, out.data() + offset, out.size() - offset, MSG_NOSIGNAL);
    if (n < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      return;
    }
    offset += static_cast<std::size_t>(n);
    m_sent += static_cast<std::uint64_t>(n);
  }
}

ProgramRun RunProgram(const std::string& program, const std::vector<std::string>& args, int timeoutSeconds) {
  using Clock = std::chrono::steady_clock;
  ProgramRun run;
  const TempDir dir("run");
  if (dir.Path().empty()) return run;
  const std::string errPath = dir.File("err");
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);

  const auto started = Clock::now();
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(err, 2);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::execv(program.c_str(), argv.data());
    ::_exit(127);
  }
  if (pid > 0) {
    int status = 0;
    rusage usage{};
    // A frozen program is killed rather than left to hang its caller. Its process descriptor
    // turns readable when it ends, so the wait returns at once rather than at the next poll.
    const int exited = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
    pid_t done = 0;
    while ((done = ::wait4(pid, &status, WNOHANG, &usage)) == 0) {
      const auto left = std::chrono::seconds(timeoutSeconds) - (Clock::now() - started);
      const auto leftMs = std::chrono::duration_cast<std::chrono::milliseconds>(left).count();
      if (leftMs <= 0) break;
      pollfd p{exited, POLLIN, 0};
      if (exited < 0) ::poll(nullptr, 0, 20);  // no process descriptors: look again shortly
      else ::poll(&p, 1, static_cast<int>(leftMs));
    }
    if (exited >= 0) ::close(exited);
    if (done == 0) {
      ::kill(pid, SIGKILL);
      ::wait4(pid, &status, 0, &usage);
    }
    run.ended = done == pid;
    run.exitCode = run.ended && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    run.peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  }
  std::ifstream in(errPath, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  run.err = text.str();
  return run;
}

}  // namespace veltest
