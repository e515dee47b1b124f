#pragma once
// The server's certificate and key. On first start a self-signed pair is made and kept
// beside the database (the key readable by its owner only); later starts load it, so the
// fingerprint players pinned stays the same.
#include <memory>
#include <string>

#include <asio/ssl.hpp>

namespace velsrv {

struct TlsIdentity {
  std::string certPem;
  std::string keyPem;
  std::string fingerprint;  // plat::net::FormatFingerprint of the certificate
};

// Where the pair lives beside a database: "game.db" -> "game.crt" and "game.key".
std::string CertPathBeside(const std::string& dbPath);
std::string KeyPathBeside(const std::string& dbPath);

// Loads the pair from the files; when neither file exists and `create` is set, makes a new
// pair and writes it there first. False with a reason (one file without the other, a key
// others can read, files that do not parse).
bool LoadOrCreateIdentity(const std::string& certPath, const std::string& keyPath, bool create, TlsIdentity* out,
                          std::string* error);
// A new self-signed pair kept in memory only (a database kept nowhere).
bool CreateIdentity(TlsIdentity* out, std::string* error);

// A TLS 1.2+ server context with the pair; null with a reason when they do not fit together.
std::unique_ptr<asio::ssl::context> MakeServerContext(const TlsIdentity& identity, std::string* error);

}  // namespace velsrv
