#include "server/peerstream.h"

#include <string>
#include <utility>

namespace velsrv {

namespace {

class PlainStream final : public PeerStream {
 public:
  explicit PlainStream(asio::ip::tcp::socket socket) : socket_(std::move(socket)) {}
  void Handshake(Done done) override { done(asio::error_code()); }
  void ReadSome(asio::mutable_buffer buffer, IoDone done) override { socket_.async_read_some(buffer, std::move(done)); }
  void WriteAll(const std::vector<asio::const_buffer>& buffers, IoDone done) override {
    asio::async_write(socket_, buffers, std::move(done));
  }
  void Close() override {
    asio::error_code ec;
    socket_.shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    socket_.close(ec);
  }
  asio::ip::tcp::socket& Socket() override { return socket_; }

 private:
  asio::ip::tcp::socket socket_;
};

class TlsStream final : public PeerStream {
 public:
  TlsStream(asio::ip::tcp::socket socket, asio::ssl::context& context) : stream_(std::move(socket), context) {}
  void Handshake(Done done) override { stream_.async_handshake(asio::ssl::stream_base::server, std::move(done)); }
  void ReadSome(asio::mutable_buffer buffer, IoDone done) override { stream_.async_read_some(buffer, std::move(done)); }
  void WriteAll(const std::vector<asio::const_buffer>& buffers, IoDone done) override {
    // One contiguous buffer: the TLS layer would make a record of every frame otherwise.
    joined_.clear();
    for (const auto& b : buffers) joined_.append(static_cast<const char*>(b.data()), b.size());
    asio::async_write(stream_, asio::buffer(joined_), std::move(done));
  }
  void Close() override {
    asio::error_code ec;
    stream_.lowest_layer().shutdown(asio::ip::tcp::socket::shutdown_both, ec);
    stream_.lowest_layer().close(ec);
  }
  asio::ip::tcp::socket& Socket() override { return stream_.next_layer(); }

 private:
  asio::ssl::stream<asio::ip::tcp::socket> stream_;
  std::string joined_;
};

}  // namespace

std::unique_ptr<PeerStream> MakePlainStream(asio::ip::tcp::socket socket) {
  return std::make_unique<PlainStream>(std::move(socket));
}

std::unique_ptr<PeerStream> MakeTlsStream(asio::ip::tcp::socket socket, asio::ssl::context& context) {
  return std::make_unique<TlsStream>(std::move(socket), context);
}

}  // namespace velsrv
