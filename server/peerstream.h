#pragma once
// The byte stream under a session: plain TCP, or TLS over it. The session never sees which;
// a TLS stream does its handshake in Handshake() and encrypts everything after it.
#include <cstddef>
#include <functional>
#include <memory>
#include <vector>

#include <asio.hpp>
#include <asio/ssl.hpp>

namespace velsrv {

class PeerStream {
 public:
  using Done = std::function<void(const asio::error_code&)>;
  using IoDone = std::function<void(const asio::error_code&, std::size_t)>;

  virtual ~PeerStream() = default;
  // Completes at once for plain TCP.
  virtual void Handshake(Done done) = 0;
  virtual void ReadSome(asio::mutable_buffer buffer, IoDone done) = 0;
  // Writes every buffer, in order, before `done`.
  virtual void WriteAll(const std::vector<asio::const_buffer>& buffers, IoDone done) = 0;
  // Closes the connection at once (no TLS goodbye: the framing tells where messages end).
  virtual void Close() = 0;
  virtual asio::ip::tcp::socket& Socket() = 0;
};

std::unique_ptr<PeerStream> MakePlainStream(asio::ip::tcp::socket socket);
std::unique_ptr<PeerStream> MakeTlsStream(asio::ip::tcp::socket socket, asio::ssl::context& context);

}  // namespace velsrv
