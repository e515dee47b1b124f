// The server's handling of what clients send: up to three loopback
// connections to a fresh in-process server, each fed raw bytes, well-formed
// frames, logins, purchases and likes, with game time moving in between.
// Checks beyond crashes: what the server writes back always decodes as
// frames, and the coins of all players plus those paid for lots stay whole.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>
#include <string>

#include <asio.hpp>

#include "client/core/cmd_velmora.h"
#include "fuzz/fuzzinput.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "testing/fakeclock.h"
#include "server/servercore.h"
#include "server/store.h"

namespace {

namespace net = plat::net;
using asio::ip::tcp;

constexpr std::size_t kConnections = 3;
// Odd, so that no sum of share prices can pass for a whole number of grants.
constexpr std::uint32_t kGrant = 1000003;
constexpr std::uint32_t kFirstGoodsId = 1001;
constexpr std::uint32_t kGoodsIds = 13;  // the twelve listed ones and one unknown
constexpr std::size_t kMaxSteps = 200;

enum Op : std::uint8_t { kRaw, kFrame, kLogin, kBuy, kBuyAll, kLike, kTick, kConnection, kOpCount };

class Peer {
 public:
  explicit Peer(asio::io_context& io) : socket_(io) {}

  bool Open(std::uint16_t port) {
    asio::error_code ec;
    socket_.connect(tcp::endpoint(asio::ip::address_v4::loopback(), port), ec);
    if (ec) return false;
    socket_.non_blocking(true, ec);
    // Reset on close: thousands of runs must not pile up TIME_WAIT ports.
    socket_.set_option(asio::socket_base::linger(true, 0), ec);
    decoder_.Reset();
    return true;
  }
  bool IsOpen() const { return socket_.is_open(); }
  void Close() {
    asio::error_code ec;
    socket_.close(ec);
  }
  void Write(const void* data, std::size_t size) {
    if (!IsOpen() || size == 0) return;
    asio::error_code ec;
    asio::write(socket_, asio::buffer(data, size), ec);  // a dropped peer just fails
  }
  // Reads what has arrived; false when nothing did.
  bool Collect() {
    if (!IsOpen()) return false;
    bool any = false;
    for (;;) {
      asio::error_code ec;
      const std::size_t n = socket_.read_some(asio::buffer(buffer_), ec);
      if (ec == asio::error::would_block) return any;
      if (ec) {
        Close();
        return any;
      }
      any = true;
      decoder_.Feed(buffer_.data(), n);
      net::FrameView frame;
      net::FrameDecoder::Status status;
      while ((status = decoder_.Next(&frame)) == net::FrameDecoder::Status::Ready) {
      }
      if (status == net::FrameDecoder::Status::Malformed) std::abort();  // the server broke its framing
    }
  }

 private:
  tcp::socket socket_;
  net::FrameDecoder decoder_;
  std::array<std::uint8_t, 65536> buffer_{};
};

class Harness {
 public:
  Harness() : core_(MakeOptions(&clock_)) {}
  ~Harness() { core_.Shutdown(); }

  bool Start() {
    std::string error;
    if (!core_.Init(0, &error)) return false;
    baseline_ = Holdings();
    return true;
  }

  void Run(velfuzz::FuzzInput& in) {
    Pump();
    for (std::size_t step = 0; step < kMaxSteps && !in.Empty(); ++step) {
      Apply(in);
      Pump();
      CheckCoins();
    }
    for (auto& p : peers_)
      if (p) p->Close();
    Pump();
  }

 private:
  static velsrv::ServerOptions MakeOptions(plat::Clock* clock) {
    velsrv::ServerOptions o;
    o.goodsFile = VELMORA_ASSET_DIR "/server/goods.xml";
    o.dbPath = ":memory:";
    o.durable = false;
    o.bots = 2;
    o.lotSeconds = 20;
    o.pauseSeconds = 2;
    o.initialCoins = kGrant;
    o.seed = 7;
    o.clock = clock;
    o.tickMs = 0;
    o.RelaxAccountChecksForTests();
    o.plain = true;
    return o;
  }

  long long Holdings() { return core_.Db().SumCoins() + core_.Db().SumPaid(); }

  void CheckCoins() {
    const long long now = Holdings();
    if (now < baseline_ || (now - baseline_) % kGrant != 0) std::abort();
  }

  Peer& Current() {
    auto& slot = peers_[current_];
    if (!slot) {
      slot = std::make_unique<Peer>(core_.Io());
      slot->Open(core_.Port());
    }
    return *slot;
  }

  void SendFrame(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
    std::string frame;
    if (net::AppendFrame(frame, mainCmd, subCmd, data, size)) Current().Write(frame.data(), frame.size());
  }

  template <typename T>
  void SendGame(std::uint16_t subCmd, const T& record) {
    SendFrame(net::kMainGame, subCmd, &record, sizeof(record));
  }

  std::uint32_t GoodsId(velfuzz::FuzzInput& in) {
    const std::uint8_t pick = in.Byte();
    return pick == 0xFF ? in.U32() : kFirstGoodsId + pick % kGoodsIds;
  }

  void Apply(velfuzz::FuzzInput& in) {
    std::size_t n = 0;
    switch (in.Byte() % kOpCount) {
      case kRaw: {
        const std::uint8_t* bytes = in.Bytes(in.Byte(), &n);
        Current().Write(bytes, n);
        break;
      }
      case kFrame: {
        static constexpr std::uint16_t kMains[] = {net::kMainHeartbeat, net::kMainLogin, net::kMainScene,
                                                   net::kMainGame};
        const std::uint8_t pick = in.Byte();
        const std::uint16_t mainCmd = pick < 4 * 60 ? kMains[pick % 4] : in.U16();
        const std::uint16_t subCmd = (pick & 1) ? in.U16() : in.Byte() % 8;
        const std::uint8_t* bytes = in.Bytes(in.Byte(), &n);
        SendFrame(mainCmd, subCmd, bytes, n);
        break;
      }
      case kLogin: {
        net::NetLoginRequest req{};
        const std::uint8_t* name = in.Bytes(in.Byte() % (net::kNetNicknameLen + 1), &n);
        std::memcpy(req.nickname, name, n);
        req.protocolVersion = (in.Byte() & 7) ? net::kProtocolVersion : in.U32();
        const std::uint8_t* password = in.Bytes(in.Byte() % (net::kNetPasswordLen + 1), &n);
        std::memcpy(req.password, password, n);
        SendFrame(net::kMainLogin, net::kSubLoginRequest, &req, sizeof(req));
        break;
      }
      case kBuy: {
        CMD_GF_VELMORA_BUY_REQ req{};
        req.goodsId = GoodsId(in);
        req.shares = in.Byte();
        SendGame(SUB_C_BUY, req);
        break;
      }
      case kBuyAll: {
        CMD_GF_VELMORA_BUY_ALL_REQ req{};
        req.goodsId = GoodsId(in);
        SendGame(SUB_C_BUY_ALL, req);
        break;
      }
      case kLike: {
        CMD_GF_VELMORA_LIKE_REQ req{};
        req.goodsId = GoodsId(in);
        req.likeCount = (in.Byte() & 7) ? LIKE_REQUEST_COUNT : in.U32();
        SendGame(SUB_C_LIKE, req);
        break;
      }
      case kTick:
        clock_.Advance(static_cast<std::uint64_t>(in.Byte()) * 250);
        core_.GameTick();
        break;
      case kConnection: {
        const std::uint8_t pick = in.Byte();
        current_ = pick % kConnections;
        if ((pick & 0x80) && peers_[current_]) peers_[current_].reset();  // hangs up
        break;
      }
      default:
        break;
    }
  }

  // Runs the server until it has nothing left to do and the peers have read it all.
  void Pump() {
    for (int round = 0; round < 64; ++round) {
      std::size_t ran = core_.Io().poll();
      core_.Io().restart();
      bool read = false;
      for (auto& p : peers_)
        if (p && p->Collect()) read = true;
      if (ran == 0 && !read) return;
    }
  }

  plat::FakeClock clock_;
  velsrv::ServerCore core_;
  std::array<std::unique_ptr<Peer>, kConnections> peers_;
  std::size_t current_ = 0;
  long long baseline_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  Harness harness;
  if (!harness.Start()) std::abort();  // the fixed set-up must always work
  velfuzz::FuzzInput in(data, size);
  harness.Run(in);
  return 0;
}
