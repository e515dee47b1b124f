#pragma once
// The shared goods catalogue and the description file the client reads.
#include <cstdint>
#include <string>
#include <vector>

#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

struct GoodsEntry {
  std::uint32_t id;
  std::string name;         // UTF-8
  std::string description;  // UTF-8, one paragraph
};

const std::vector<GoodsEntry>& GoodsCatalogue();
// Escapes the five XML special characters of an attribute value.
std::string EscapeXmlAttribute(const std::string& text);
// The whole file: GBK bytes with an encoding="GBK" declaration.
std::string BuildGoodsConfig(const std::vector<GoodsEntry>& entries);
// Writes the file after checking that each description fits its callout.
void WriteGoodsConfig(const ArtContext& ctx, AssetWriter& out);
