// CGoodsCatalogue: goods descriptions from the configuration file.
//
// Goods id -> description text, the raw GBK bytes of the `description`
// attribute as the XML parser decodes them. Filled once at load time; the
// goods description window owns one and calls Load() from its LoadConfig.
//
// File: one root element (any name); each element child of the root is an
// entry with attributes goodsID (atoi rules, used as an unsigned 32-bit key)
// and description (optional). The first entry of a goods id wins.
// Loading never fails loudly: a missing or malformed file, a document
// without a root, entries without goodsID and exceptions all end quietly,
// keeping whatever was stored until then.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

class TiXmlDocument;

class CGoodsCatalogue {
 public:
  // Game-relative location, resolved through plat::AssetPath.
  static constexpr const char* kConfigPath = "Velmora\\config\\AuctionGoodsCfg.xml";

  // Loads kConfigPath under the asset root.
  bool LoadDefault();

  // Loads a file given by its file system path. Returns whether the file
  // was read and parsed (entries may have been added either way).
  bool Load(const std::string& filePath);

  // Loads an in-memory XML document (tests and fuzzing).
  bool LoadText(std::string_view xml);

  // Description of a goods id, or null when the file does not list it.
  const std::string* Find(std::uint32_t goodsId) const;

  std::size_t Size() const { return m_entries.size(); }
  bool Empty() const { return m_entries.empty(); }

  // The key of a goodsID value: C atoi rules (leading white space, optional
  // sign, digits up to the first other character, no digits gives 0),
  // saturated to the int range, then taken as unsigned 32 bits.
  static std::uint32_t ParseGoodsId(const char* text);

 private:
  bool ParseDocument(std::string&& text);
  void ReadEntries(const TiXmlDocument& doc);

  std::map<std::uint32_t, std::string> m_entries;
};
