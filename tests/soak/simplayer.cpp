#include "tests/soak/simplayer.h"

#include <cstdio>
#include <cstring>

#include "client/core/cmd_velmora.h"
#include "platform/net/frameencoder.h"
#include "platform/net/framemessages.h"
#include "tests/soak/simcrowd.h"

namespace soak {

namespace net = plat::net;

namespace {
constexpr std::uint32_t kSlots = 7;
constexpr int kBuyChance = 8;    // percent of moves that try a purchase
constexpr int kLikeChance = 10;  // percent that like a candidate
constexpr std::uint32_t kMaxShares = 4;
}  // namespace

SimPlayer::SimPlayer(SimCrowd& crowd, int index, std::uint64_t seed)
    : crowd_(crowd), index_(index), socket_(crowd.io_), random_(seed) {}

void SimPlayer::Connect(std::uint16_t port) {
  auto self = shared_from_this();
  const asio::ip::tcp::endpoint endpoint(asio::ip::address_v4::loopback(), port);
  socket_.async_connect(endpoint, [self](const asio::error_code& ec) {
    if (ec) {
      self->crowd_.closed_++;
      return;
    }
    net::NetLoginRequest login{};
    std::snprintf(login.nickname, sizeof(login.nickname), "sim%03d", self->index_);
    login.protocolVersion = net::kProtocolVersion;
    std::snprintf(login.password, sizeof(login.password), "soak-password");
    self->Send(net::kMainLogin, net::kSubLoginRequest, &login, sizeof(login));
    self->ReadMore();
  });
}

void SimPlayer::Close() {
  asio::error_code ec;
  socket_.close(ec);
}

void SimPlayer::ReadMore() {
  auto self = shared_from_this();
  socket_.async_read_some(asio::buffer(buffer_), [self](const asio::error_code& ec, std::size_t n) {
    if (ec) {
      if (ec != asio::error::operation_aborted) self->crowd_.closed_++;
      return;
    }
    self->decoder_.Feed(self->buffer_.data(), n);
    net::FrameView frame;
    net::FrameDecoder::Status status;
    while ((status = self->decoder_.Next(&frame)) == net::FrameDecoder::Status::Ready) self->OnFrame(frame);
    if (status == net::FrameDecoder::Status::Malformed) {
      self->crowd_.malformed_++;
      self->Close();
      return;
    }
    self->ReadMore();
  });
}

void SimPlayer::TakeGoods(const std::uint8_t* data, std::size_t size, bool whole) {
  const auto list = ReadServerList<SUB_S_GOODS_LIST>(data, static_cast<std::uint16_t>(size));
  if (!list) return;
  if (whole) slotGoods_.fill(0);
  for (std::size_t i = 0; i < list->Count(); ++i) {
    const CMD_GF_VELMORA_GOODS_ITEM g = (*list)[i];
    if (g.slot < 1 || g.slot > kSlots) continue;
    slotGoods_[g.slot - 1] = g.goodsId;
    slotState_[g.slot - 1] = g.state;
    if (g.state == GOODS_STATE_SELLING) lotGoodsId_ = g.goodsId;
  }
}

void SimPlayer::OnFrame(const net::FrameView& frame) {
  crowd_.frames_++;
  const std::uint16_t main = frame.header.mainCmd, sub = frame.header.subCmd;
  if (main == net::kMainLogin && sub == net::kSubUserRecord && !online_) {
    online_ = true;
    crowd_.loggedIn_++;
  } else if (main == net::kMainLogin && sub == net::kSubLoginRefused) {
    crowd_.refused_++;
  } else if (main == net::kMainScene) {
    TakeGoods(frame.payload, frame.size, true);
  } else if (main == net::kMainGame && (sub == SUB_S_GOODS_LIST || sub == SUB_S_EXCHANGE_GOODS)) {
    TakeGoods(frame.payload, frame.size, sub == SUB_S_GOODS_LIST);
  } else if (main == net::kMainGame && sub == SUB_S_BUY_RESULT && frame.size == 1 &&
             frame.payload[0] == BUY_RESULT_OK) {
    crowd_.purchases_++;
  }
}

void SimPlayer::Act() {
  if (!online_ || !socket_.is_open()) return;
  const int roll = static_cast<int>(random_() % 100);
  if (roll < kBuyChance && lotGoodsId_ != 0) {
    const CMD_GF_VELMORA_BUY_REQ req{lotGoodsId_, 1 + static_cast<std::uint32_t>(random_() % kMaxShares)};
    Send(net::kMainGame, SUB_C_BUY, &req, sizeof(req));
  } else if (roll < kBuyChance + kLikeChance) {
    const std::uint32_t slot = static_cast<std::uint32_t>(random_() % (kSlots - 1));
    if (slotGoods_[slot] == 0) return;
    const CMD_GF_VELMORA_LIKE_REQ req{slotGoods_[slot], LIKE_REQUEST_COUNT};
    Send(net::kMainGame, SUB_C_LIKE, &req, sizeof(req));
  } else {
    return;
  }
  crowd_.requests_++;
}

void SimPlayer::Send(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size) {
  if (net::AppendFrame(pending_, mainCmd, subCmd, data, size)) Flush();
}

// One write in flight at a time; whatever queued meanwhile goes in the next.
void SimPlayer::Flush() {
  if (writing_ || pending_.empty() || !socket_.is_open()) return;
  writing_ = true;
  outbox_.swap(pending_);
  pending_.clear();
  auto self = shared_from_this();
  asio::async_write(socket_, asio::buffer(outbox_), [self](const asio::error_code& ec, std::size_t) {
    self->writing_ = false;
    self->outbox_.clear();
    if (!ec) self->Flush();
  });
}

}  // namespace soak
