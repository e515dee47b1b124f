#pragma once
// CGoodsDescription: the callout with a goods item's name and description, shown while the
// mouse rests on a goods picture. Not a widget: the main view tells it on every mouse move
// what to describe (Show) and asks it to draw after everything else (Draw).
//
// Show builds the lines once (name line, then the description wrapped at 250 pixels); Draw
// only draws them. Unanchored, the callout stands beside the candidate tile: tiles 0 to 2
// use the top frame of the two-frame image, 3 to 5 the bottom one. Tile index 6 has a place
// (760, 120) but no frame of its own: it uses the bottom frame there. Tile indices 7 and up
// have no place and draw nothing. Anchored, the lot callout stands at (365, 400).
//
// Owns the goods description catalogue, filled once by InitResource. One process-wide
// instance (GetGoodsDescription).
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include <guichan/graphics.hpp>

#include "client/data/goodscatalogue.h"

class OrvHgeFont;
class OrvHgeImage;

class CGoodsDescription {
 public:
  static constexpr std::uint32_t kPositionCount = 7;  // also "nothing to show" as a slot index
  static constexpr int kWrapWidth = 250;

  struct Point {
    std::int32_t x, y;
  };

  CGoodsDescription();
  ~CGoodsDescription();
  CGoodsDescription(const CGoodsDescription&) = delete;
  CGoodsDescription& operator=(const CGoodsDescription&) = delete;

  // Font, the two callout images, then the catalogue. Only the first call does anything.
  void InitResource();
  // Fills the catalogue from the configuration file under the asset root.
  void LoadConfig();
  // Stores what to describe and rebuilds the lines; (7, 7, false) hides the callout.
  void Show(std::uint32_t slotIndex, std::uint32_t tileIndex, bool anchored);
  void BuildLines();
  void Draw(gcn::Graphics* g);

  // Splits text into lines, each the longest prefix of what remains that the font draws at
  // most maxWidth wide, and at least one character long. Appends them to *lines.
  static void WrapText(const OrvHgeFont& font, const std::u16string& text, int maxWidth,
                       std::vector<std::u16string>* lines);

  const std::vector<std::u16string>& GetLines() const { return m_lines; }
  std::uint32_t GetSlotIndex() const { return m_slotIndex; }
  std::uint32_t GetTileIndex() const { return m_tileIndex; }
  bool IsAnchored() const { return m_anchored; }
  // Something is described (a name line at least).
  bool IsShown() const { return !m_lines.empty(); }
  // The goods id the lines were built for; 0 when nothing is described.
  std::uint32_t GetGoodsId() const { return m_goodsId; }
  // Hides the callout.
  void Hide() { Show(kPositionCount, kPositionCount, false); }
  CGoodsCatalogue& Catalogue() { return m_catalogue; }
  // Top-left corner of the tile callout for a tile index (0..6).
  static Point CalloutPosition(std::uint32_t tileIndex);

 private:
  void DrawLines(gcn::Graphics* g, int x, int y);
  void DrawTileCallout(gcn::Graphics* g);

  std::unique_ptr<OrvHgeImage> m_tileCallout;
  std::unique_ptr<OrvHgeImage> m_lotCallout;
  std::unique_ptr<OrvHgeFont> m_font;
  std::uint32_t m_slotIndex = kPositionCount;
  std::uint32_t m_tileIndex = 0;
  Point m_positions[kPositionCount];
  CGoodsCatalogue m_catalogue;
  std::vector<std::u16string> m_lines;
  std::uint32_t m_goodsId = 0;
  bool m_anchored = false;
};

// The process-wide goods description window.
CGoodsDescription& GetGoodsDescription();
