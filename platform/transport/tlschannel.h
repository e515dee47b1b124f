#pragma once
// TLS (OpenSSL) over a connected non-blocking socket, for the transport's own thread. The
// server's certificate is not checked against authorities: the transport pins its
// fingerprint instead (KnownServers), the way SSH does with host keys. The handshake still
// proves that the server holds the key of the certificate it shows.
#include <cstddef>
#include <memory>
#include <string>

#include "platform/transport/tcpsocket.h"

typedef struct ssl_st SSL;
typedef struct ssl_ctx_st SSL_CTX;

namespace plat {

class TlsChannel {
 public:
  enum class Step { Done, WantRead, WantWrite, Failed };

  // Null with a reason when OpenSSL cannot set up. `host` is sent as the server name unless it
  // is an address.
  static std::unique_ptr<TlsChannel> Create(TcpSocket& socket, const std::string& host, std::string* error);
  ~TlsChannel();
  TlsChannel(const TlsChannel&) = delete;
  TlsChannel& operator=(const TlsChannel&) = delete;

  // One step of the handshake; call again when the socket is ready as asked.
  Step Handshake(std::string* error);
  // The server certificate's fingerprint (plat::net::FormatFingerprint); empty before the
  // handshake or when the server showed none.
  std::string PeerFingerprint() const;

  // As TcpSocket's. WouldBlock with *wantsWrite set: retry when the socket is writable.
  TcpSocket::IoResult Read(void* buffer, std::size_t size, std::size_t* done, std::string* error);
  TcpSocket::IoResult Write(const void* data, std::size_t size, std::size_t* done, std::string* error);
  // Decrypted bytes waiting inside OpenSSL, which poll() cannot see.
  bool HasBuffered() const;
  bool WantsWrite() const { return m_wantsWrite; }

 private:
  TlsChannel() = default;
  TcpSocket::IoResult Result(int rc, std::size_t* done, std::string* error);

  SSL_CTX* m_ctx = nullptr;
  SSL* m_ssl = nullptr;
  bool m_wantsWrite = false;
};

}  // namespace plat
