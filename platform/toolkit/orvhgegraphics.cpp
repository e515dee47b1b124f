#include "platform/toolkit/orvhgegraphics.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/render/renderdevice.h"
#include "platform/toolkit/cachedcast.h"
#include "platform/toolkit/deviceregistry.h"
#include "platform/toolkit/orvhgeimage.h"

namespace {

constexpr std::uint32_t kImageVertexColor = 0xFFFFFFFF;

hgeQuad MakeQuad(HTEXTURE tex, std::uint32_t color) {
  hgeQuad q{};
  q.tex = tex;
  q.blend = BLEND_DEFAULT;
  for (hgeVertex& v : q.v) v.col = color;
  return q;
}

void SetCorners(hgeQuad& q, float x0, float y0, float x1, float y1) {
  q.v[0].x = x0; q.v[0].y = y0;
  q.v[1].x = x1; q.v[1].y = y0;
  q.v[2].x = x1; q.v[2].y = y1;
  q.v[3].x = x0; q.v[3].y = y1;
}

int ClampByte(int v) { return std::clamp(v, 0, 255); }

// What the draw log keeps of a rectangle at screen (x, y).
plat::DrawRecord RectRecord(int x, int y, const gcn::Rectangle& r, const gcn::Color& color, bool filled) {
  plat::DrawRecord rec;
  rec.kind = plat::DrawRecord::Rect;
  rec.x = x; rec.y = y; rec.w = r.width; rec.h = r.height;
  rec.color = color;
  rec.filled = filled;
  return rec;
}

}  // namespace

// One image draw in widget-local coordinates; the source rectangle is in image pixels.
struct OrvHgeGraphics::ImageDraw {
  float x, y;
  int srcX, srcY, srcW, srcH;
  float hscale, vscale, rotation;
};

OrvHgeGraphics::OrvHgeGraphics() : m_hge(hgeCreate(HGE_VERSION)), m_ownsRef(m_hge != nullptr) {
  plat::ValidateDevice(m_hge);
  if (auto* dev = dynamic_cast<plat::RenderDevice*>(m_hge)) SetScreenSize(dev->Width(), dev->Height());
}

OrvHgeGraphics::OrvHgeGraphics(HGE* hge) : m_hge(hge) {
  plat::ValidateDevice(m_hge);
  if (auto* dev = dynamic_cast<plat::RenderDevice*>(m_hge)) SetScreenSize(dev->Width(), dev->Height());
}

OrvHgeGraphics::~OrvHgeGraphics() {
  if (m_ownsRef) m_hge->Release();
}

void OrvHgeGraphics::SetScreenSize(int width, int height) {
  m_screenW = std::max(width, 0);
  m_screenH = std::max(height, 0);
}

std::uint32_t OrvHgeGraphics::ToArgb(const gcn::Color& c) {
  return (static_cast<std::uint32_t>(ClampByte(c.a)) << 24) |
         (static_cast<std::uint32_t>(ClampByte(c.r)) << 16) |
         (static_cast<std::uint32_t>(ClampByte(c.g)) << 8) |
         static_cast<std::uint32_t>(ClampByte(c.b));
}

// ---- clip areas ------------------------------------------------------------------------

const gcn::ClipRectangle* OrvHgeGraphics::Top() const {
  return mClipStack.empty() ? nullptr : &mClipStack.top();
}

void OrvHgeGraphics::_beginDraw() {
  plat::ValidateDevice(m_hge);
  while (!mClipStack.empty()) mClipStack.pop();
  pushClipArea(gcn::Rectangle(0, 0, m_screenW, m_screenH));
}

void OrvHgeGraphics::_endDraw() {
  while (!mClipStack.empty()) mClipStack.pop();
  ApplyClip();
}

bool OrvHgeGraphics::pushClipArea(gcn::Rectangle area) {
  // guichan's own push keeps the full width when it moves a left edge inwards, so a child
  // sticking out of its parent on the left or top could draw past its own right or bottom
  // edge. The intersection is computed here instead.
  gcn::ClipRectangle c;
  const gcn::ClipRectangle* top = Top();
  const int offX = top ? top->xOffset : 0;
  const int offY = top ? top->yOffset : 0;
  c.xOffset = offX + area.x;
  c.yOffset = offY + area.y;
  long long x0 = static_cast<long long>(offX) + area.x;
  long long y0 = static_cast<long long>(offY) + area.y;
  long long x1 = x0 + std::max(area.width, 0);
  long long y1 = y0 + std::max(area.height, 0);
  if (top) {
    x0 = std::max<long long>(x0, top->x);
    y0 = std::max<long long>(y0, top->y);
    x1 = std::min<long long>(x1, static_cast<long long>(top->x) + top->width);
    y1 = std::min<long long>(y1, static_cast<long long>(top->y) + top->height);
  }
  c.x = static_cast<int>(x0);
  c.y = static_cast<int>(y0);
  c.width = static_cast<int>(std::max<long long>(x1 - x0, 0));
  c.height = static_cast<int>(std::max<long long>(y1 - y0, 0));
  mClipStack.push(c);
  ApplyClip();
  return c.width > 0 && c.height > 0;
}

void OrvHgeGraphics::popClipArea() {
  if (!mClipStack.empty()) mClipStack.pop();
  ApplyClip();
}

void OrvHgeGraphics::ApplyClip() {
  const gcn::ClipRectangle* top = Top();
  m_clipEmpty = top && (top->width <= 0 || top->height <= 0);
  if (!m_hge) return;
  if (!top || (top->x <= 0 && top->y <= 0 && top->x + top->width >= m_screenW &&
               top->y + top->height >= m_screenH)) {
    m_hge->Gfx_SetClipping();
  } else if (m_clipEmpty) {
    // All zeros would mean "whole screen"; this one is empty and off screen.
    m_hge->Gfx_SetClipping(-1, -1, 0, 0);
  } else {
    m_hge->Gfx_SetClipping(top->x, top->y, top->width, top->height);
  }
}

bool OrvHgeGraphics::IsClipEmpty() const { return m_clipEmpty; }

int OrvHgeGraphics::ScreenX(int localX) const {
  const gcn::ClipRectangle* top = Top();
  return localX + (top ? top->xOffset : 0);
}

int OrvHgeGraphics::ScreenY(int localY) const {
  const gcn::ClipRectangle* top = Top();
  return localY + (top ? top->yOffset : 0);
}

bool OrvHgeGraphics::IsOutsideClip(int x, int y, int w, int h) const {
  if (m_clipEmpty) return true;
  const gcn::ClipRectangle* top = Top();
  if (!top) return x >= m_screenW || y >= m_screenH || x + w <= 0 || y + h <= 0;
  return x >= top->x + top->width || y >= top->y + top->height || x + w <= top->x ||
         y + h <= top->y;
}

void OrvHgeGraphics::Record(plat::DrawRecord r, int w, int h) const {
  if (!plat::GetDrawLog()) return;
  r.clipped = w <= 0 || h <= 0 || IsOutsideClip(r.x, r.y, w, h);
  plat::RecordDraw(std::move(r));
}

// ---- primitives ------------------------------------------------------------------------

void OrvHgeGraphics::setColor(const gcn::Color& color) { m_color = color; }

bool OrvHgeGraphics::RenderLocalQuad(hgeQuad q) {
  if (!m_hge || m_clipEmpty) return false;
  const float dx = static_cast<float>(ScreenX(0));
  const float dy = static_cast<float>(ScreenY(0));
  for (hgeVertex& v : q.v) {
    v.x += dx;
    v.y += dy;
  }
  m_hge->Gfx_RenderQuad(&q);
  return true;
}

void OrvHgeGraphics::FillScreenRect(float x0, float y0, float x1, float y1, std::uint32_t argb) {
  if (!m_hge || m_clipEmpty || x1 <= x0 || y1 <= y0) return;
  hgeQuad q = MakeQuad(0, argb);
  SetCorners(q, x0, y0, x1, y1);
  m_hge->Gfx_RenderQuad(&q);
}

void OrvHgeGraphics::fillRectangle(const gcn::Rectangle& r) {
  const int x = ScreenX(r.x), y = ScreenY(r.y);
  Record(RectRecord(x, y, r, m_color, true), r.width, r.height);
  FillScreenRect(static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + r.width),
                 static_cast<float>(y + r.height), ToArgb(m_color));
}

void OrvHgeGraphics::drawRectangle(const gcn::Rectangle& r) {
  const int x = ScreenX(r.x), y = ScreenY(r.y);
  Record(RectRecord(x, y, r, m_color, false), r.width, r.height);
  if (r.width <= 0 || r.height <= 0) return;
  // Four one-pixel bands: exact pixels, no line end rules.
  const std::uint32_t c = ToArgb(m_color);
  const float fx = static_cast<float>(x), fy = static_cast<float>(y);
  const float fr = fx + r.width, fb = fy + r.height;
  FillScreenRect(fx, fy, fr, fy + 1, c);
  if (r.height > 1) FillScreenRect(fx, fb - 1, fr, fb, c);
  if (r.height > 2) {
    FillScreenRect(fx, fy + 1, fx + 1, fb - 1, c);
    if (r.width > 1) FillScreenRect(fr - 1, fy + 1, fr, fb - 1, c);
  }
}

void OrvHgeGraphics::drawPoint(int x, int y) {
  const float sx = static_cast<float>(ScreenX(x)), sy = static_cast<float>(ScreenY(y));
  FillScreenRect(sx, sy, sx + 1, sy + 1, ToArgb(m_color));
}

void OrvHgeGraphics::drawLine(int x1, int y1, int x2, int y2) {
  const int sx1 = ScreenX(x1), sy1 = ScreenY(y1), sx2 = ScreenX(x2), sy2 = ScreenY(y2);
  plat::DrawRecord rec;
  rec.kind = plat::DrawRecord::Line;
  rec.x = sx1; rec.y = sy1; rec.w = sx2 - sx1; rec.h = sy2 - sy1;
  rec.color = m_color;
  Record(rec, std::abs(rec.w) + 1, std::abs(rec.h) + 1);
  if (!m_hge || m_clipEmpty) return;
  const std::uint32_t c = ToArgb(m_color);
  if (sx1 == sx2 || sy1 == sy2) {
    // Axis-parallel lines (carets, separators) as exact pixel bands, ends included.
    FillScreenRect(static_cast<float>(std::min(sx1, sx2)), static_cast<float>(std::min(sy1, sy2)),
                   static_cast<float>(std::max(sx1, sx2) + 1),
                   static_cast<float>(std::max(sy1, sy2) + 1), c);
    return;
  }
  m_hge->Gfx_RenderLine(static_cast<float>(sx1), static_cast<float>(sy1),
                        static_cast<float>(sx2), static_cast<float>(sy2), c);
}

void OrvHgeGraphics::fillGradient(const gcn::Rectangle& r, const gcn::Color& topLeft,
                                  const gcn::Color& topRight, const gcn::Color& bottomRight,
                                  const gcn::Color& bottomLeft) {
  const int x = ScreenX(r.x), y = ScreenY(r.y);
  Record(RectRecord(x, y, r, topLeft, true), r.width, r.height);
  if (!m_hge || m_clipEmpty || r.width <= 0 || r.height <= 0) return;
  hgeQuad q = MakeQuad(0, 0);
  SetCorners(q, static_cast<float>(x), static_cast<float>(y), static_cast<float>(x + r.width),
             static_cast<float>(y + r.height));
  q.v[0].col = ToArgb(topLeft);
  q.v[1].col = ToArgb(topRight);
  q.v[2].col = ToArgb(bottomRight);
  q.v[3].col = ToArgb(bottomLeft);
  m_hge->Gfx_RenderQuad(&q);
}

// ---- images ----------------------------------------------------------------------------

void OrvHgeGraphics::drawImage(const gcn::Image*, int, int, int, int, int, int) {}

void OrvHgeGraphics::drawImage(const OrvHgeImage* img, int x, int y) {
  if (!img) return;
  DrawImagePart(img, ImageDraw{static_cast<float>(x), static_cast<float>(y), 0, 0,
                               img->getWidth(), img->getHeight(), 1.0f, 1.0f, 0.0f});
}

void OrvHgeGraphics::drawImage(const OrvHgeImage* img, int width, int height, int srcX,
                               int srcY, float x, float y) {
  DrawImagePart(img, ImageDraw{x, y, srcX, srcY, width, height, 1.0f, 1.0f, 0.0f});
}

void OrvHgeGraphics::drawImageEx(const OrvHgeImage* img, int x, int y, float rotation,
                                 float hscale, float vscale) {
  if (!img) return;
  if (vscale == 0.0f) vscale = hscale;
  DrawImagePart(img, ImageDraw{static_cast<float>(x), static_cast<float>(y), 0, 0,
                               img->getWidth(), img->getHeight(), hscale, vscale, rotation});
}

void OrvHgeGraphics::drawImageRect(const OrvHgeImage* img, int x, int y, int width, int height,
                                   int srcX, int srcY, float hscale, float vscale) {
  if (vscale == 0.0f) vscale = hscale;
  DrawImagePart(img, ImageDraw{static_cast<float>(x), static_cast<float>(y), srcX, srcY, width,
                               height, hscale, vscale, 0.0f});
}

void OrvHgeGraphics::DrawImagePart(const OrvHgeImage* img, const ImageDraw& d) {
  if (!img || !img->IsValid()) return;
  const int imgW = img->getWidth(), imgH = img->getHeight();
  // Cut the source rectangle to the image; the visible part keeps its place.
  const long long sx0 = std::max<long long>(d.srcX, 0);
  const long long sy0 = std::max<long long>(d.srcY, 0);
  const long long sx1 = std::min<long long>(static_cast<long long>(d.srcX) + d.srcW, imgW);
  const long long sy1 = std::min<long long>(static_cast<long long>(d.srcY) + d.srcH, imgH);
  const float screenX = static_cast<float>(ScreenX(0)) + d.x;
  const float screenY = static_cast<float>(ScreenY(0)) + d.y;

  if (plat::GetDrawLog()) {
    plat::DrawRecord rec;
    rec.kind = plat::DrawRecord::Image;
    rec.what = img->Path();
    rec.x = static_cast<int>(std::floor(screenX));
    rec.y = static_cast<int>(std::floor(screenY));
    rec.w = d.srcW; rec.h = d.srcH; rec.srcX = d.srcX; rec.srcY = d.srcY;
    rec.hscale = d.hscale; rec.vscale = d.vscale; rec.rotation = d.rotation;
    rec.color = gcn::Color(255, 255, 255, 255);
    // The box of the unrotated draw; rotation only matters for the clipped flag.
    const float span = d.rotation == 0.0f ? 1.0f : 1.5f;
    Record(rec, static_cast<int>(std::ceil(std::fabs(d.srcW * d.hscale) * span)),
           static_cast<int>(std::ceil(std::fabs(d.srcH * d.vscale) * span)));
  }
  if (sx1 <= sx0 || sy1 <= sy0 || !m_hge || m_clipEmpty) return;

  const OrvHgeImage::Placed placed =
      img->PlaceOn(m_hge, std::max(std::fabs(d.hscale), std::fabs(d.vscale)));
  const HTEXTURE tex = placed.tex;
  const int level = placed.level;
  if (!tex) return;
  const float texW = static_cast<float>(placed.texWidth);
  const float texH = static_cast<float>(placed.texHeight);
  if (texW <= 0 || texH <= 0) return;
  // Texture coordinates: image pixels scaled to the level, over the texture's real size.
  const float levelW = static_cast<float>(std::max(imgW >> level, 1));
  const float levelH = static_cast<float>(std::max(imgH >> level, 1));
  const float ku = levelW / static_cast<float>(imgW) / texW;
  const float kv = levelH / static_cast<float>(imgH) / texH;

  hgeQuad q = MakeQuad(tex, kImageVertexColor);
  const float u0 = sx0 * ku, u1 = sx1 * ku, v0 = sy0 * kv, v1 = sy1 * kv;
  q.v[0].tx = u0; q.v[0].ty = v0;
  q.v[1].tx = u1; q.v[1].ty = v0;
  q.v[2].tx = u1; q.v[2].ty = v1;
  q.v[3].tx = u0; q.v[3].ty = v1;

  // Corners relative to (x, y) before rotation.
  const float lx0 = (sx0 - d.srcX) * d.hscale, ly0 = (sy0 - d.srcY) * d.vscale;
  const float lx1 = (sx1 - d.srcX) * d.hscale, ly1 = (sy1 - d.srcY) * d.vscale;
  const float px[4] = {lx0, lx1, lx1, lx0};
  const float py[4] = {ly0, ly0, ly1, ly1};
  const float c = std::cos(d.rotation), s = std::sin(d.rotation);
  for (int i = 0; i < 4; ++i) {
    q.v[i].x = screenX + px[i] * c - py[i] * s;
    q.v[i].y = screenY + px[i] * s + py[i] * c;
  }
  m_hge->Gfx_RenderQuad(&q);
}

OrvHgeGraphics* ToOrvGraphics(gcn::Graphics* g) { return plat::CachedCast<OrvHgeGraphics>(g); }
