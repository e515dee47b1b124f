#include "tools/assetgen/assetwriter.h"

#include <filesystem>
#include <fstream>
#include <stdexcept>

std::string AssetWriter::Prepare(const std::string& rel) const {
  const std::filesystem::path full = std::filesystem::path(root_) / rel;
  std::filesystem::create_directories(full.parent_path());
  return full.string();
}

void AssetWriter::Png(const std::string& rel, const Canvas& c, const std::string& layout) {
  if (!c.SavePng(Prepare(rel))) throw std::runtime_error("cannot write " + rel);
  records_.push_back(AssetRecord{rel, c.Width(), c.Height(), layout});
}

void AssetWriter::Jpg(const std::string& rel, const Canvas& c, int quality, const std::string& layout) {
  if (!c.SaveJpg(Prepare(rel), quality)) throw std::runtime_error("cannot write " + rel);
  records_.push_back(AssetRecord{rel, c.Width(), c.Height(), layout});
}

void AssetWriter::Bytes(const std::string& rel, const std::string& bytes, const std::string& layout) {
  std::ofstream out(Prepare(rel), std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + rel);
  records_.push_back(AssetRecord{rel, 0, 0, layout});
}
