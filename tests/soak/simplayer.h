#pragma once
// One simulated player of a SimCrowd: a socket, a frame decoder and what it
// knows of the goods on offer.
#include <array>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <asio.hpp>

#include "platform/net/framedecoder.h"

namespace soak {

class SimCrowd;

class SimPlayer : public std::enable_shared_from_this<SimPlayer> {
 public:
  SimPlayer(SimCrowd& crowd, int index, std::uint64_t seed);
  void Connect(std::uint16_t port);
  // One random move: a purchase of the lot, a like, or nothing.
  void Act();
  void Close();

 private:
  void ReadMore();
  void OnFrame(const plat::net::FrameView& frame);
  void TakeGoods(const std::uint8_t* data, std::size_t size, bool whole);
  void Send(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size);
  void Flush();

  SimCrowd& crowd_;
  int index_;
  asio::ip::tcp::socket socket_;
  plat::net::FrameDecoder decoder_;
  std::array<std::uint8_t, 16384> buffer_{};
  std::mt19937_64 random_;
  bool online_ = false;
  bool writing_ = false;
  std::string outbox_;   // being written
  std::string pending_;  // waiting for the write in flight
  std::uint32_t lotGoodsId_ = 0;
  std::array<std::uint32_t, 7> slotGoods_{};  // goods id in slots 1..7
  std::array<std::uint32_t, 7> slotState_{};
};

}  // namespace soak
