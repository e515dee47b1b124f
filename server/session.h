#pragma once
// One connected peer: reads frames through the decoder, writes queued frames
// in batches. Output is bounded: a peer that does not read what it is sent
// is dropped rather than letting its queue grow.
#include <array>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

#include <asio.hpp>

#include "platform/net/framedecoder.h"
#include "platform/time/clock.h"
#include "server/peerstream.h"

namespace velsrv {

class Session : public std::enable_shared_from_this<Session> {
 public:
  class Host {
   public:
    virtual ~Host() = default;
    virtual void OnFrame(Session& session, const plat::net::FrameView& frame) = 0;
    virtual void OnClosed(Session& session) = 0;
  };

  // `clock` is the connection clock (real time outside tests); it outlives the session.
  Session(std::unique_ptr<PeerStream> stream, Host& host, std::uint64_t id, std::size_t maxQueuedBytes, plat::Clock& clock);

  // Handshakes (TLS), then writes what is queued and, with readFrames, reads. A failed
  // handshake closes the session.
  void Start(bool readFrames = true);
  // Queues a frame already encoded (shared by every receiver of a broadcast).
  void Send(std::shared_ptr<const std::string> frame);
  void Send(std::uint16_t mainCmd, std::uint16_t subCmd, const void* data, std::size_t size);
  void Close();
  // Closes for misbehaviour: broken framing, a flood, a stall, a full queue.
  void Drop();
  bool WasDropped() const { return dropped_; }
  // Stops reading and closes once everything queued has been written.
  void CloseWhenSent();
  // Handles no further frame (those received stay buffered, nothing more is read) until
  // Resume: the frame just handled waits for an answer that later ones must not overtake.
  void Hold() { held_ = true; }
  void Resume();

  bool IsOpen() const { return !closed_; }
  std::uint64_t Id() const { return id_; }
  std::uint32_t UserId() const { return userId_; }
  void SetUserId(std::uint32_t userId) { userId_ = userId; }
  std::uint64_t OpenedAtMs() const { return openedAtMs_; }
  // When the write now in progress started, 0 when idle.
  std::uint64_t WriteStartedMs() const { return writeStartedMs_; }
  // When bytes last arrived (the opening time before any).
  std::uint64_t LastReceivedMs() const { return lastReceivedMs_; }
  // When the frame that is still incomplete began to arrive, 0 between frames.
  std::uint64_t PartialFrameSinceMs() const { return partialSinceMs_; }
  std::size_t QueuedBytes() const { return queuedBytes_; }
  // Counts a refused frame; true while the peer stays under its allowance.
  bool CountRefused();

 private:
  void ReadMore();
  void OnRead(const asio::error_code& ec, std::size_t bytes);
  // Hands the complete frames received to the host, then reads on.
  void HandleFrames();
  void WriteMore();
  void OnWritten(const asio::error_code& ec);

  std::unique_ptr<PeerStream> stream_;
  Host& host_;
  std::uint64_t id_;
  std::size_t maxQueuedBytes_;
  plat::Clock& clock_;
  std::uint64_t openedAtMs_;
  std::uint64_t lastReceivedMs_;
  std::uint64_t partialSinceMs_ = 0;
  std::uint32_t userId_ = 0;
  bool closed_ = false;
  bool closing_ = false;
  bool ready_ = false;  // handshake done: writes may go
  bool dropped_ = false;
  bool held_ = false;
  unsigned refused_ = 0;

  plat::net::FrameDecoder decoder_;
  std::array<std::uint8_t, 16384> readBuffer_{};

  std::deque<std::shared_ptr<const std::string>> pending_;
  std::vector<std::shared_ptr<const std::string>> inflight_;
  std::vector<asio::const_buffer> buffers_;
  std::size_t queuedBytes_ = 0;
  std::uint64_t writeStartedMs_ = 0;
};

}  // namespace velsrv
