#pragma once
// CGoodsItem: one candidate tile of the main view (picture, name, value, like count and like
// button). A tile keeps only its visual like state; the goods data comes from the store on
// every draw. The main view owns seven of them.
//
// The background, sale-status strip and text font are shared by all tiles and created once by
// InitSharedResource; each tile creates its own like images and like count font on its first
// draw, so the like area shows from the second frame on.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

#include <guichan/graphics.hpp>

struct CBSceneItem;
class OrvHgeFont;
class OrvHgeImage;

class CGoodsItem {
 public:
  static constexpr int kLikeFrameHover = 0;
  static constexpr int kLikeFrameLiked = 1;
  static constexpr int kLikeFrameNormal = 3;
  static constexpr int kLikeFrameWidth = 54;
  static constexpr int kLikeFrameHeight = 33;
  static constexpr float kPictureScale = 0.355f;

  CGoodsItem();
  ~CGoodsItem();
  CGoodsItem(const CGoodsItem&) = delete;
  CGoodsItem& operator=(const CGoodsItem&) = delete;

  // Creates each shared resource that does not exist yet.
  static void InitSharedResource();

  void SetPosition(int x, int y) { m_x = x; m_y = y; }
  int GetX() const { return m_x; }
  int GetY() const { return m_y; }

  // Draws the tile for `item` (null draws nothing).
  void Draw(gcn::Graphics* g, const CBSceneItem* item);
  // Updates hover and the like button frame; true when (mx, my) is on the picture.
  bool OnMouseMove(int mx, int my);

  bool IsHover() const { return m_hover; }
  void SetHover(bool hover) { m_hover = hover; }
  bool IsLiked() const { return m_liked; }
  void SetLiked(bool liked);
  int GetLikeFrame() const { return m_likeFrame; }
  // The picture drawn last (from the picture cache), possibly null.

 private:
  OrvHgeImage* m_picture = nullptr;
  int m_x = 0;
  int m_y = 0;
  std::unique_ptr<OrvHgeImage> m_likeButton;
  std::unique_ptr<OrvHgeImage> m_likeBg;
  std::unique_ptr<OrvHgeFont> m_likeFont;
  std::string m_likeText;
  int m_likeFrame = kLikeFrameNormal;
  bool m_liked = false;
  bool m_hover = false;
};

constexpr std::size_t kGoodsTileCount = 7;

// The tile that shows `tileIndex`, or null when the index is no tile. The index comes from
// the server, so it is checked before it ever indexes the array.
CGoodsItem* GoodsTileAt(CGoodsItem* tiles, std::size_t count, std::uint32_t tileIndex);

template <std::size_t N>
CGoodsItem* GoodsTileAt(CGoodsItem (&tiles)[N], std::uint32_t tileIndex) {
  return GoodsTileAt(tiles, N, tileIndex);
}

template <std::size_t N>
CGoodsItem* GoodsTileAt(std::array<CGoodsItem, N>& tiles, std::uint32_t tileIndex) {
  return GoodsTileAt(tiles.data(), N, tileIndex);
}
