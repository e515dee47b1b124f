#include "server/tlsidentity.h"

#include <fcntl.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/pem.h>
#include <openssl/rand.h>
#include <openssl/x509.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/net/fingerprint.h"

namespace velsrv {

namespace {

constexpr long kValidSeconds = 20L * 365 * 24 * 3600;
const char* const kCommonName = "velmora-server";

template <typename T, void (*Free)(T*)>
struct Deleter {
  void operator()(T* p) const { Free(p); }
};
using PkeyPtr = std::unique_ptr<EVP_PKEY, Deleter<EVP_PKEY, EVP_PKEY_free>>;
using X509Ptr = std::unique_ptr<X509, Deleter<X509, X509_free>>;
using BioPtr = std::unique_ptr<BIO, Deleter<BIO, BIO_free_all>>;

std::string OpenSslError(const std::string& what) {
  const unsigned long code = ERR_get_error();
  char text[256] = "unknown error";
  if (code != 0) ERR_error_string_n(code, text, sizeof(text));
  ERR_clear_error();
  return what + ": " + text;
}

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return size > 0 ? std::string(data, static_cast<std::size_t>(size)) : std::string();
}

bool Fingerprint(X509* cert, std::string* out) {
  unsigned char digest[plat::net::kSha256Bytes];
  unsigned int size = 0;
  if (X509_digest(cert, EVP_sha256(), digest, &size) != 1 || size != sizeof(digest)) return false;
  *out = plat::net::FormatFingerprint(digest);
  return true;
}

bool FileExists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool ReadFile(const std::string& path, std::string* out, std::string* error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    *error = "cannot read " + path + ": " + std::strerror(errno);
    return false;
  }
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return true;
}

// Creates the file only if it is not there, with the mode from the start (never a moment
// with a wider one).
bool WriteNewFile(const std::string& path, const std::string& text, mode_t mode, std::string* error) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
  if (fd < 0) {
    *error = "cannot create " + path + ": " + std::strerror(errno);
    return false;
  }
  const bool ok = ::write(fd, text.data(), text.size()) == static_cast<ssize_t>(text.size()) && ::fsync(fd) == 0;
  ::close(fd);
  if (!ok) {
    *error = "cannot write " + path;
    ::unlink(path.c_str());
  }
  return ok;
}

std::string WithExtension(const std::string& dbPath, const char* extension) {
  return std::filesystem::path(dbPath).replace_extension(extension).string();
}

}  // namespace

std::string CertPathBeside(const std::string& dbPath) { return WithExtension(dbPath, ".crt"); }
std::string KeyPathBeside(const std::string& dbPath) { return WithExtension(dbPath, ".key"); }

bool CreateIdentity(TlsIdentity* out, std::string* error) {
  PkeyPtr key(EVP_EC_gen("P-256"));
  if (!key) {
    *error = OpenSslError("cannot make a key");
    return false;
  }
  X509Ptr cert(X509_new());
  unsigned char serial[16];
  BIGNUM* bn = nullptr;
  bool ok = cert && RAND_bytes(serial, sizeof(serial)) == 1;
  if (ok) {
    serial[0] &= 0x7F;  // a positive serial number
    bn = BN_bin2bn(serial, sizeof(serial), nullptr);
    ok = bn != nullptr && BN_to_ASN1_INTEGER(bn, X509_get_serialNumber(cert.get())) != nullptr;
    BN_free(bn);
  }
  ok = ok && X509_set_version(cert.get(), 2) == 1 && X509_gmtime_adj(X509_getm_notBefore(cert.get()), -3600) &&
       X509_gmtime_adj(X509_getm_notAfter(cert.get()), kValidSeconds) && X509_set_pubkey(cert.get(), key.get()) == 1;
  if (ok) {
    X509_NAME* name = X509_get_subject_name(cert.get());
    ok = X509_NAME_add_entry_by_txt(name, "CN", MBSTRING_ASC, reinterpret_cast<const unsigned char*>(kCommonName), -1,
                                    -1, 0) == 1 &&
         X509_set_issuer_name(cert.get(), name) == 1 && X509_sign(cert.get(), key.get(), EVP_sha256()) > 0;
  }
  if (!ok) {
    *error = OpenSslError("cannot make a certificate");
    return false;
  }
  BioPtr certBio(BIO_new(BIO_s_mem()));
  BioPtr keyBio(BIO_new(BIO_s_mem()));
  if (!certBio || !keyBio || PEM_write_bio_X509(certBio.get(), cert.get()) != 1 ||
      PEM_write_bio_PrivateKey(keyBio.get(), key.get(), nullptr, nullptr, 0, nullptr, nullptr) != 1 ||
      !Fingerprint(cert.get(), &out->fingerprint)) {
    *error = OpenSslError("cannot write the certificate");
    return false;
  }
  out->certPem = BioText(certBio.get());
  out->keyPem = BioText(keyBio.get());
  return true;
}

bool LoadOrCreateIdentity(const std::string& certPath, const std::string& keyPath, bool create, TlsIdentity* out,
                          std::string* error) {
  const bool haveCert = FileExists(certPath);
  const bool haveKey = FileExists(keyPath);
  if (!haveCert && !haveKey && create) {
    TlsIdentity made;
    if (!CreateIdentity(&made, error)) return false;
    if (!WriteNewFile(keyPath, made.keyPem, S_IRUSR | S_IWUSR, error)) return false;
    if (!WriteNewFile(certPath, made.certPem, S_IRUSR | S_IWUSR | S_IRGRP | S_IROTH, error)) {
      ::unlink(keyPath.c_str());
      return false;
    }
    *out = std::move(made);
    return true;
  }
  if (!haveCert || !haveKey) {
    *error = "found " + (haveCert ? certPath : keyPath) + " but not " + (haveCert ? keyPath : certPath) +
             " (give both, or move the one away to make a new pair)";
    return false;
  }
  struct stat st {};
  if (::stat(keyPath.c_str(), &st) == 0 && (st.st_mode & (S_IROTH | S_IWOTH)) != 0) {
    *error = keyPath + " can be read by anyone; make it private first (chmod 600 " + keyPath + ")";
    return false;
  }
  TlsIdentity loaded;
  if (!ReadFile(certPath, &loaded.certPem, error) || !ReadFile(keyPath, &loaded.keyPem, error)) return false;
  BioPtr bio(BIO_new_mem_buf(loaded.certPem.data(), static_cast<int>(loaded.certPem.size())));
  X509Ptr cert(bio ? PEM_read_bio_X509(bio.get(), nullptr, nullptr, nullptr) : nullptr);
  if (!cert || !Fingerprint(cert.get(), &loaded.fingerprint)) {
    *error = OpenSslError(certPath + " is not a PEM certificate");
    return false;
  }
  *out = std::move(loaded);
  return true;
}

std::unique_ptr<asio::ssl::context> MakeServerContext(const TlsIdentity& identity, std::string* error) {
  auto context = std::make_unique<asio::ssl::context>(asio::ssl::context::tls_server);
  context->set_options(asio::ssl::context::default_workarounds | asio::ssl::context::no_sslv2 |
                       asio::ssl::context::no_sslv3 | asio::ssl::context::no_tlsv1 |
                       asio::ssl::context::no_tlsv1_1 | asio::ssl::context::single_dh_use);
  asio::error_code ec;
  context->use_certificate_chain(asio::buffer(identity.certPem), ec);
  if (!ec) context->use_private_key(asio::buffer(identity.keyPem), asio::ssl::context::pem, ec);
  if (ec) {
    *error = "the certificate or key does not load: " + ec.message();
    return nullptr;
  }
  if (SSL_CTX_check_private_key(context->native_handle()) != 1) {
    *error = "the key does not belong to the certificate";
    return nullptr;
  }
  return context;
}

}  // namespace velsrv
