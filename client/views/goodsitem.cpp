#include "client/views/goodsitem.h"

#include "client/core/cmd_velmora.h"
#include "client/data/buydata.h"
#include "client/views/goodsimage.h"
#include "client/views/viewtext.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgefont.h"
#include "platform/toolkit/orvhgegraphics.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr const char* kTileBgPath = "Velmora/Image/GoodsItem/ItemBg.png";
constexpr const char* kSellStatusPath = "Velmora/Image/GoodsItem/TxtSellStatus.png";
constexpr const char* kLikeButtonPath = "Velmora/Image/GoodsItem/mrwt_btn_like.png";
constexpr const char* kLikeBgPath = "Velmora/Image/GoodsItem/mrwt_bg_like.png";

constexpr int kTileFontSize = 12;
constexpr int kLikeFontSize = 20;
constexpr int kStatusFrames = 3;

// Offsets inside a tile.
constexpr int kPictureX = 19, kPictureY = 27;
constexpr int kPictureRight = 122, kPictureBottom = 112;  // picture hit area, inclusive
constexpr int kStatusX = 17, kStatusY = 40;
constexpr int kTextCentreX = 70, kNameY = 10, kValueY = 120;
constexpr int kLikeBgX = 56, kLikeY = 142;
constexpr int kLikeButtonX = 2;
constexpr int kLikeHitRight = 54, kLikeHitBottom = 175;  // like hit area, inclusive
constexpr int kLikeCountX = 97, kLikeCountY = 147;

const std::string kValueFormat = plat::Utf8ToGbk("价值 %u");
const gcn::Color kLikeCountColor(0, 0, 0, 255);

struct SharedTileResources {
  std::unique_ptr<OrvHgeImage> background;
  std::unique_ptr<OrvHgeImage> statusStrip;
  std::unique_ptr<OrvHgeFont> font;
  std::string text;  // reused by every tile for its name and value
};

SharedTileResources& Shared() {
  static SharedTileResources shared;
  return shared;
}

}  // namespace

CGoodsItem::CGoodsItem() = default;
CGoodsItem::~CGoodsItem() = default;

void CGoodsItem::InitSharedResource() {
  SharedTileResources& s = Shared();
  if (!s.background) s.background = std::make_unique<OrvHgeImage>(kTileBgPath, false);
  if (!s.statusStrip) s.statusStrip = std::make_unique<OrvHgeImage>(kSellStatusPath, false);
  if (!s.font) s.font = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kTileFontSize, 0, 0, 0);
}

void CGoodsItem::Draw(gcn::Graphics* g, const CBSceneItem* item) {
  if (item == nullptr) return;
  SharedTileResources& s = Shared();
  OrvHgeGraphics* og = ToOrvGraphics(g);
  const int x = m_x;
  const int y = m_y;

  if (og && s.background) og->drawImage(s.background.get(), x, y);

  m_picture = GetGoodsImage(item->goodsId, FieldText(item->pictureFile));
  if (og && m_picture) og->drawImageEx(m_picture, x + kPictureX, y + kPictureY, 0.0f, kPictureScale, kPictureScale);

  if (og && s.statusStrip && item->state >= GOODS_STATE_SELLING && item->state <= GOODS_STATE_FAILED) {
    const int h = s.statusStrip->getHeight() / kStatusFrames;
    const int srcY = h * static_cast<int>(item->state - GOODS_STATE_SELLING);
    og->drawImageRect(s.statusStrip.get(), x + kStatusX, y + kStatusY, s.statusStrip->getWidth(), h, 0,
                      srcY, 1.0f, 1.0f);
  }

  if (s.font) {
    s.text = FieldText(item->goodsName);
    s.font->drawString(g, s.text, x + kTextCentreX, y + kNameY, OrvHgeFont::kAlignCenter);
    FormatTextInto(s.text, kValueFormat.c_str(), item->goodsValue);
    s.font->drawString(g, s.text, x + kTextCentreX, y + kValueY, OrvHgeFont::kAlignCenter);
  }

  // The like area appears from the second frame: each part is created on the first one.
  if (m_likeBg) {
    if (og) og->drawImageEx(m_likeBg.get(), x + kLikeBgX, y + kLikeY, 0.0f, 1.0f, 1.0f);
  } else {
    m_likeBg = std::make_unique<OrvHgeImage>(kLikeBgPath, false);
  }

  if (m_likeButton) {
    if (og) {
      og->drawImageRect(m_likeButton.get(), x + kLikeButtonX, y + kLikeY, kLikeFrameWidth, kLikeFrameHeight,
                        kLikeFrameWidth * m_likeFrame, 0, 1.0f, 1.0f);
    }
  } else {
    m_likeButton = std::make_unique<OrvHgeImage>(kLikeButtonPath, false);
  }

  if (m_likeFont) {
    FormatTextInto(m_likeText, "%u", item->likeCount);
    m_likeFont->drawString(g, m_likeText, x + kLikeCountX, y + kLikeCountY, OrvHgeFont::kAlignCenter);
  } else {
    m_likeFont = std::make_unique<OrvHgeFont>(SongFaceGbk().c_str(), kLikeFontSize, 1, 0, 0);
    m_likeFont->SetColor(kLikeCountColor, -1);
    m_likeText = "0";
  }
}

bool CGoodsItem::OnMouseMove(int mx, int my) {
  // Widened to 64 bits so that positions near the int limits cannot overflow.
  const long long dx = static_cast<long long>(mx) - m_x;
  const long long dy = static_cast<long long>(my) - m_y;
  const bool onLike = dx >= 0 && dx <= kLikeHitRight && dy >= kLikeY && dy <= kLikeHitBottom;
  if (!m_liked) m_likeFrame = onLike ? kLikeFrameHover : kLikeFrameNormal;
  m_hover = onLike;
  return dx >= kPictureX && dx <= kPictureRight && dy >= kPictureY && dy <= kPictureBottom;
}

void CGoodsItem::SetLiked(bool liked) {
  m_liked = liked;
  m_likeFrame = liked ? kLikeFrameLiked : kLikeFrameNormal;
}

CGoodsItem* GoodsTileAt(CGoodsItem* tiles, std::size_t count, std::uint32_t tileIndex) {
  if (tiles == nullptr || tileIndex >= count) return nullptr;
  return &tiles[tileIndex];
}
