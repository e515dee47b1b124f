// The velmora program against a hostile server that floods it with large messages for the
// whole run: the run ends on time, its resident memory stays bounded, and the flood is called
// one.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"

namespace {

namespace net = plat::net;
using SteadyClock = std::chrono::steady_clock;

// Every connection gets a user record and a scene, then the same large frames back to back
// for as long as it stays open: history lists of the largest size, purchase record lists and
// 64 kB of a command the game does not know.
class FloodServer {
 public:
  FloodServer() {
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
    m_thread = std::thread([this] { Serve(); });
  }
  ~FloodServer() {
    m_stop = true;
    m_thread.join();
    ::close(m_listen);
  }
  std::uint16_t Port() const { return m_port; }
  std::uint64_t BytesSent() const { return m_sent; }

 private:
  void Serve() {
    while (!m_stop) {
      pollfd p{m_listen, POLLIN, 0};
      if (::poll(&p, 1, 50) <= 0) continue;
      const int fd = ::accept4(m_listen, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd < 0) continue;
      Flood(fd);
      ::close(fd);
    }
  }
  void Flood(int fd) {
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

  int m_listen = -1;
  std::uint16_t m_port = 0;
  std::string m_greeting;
  std::string m_flood;
  std::atomic<bool> m_stop{false};
  std::atomic<std::uint64_t> m_sent{0};
  std::thread m_thread;
};

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(FloodTest, TheProgramEndsOnTimeWithBoundedMemoryAndCallsTheFloodOne) {
  FloodServer server;
  ASSERT_NE(server.Port(), 0);
  char dir[] = "/tmp/velmora-flood-XXXXXX";
  ASSERT_NE(mkdtemp(dir), nullptr);
  const std::string errPath = std::string(dir) + "/err";
  const std::string connect = "127.0.0.1:" + std::to_string(server.Port());
  constexpr double kSeconds = 8;

  const auto started = SteadyClock::now();
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    const int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    ::dup2(err, 2);
    const int null = ::open("/dev/null", O_WRONLY);
    ::dup2(null, 1);
    ::setenv("SDL_VIDEODRIVER", "dummy", 1);
    ::execl(VELMORA_BINARY, VELMORA_BINARY, "--assets", VELMORA_ASSET_DIR, "--connect", connect.c_str(), "--name",
            "flood", "--headless", "--seconds", "8", static_cast<char*>(nullptr));
    ::_exit(127);
  }
  int status = 0;
  rusage usage{};
  // A frozen program is killed after a generous wait rather than hanging the suite.
  pid_t done = 0;
  while ((done = ::wait4(pid, &status, WNOHANG, &usage)) == 0 &&
         SteadyClock::now() - started < std::chrono::seconds(60))
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  if (done == 0) {
    ::kill(pid, SIGKILL);
    ::wait4(pid, &status, 0, &usage);
  }
  const double elapsed = std::chrono::duration<double>(SteadyClock::now() - started).count();
  const std::string err = ReadFile(errPath);
  std::system(("rm -rf '" + std::string(dir) + "'").c_str());

  const double peakMb = static_cast<double>(usage.ru_maxrss) / 1024.0;
  std::printf("flood: %.1f s run, peak resident %.1f MB, %.1f MB offered by the server\n", elapsed, peakMb,
              static_cast<double>(server.BytesSent()) / (1 << 20));
  ASSERT_NE(done, 0) << "the program did not end within 60 s";
  ASSERT_TRUE(WIFEXITED(status)) << err;
  EXPECT_EQ(WEXITSTATUS(status), 0) << err;
  EXPECT_LT(elapsed, kSeconds + 7) << "the run overran its time limit";
  EXPECT_LT(peakMb, 400.0);
  EXPECT_NE(err.find("flood"), std::string::npos) << err;
}

}  // namespace
