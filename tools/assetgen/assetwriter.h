#pragma once
// Saves generated files under the output root and keeps the list of what
// was written, for the closing summary.
#include <string>
#include <vector>

#include "tools/assetgen/canvas.h"

struct AssetRecord {
  std::string path;  // relative to the root, forward slashes
  int width = 0, height = 0;
  std::string layout;
};

class AssetWriter {
 public:
  explicit AssetWriter(std::string root) : root_(std::move(root)) {}
  // Throws std::runtime_error when a file cannot be written.
  void Png(const std::string& rel, const Canvas& c, const std::string& layout);
  void Jpg(const std::string& rel, const Canvas& c, int quality, const std::string& layout);
  void Bytes(const std::string& rel, const std::string& bytes, const std::string& layout);
  const std::vector<AssetRecord>& Records() const { return records_; }

 private:
  std::string Prepare(const std::string& rel) const;
  std::string root_;
  std::vector<AssetRecord> records_;
};
