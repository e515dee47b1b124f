// TLS on loopback with the real server: the handshake and the pinned fingerprint, a changed
// certificate refused with both fingerprints, a plain peer on a TLS port getting nothing, a
// handshake that never ends, and the server's certificate files.
#include <gtest/gtest.h>

#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/frame/servermessagequeue.h"
#include "platform/net/framedecoder.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "platform/transport/tcptransport.h"
#include "server/server.h"
#include "server/store.h"
#include "server/tlsidentity.h"
#include "testing/tempdir.h"
#include "testing/fakeclock.h"
#include "tests/platform/transport/testpeer.h"
#include "tests/platform/transport/transportwatch.h"

namespace {

using plat::TcpTransport;
constexpr int kWaitMs = 5000;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

unsigned Mode(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? (st.st_mode & 0777) : 0;
}

class TlsTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir.empty()); }
  void TearDown() override {
    transport.Stop();
    server.Stop();
  }
  velsrv::ServerOptions Options() const {
    velsrv::ServerOptions o;
    o.dbPath = dir + "/game.db";
    o.goodsFile = VELMORA_ASSET_DIR "/server/goods.xml";
    o.bots = 0;
    o.tickMs = 0;
    o.durable = false;
    o.RelaxAccountChecksForTests();
    return o;
  }
  plat::TcpTransportOptions Client(std::uint16_t port) {
    plat::TcpTransportOptions t;
    t.port = port;
    t.nicknameGbk = "alice";
    t.password = "alice-password";
    t.knownServersPath = dir + "/known_servers";
    t.retryFirstMs = 20;
    t.retryMaxMs = 50;
    t.clock = &clock;
    t.log = [](const std::string&) {};
    return t;
  }
  bool WaitState(TcpTransport::State state) { return inbox.WaitState(transport, state); }

  veltest::TempDir temp{"tls-test"};
  const std::string dir = temp.Path();
  plat::FakeClock clock;  // the transport's
  velsrv::Server server;
  plat::ServerMessageQueue queue;
  veltest::Inbox inbox{queue};
  TcpTransport transport;
};

TEST_F(TlsTest, FirstConnectionPinsTheCertificateAndLaterOnesCheckIt) {
  std::string error;
  ASSERT_TRUE(server.Start(0, Options(), &error)) << error;
  const std::string fingerprint = server.CertificateFingerprint();
  ASSERT_EQ(fingerprint.rfind("SHA256:", 0), 0u) << fingerprint;
  ASSERT_TRUE(transport.Start(queue, Client(server.Port()), &error)) << error;
  ASSERT_TRUE(WaitState(TcpTransport::State::Online));
  const std::string endpoint = "127.0.0.1:" + std::to_string(server.Port());
  EXPECT_NE(ReadAll(dir + "/known_servers").find(endpoint + " " + fingerprint), std::string::npos);
  transport.Stop();

  // The same server again (its pair kept beside the database): let in without a word.
  const std::uint16_t port = server.Port();
  server.Stop();
  ASSERT_TRUE(server.Start(port, Options(), &error)) << error;
  EXPECT_EQ(server.CertificateFingerprint(), fingerprint);
  ASSERT_TRUE(transport.Start(queue, Client(port), &error)) << error;
  EXPECT_TRUE(WaitState(TcpTransport::State::Online));
}

TEST_F(TlsTest, ChangedCertificateIsRefusedWithBothFingerprintsAndNoRetry) {
  std::string error;
  ASSERT_TRUE(server.Start(0, Options(), &error)) << error;
  const std::string endpoint = "127.0.0.1:" + std::to_string(server.Port());
  const std::string pinned = "SHA256:" + std::string(95, '0').replace(2, 1, ":");
  std::ofstream(dir + "/known_servers") << endpoint << " " << pinned << "\n";
  std::vector<std::string> lines;
  std::mutex linesMutex;
  auto options = Client(server.Port());
  options.log = [&](const std::string& line) {
    std::lock_guard<std::mutex> lock(linesMutex);
    lines.push_back(line);
  };
  ASSERT_TRUE(transport.Start(queue, options, &error)) << error;
  ASSERT_TRUE(WaitState(TcpTransport::State::Refused));
  const std::string text = transport.RefusalText();
  EXPECT_NE(text.find(pinned), std::string::npos) << text;
  EXPECT_NE(text.find(server.CertificateFingerprint()), std::string::npos) << text;
  EXPECT_NE(text.find(dir + "/known_servers"), std::string::npos) << "says where to accept the new one: " << text;
  // However long the wait, no second attempt comes.
  ASSERT_TRUE(veltest::AdvanceAndSettle(clock, 100 * options.retryMaxMs));
  EXPECT_EQ(transport.GetStats().connectAttempts, 1u);
  EXPECT_EQ(transport.GetStats().logins, 0u);
  EXPECT_EQ(server.GetStats().players, 0u);
  // The pin is kept: accepting is the player's decision.
  EXPECT_NE(ReadAll(dir + "/known_servers").find(pinned), std::string::npos);
}

TEST_F(TlsTest, PlainLoginOnATlsPortGetsNoUserRecord) {
  std::string error;
  ASSERT_TRUE(server.Start(0, Options(), &error)) << error;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(server.Port());
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  plat::net::NetLoginRequest login{};
  std::memcpy(login.nickname, "mallory", 7);
  login.protocolVersion = plat::net::kProtocolVersion;
  std::memcpy(login.password, "mallory-password", 16);
  std::string bytes;
  ASSERT_TRUE(plat::net::AppendFrame(bytes, plat::net::kMainLogin, plat::net::kSubLoginRequest, &login, sizeof(login)));
  ASSERT_EQ(::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
  // Whatever comes back (a TLS alert at most) is no frame of ours, and the server hangs up.
  plat::net::FrameDecoder decoder;
  bool closed = false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kWaitMs);
  while (!closed && std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 50) <= 0) continue;
    char buffer[4096];
    const ssize_t n = ::recv(fd, buffer, sizeof(buffer), 0);
    if (n <= 0) closed = true;
    else decoder.Feed(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  EXPECT_TRUE(closed);
  plat::net::FrameView frame;
  while (decoder.Next(&frame) == plat::net::FrameDecoder::Status::Ready)
    EXPECT_FALSE(frame.header.mainCmd == plat::net::kMainLogin && frame.header.subCmd == plat::net::kSubUserRecord);
  bool exists = true;
  server.Inspect([&](velsrv::Auction&, velsrv::Store& store) { exists = store.FindPlayerByName("mallory").has_value(); });
  EXPECT_FALSE(exists);
}

TEST_F(TlsTest, HandshakeThatNeverEndsIsClosedAtTheLoginTimeout) {
  // A listener that accepts and says nothing: the client gives up on it.
  veltest::TestPeer silent;
  auto options = Client(silent.Port());
  options.loginTimeoutMs = 150;
  std::string error;
  ASSERT_TRUE(transport.Start(queue, options, &error)) << error;
  auto first = silent.Accept(kWaitMs);
  ASSERT_TRUE(first);
  ASSERT_TRUE(veltest::EndPause(clock, options.loginTimeoutMs));
  EXPECT_TRUE(first->WaitClosed(kWaitMs));
  EXPECT_GE(transport.GetStats().timeouts, 1u);
  EXPECT_NE(transport.GetState(), TcpTransport::State::Online);
  transport.Stop();

  // And the server drops a peer that connects and never starts one.
  plat::FakeClock serverClock;
  auto o = Options();
  o.loginTimeoutMs = 100;
  o.connectionClock = &serverClock;
  ASSERT_TRUE(server.Start(0, o, &error)) << error;
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_port = htons(server.Port());
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)), 0);
  // The server takes the connection on a thread of its own: its clock goes past the limit once
  // for every look, so the connection is overdue whenever it was taken.
  pollfd p{fd, POLLIN, 0};
  int ready = 0;
  for (int look = 0; look < kWaitMs / 100 && ready == 0; ++look) {
    serverClock.Advance(o.loginTimeoutMs + 1);
    server.Housekeep();
    ready = ::poll(&p, 1, 100);
  }
  ASSERT_EQ(ready, 1);
  char byte;
  EXPECT_LE(::recv(fd, &byte, 1, 0), 0);  // closed, not spoken to
  ::close(fd);
}

TEST_F(TlsTest, CertificateFilesBesideTheDatabase) {
  std::string error;
  ASSERT_TRUE(server.Start(0, Options(), &error)) << error;
  server.Stop();
  const std::string cert = velsrv::CertPathBeside(dir + "/game.db");
  const std::string key = velsrv::KeyPathBeside(dir + "/game.db");
  EXPECT_EQ(cert, dir + "/game.crt");
  EXPECT_EQ(Mode(key), 0600u);
  EXPECT_NE(ReadAll(cert).find("BEGIN CERTIFICATE"), std::string::npos);

  // A key others can read is refused, and so is a certificate without its key.
  ::chmod(key.c_str(), 0644);
  EXPECT_FALSE(server.Start(0, Options(), &error));
  EXPECT_NE(error.find("chmod 600"), std::string::npos) << error;
  ::chmod(key.c_str(), 0600);
  std::filesystem::rename(key, dir + "/elsewhere.key");
  EXPECT_FALSE(server.Start(0, Options(), &error));
  EXPECT_NE(error.find(cert), std::string::npos) << error;

  // --cert/--key: the files given, which must fit together.
  auto o = Options();
  o.dbPath = ":memory:";
  o.certFile = cert;
  o.keyFile = dir + "/elsewhere.key";
  ASSERT_TRUE(server.Start(0, o, &error)) << error;
  server.Stop();
  velsrv::TlsIdentity other;
  ASSERT_TRUE(velsrv::CreateIdentity(&other, &error));
  std::ofstream(dir + "/other.key") << other.keyPem;
  ::chmod((dir + "/other.key").c_str(), 0600);
  o.keyFile = dir + "/other.key";
  EXPECT_FALSE(server.Start(0, o, &error));
}

TEST_F(TlsTest, PlainListenerOnlyOnLoopback) {
  auto o = Options();
  o.plain = true;
  o.bindAddress = "0.0.0.0";
  std::string error;
  EXPECT_FALSE(server.Start(0, o, &error));
  EXPECT_NE(error.find("loopback"), std::string::npos) << error;
  o.bindAddress = "127.0.0.1";
  ASSERT_TRUE(server.Start(0, o, &error)) << error;
  EXPECT_TRUE(server.CertificateFingerprint().empty());
  // A TLS client there finds no TLS and keeps trying; it never logs in.
  ASSERT_TRUE(transport.Start(queue, Client(server.Port()), &error)) << error;
  // The first retry, and the doubled delay after it, show both attempts failed.
  ASSERT_TRUE(veltest::EndPause(clock, 20));
  ASSERT_TRUE(veltest::AwaitPause(clock, 40));
  EXPECT_GE(transport.GetStats().connectAttempts, 2u);
  EXPECT_EQ(transport.GetStats().logins, 0u);
}

}  // namespace
