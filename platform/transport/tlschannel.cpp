#include "platform/transport/tlschannel.h"

#include <arpa/inet.h>
#include <openssl/err.h>
#include <openssl/ssl.h>
#include <openssl/x509.h>

#include <climits>

#include "platform/net/fingerprint.h"

namespace plat {

namespace {

std::string OpenSslError(const std::string& what) {
  const unsigned long code = ERR_get_error();
  ERR_clear_error();
  if (code == 0) return what;
  char text[256];
  ERR_error_string_n(code, text, sizeof(text));
  return what + ": " + text;
}

bool IsAddress(const std::string& host) {
  unsigned char buffer[16];
  return ::inet_pton(AF_INET, host.c_str(), buffer) == 1 || ::inet_pton(AF_INET6, host.c_str(), buffer) == 1;
}

}  // namespace

std::unique_ptr<TlsChannel> TlsChannel::Create(TcpSocket& socket, const std::string& host, std::string* error) {
  std::unique_ptr<TlsChannel> channel(new TlsChannel());
  channel->m_ctx = SSL_CTX_new(TLS_client_method());
  if (channel->m_ctx == nullptr || SSL_CTX_set_min_proto_version(channel->m_ctx, TLS1_2_VERSION) != 1) {
    *error = OpenSslError("cannot set up TLS");
    return nullptr;
  }
  // Pinned, not chained to an authority: see the header.
  SSL_CTX_set_verify(channel->m_ctx, SSL_VERIFY_NONE, nullptr);
  SSL_CTX_set_mode(channel->m_ctx, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
  channel->m_ssl = SSL_new(channel->m_ctx);
  if (channel->m_ssl == nullptr || SSL_set_fd(channel->m_ssl, socket.Fd()) != 1) {
    *error = OpenSslError("cannot set up TLS");
    return nullptr;
  }
  if (!host.empty() && !IsAddress(host)) SSL_set_tlsext_host_name(channel->m_ssl, host.c_str());
  SSL_set_connect_state(channel->m_ssl);
  return channel;
}

TlsChannel::~TlsChannel() {
  if (m_ssl != nullptr) SSL_free(m_ssl);
  if (m_ctx != nullptr) SSL_CTX_free(m_ctx);
}

TlsChannel::Step TlsChannel::Handshake(std::string* error) {
  ERR_clear_error();
  const int rc = SSL_do_handshake(m_ssl);
  if (rc == 1) return Step::Done;
  switch (SSL_get_error(m_ssl, rc)) {
    case SSL_ERROR_WANT_READ:
      return Step::WantRead;
    case SSL_ERROR_WANT_WRITE:
      return Step::WantWrite;
    default:
      *error = OpenSslError("TLS handshake failed (is it a velmora-server, and does it speak TLS?)");
      return Step::Failed;
  }
}

std::string TlsChannel::PeerFingerprint() const {
  X509* cert = SSL_get1_peer_certificate(m_ssl);
  if (cert == nullptr) return std::string();
  unsigned char digest[net::kSha256Bytes];
  unsigned int size = 0;
  const bool ok = X509_digest(cert, EVP_sha256(), digest, &size) == 1 && size == sizeof(digest);
  X509_free(cert);
  return ok ? net::FormatFingerprint(digest) : std::string();
}

TcpSocket::IoResult TlsChannel::Result(int rc, std::size_t* done, std::string* error) {
  m_wantsWrite = false;
  if (rc > 0) {
    *done = static_cast<std::size_t>(rc);
    return TcpSocket::IoResult::Ok;
  }
  switch (SSL_get_error(m_ssl, rc)) {
    case SSL_ERROR_WANT_READ:
      return TcpSocket::IoResult::WouldBlock;
    case SSL_ERROR_WANT_WRITE:
      m_wantsWrite = true;
      return TcpSocket::IoResult::WouldBlock;
    case SSL_ERROR_ZERO_RETURN:
      return TcpSocket::IoResult::Closed;
    case SSL_ERROR_SYSCALL:
      ERR_clear_error();
      return TcpSocket::IoResult::Closed;  // the peer went away without a goodbye
    default:
      *error = OpenSslError("TLS");
      return TcpSocket::IoResult::Error;
  }
}

TcpSocket::IoResult TlsChannel::Read(void* buffer, std::size_t size, std::size_t* done, std::string* error) {
  *done = 0;
  ERR_clear_error();
  const int rc = SSL_read(m_ssl, buffer, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
  return Result(rc, done, error);
}

TcpSocket::IoResult TlsChannel::Write(const void* data, std::size_t size, std::size_t* done, std::string* error) {
  *done = 0;
  if (size == 0) return TcpSocket::IoResult::Ok;
  ERR_clear_error();
  const int rc = SSL_write(m_ssl, data, static_cast<int>(std::min<std::size_t>(size, INT_MAX)));
  return Result(rc, done, error);
}

bool TlsChannel::HasBuffered() const { return SSL_pending(m_ssl) > 0; }

}  // namespace plat
