#include "platform/render/hgesprite.h"

#include <cmath>

namespace {
constexpr std::uint32_t kWhite = 0xFFFFFFFF;
constexpr int kCorners = 4;
constexpr float kDefaultZ = 0.5f;
}  // namespace

hgeSprite::hgeSprite(HTEXTURE tex, float x, float y, float w, float h)
    : m_hge(hgeCreate(HGE_VERSION)) {
  m_quad.blend = BLEND_DEFAULT;
  for (hgeVertex& v : m_quad.v) {
    v.z = kDefaultZ;
    v.col = kWhite;
  }
  m_quad.tex = tex;
  SetTexture(tex);
  SetTextureRect(x, y, w, h, true);
}

hgeSprite::hgeSprite(const hgeSprite& other) : m_hge(hgeCreate(HGE_VERSION)) { CopyState(other); }

hgeSprite& hgeSprite::operator=(const hgeSprite& other) {
  if (this != &other) CopyState(other);  // the device reference stays with this object
  return *this;
}

hgeSprite::~hgeSprite() {
  if (m_hge) m_hge->Release();
}

void hgeSprite::CopyState(const hgeSprite& other) {
  m_quad = other.m_quad;
  m_texX = other.m_texX;
  m_texY = other.m_texY;
  m_texW = other.m_texW;
  m_texH = other.m_texH;
  m_width = other.m_width;
  m_height = other.m_height;
  m_hotX = other.m_hotX;
  m_hotY = other.m_hotY;
  m_texWidth = other.m_texWidth;
  m_texHeight = other.m_texHeight;
}

void hgeSprite::SetTexture(HTEXTURE tex) {
  m_quad.tex = tex;
  int w = 0, h = 0;
  if (tex && m_hge) {
    w = m_hge->Texture_GetWidth(tex);
    h = m_hge->Texture_GetHeight(tex);
  }
  // Without a usable texture the coordinates are texel numbers over 1, as good as any.
  m_texWidth = w > 0 ? static_cast<float>(w) : 1.0f;
  m_texHeight = h > 0 ? static_cast<float>(h) : 1.0f;
  UpdateTexCoords();
}

void hgeSprite::SetTextureRect(float x, float y, float w, float h, bool adjSize) {
  m_texX = x;
  m_texY = y;
  m_texW = w;
  m_texH = h;
  if (adjSize) {
    m_width = w;
    m_height = h;
  }
  UpdateTexCoords();
}

void hgeSprite::UpdateTexCoords() {
  const float u0 = m_texX / m_texWidth, v0 = m_texY / m_texHeight;
  const float u1 = (m_texX + m_texW) / m_texWidth, v1 = (m_texY + m_texH) / m_texHeight;
  m_quad.v[0].tx = u0; m_quad.v[0].ty = v0;
  m_quad.v[1].tx = u1; m_quad.v[1].ty = v0;
  m_quad.v[2].tx = u1; m_quad.v[2].ty = v1;
  m_quad.v[3].tx = u0; m_quad.v[3].ty = v1;
}

void hgeSprite::GetTextureRect(float* x, float* y, float* w, float* h) const {
  if (x) *x = m_texX;
  if (y) *y = m_texY;
  if (w) *w = m_texW;
  if (h) *h = m_texH;
}

void hgeSprite::SetColor(std::uint32_t col, int i) {
  if (i == -1) {
    for (hgeVertex& v : m_quad.v) v.col = col;
  } else if (i >= 0 && i < kCorners) {
    m_quad.v[i].col = col;
  }
}

std::uint32_t hgeSprite::GetColor(int i) const {
  return (i >= 0 && i < kCorners) ? m_quad.v[i].col : 0;
}

void hgeSprite::SetZ(float z, int i) {
  if (i == -1) {
    for (hgeVertex& v : m_quad.v) v.z = z;
  } else if (i >= 0 && i < kCorners) {
    m_quad.v[i].z = z;
  }
}

void hgeSprite::SetBlendMode(int blend) { m_quad.blend = blend; }

void hgeSprite::SetHotSpot(float x, float y) {
  m_hotX = x;
  m_hotY = y;
}

void hgeSprite::GetHotSpot(float* x, float* y) const {
  if (x) *x = m_hotX;
  if (y) *y = m_hotY;
}

void hgeSprite::RenderCorners(const float xs[4], const float ys[4]) {
  if (!m_hge) return;
  for (int i = 0; i < kCorners; ++i) {
    m_quad.v[i].x = xs[i];
    m_quad.v[i].y = ys[i];
  }
  m_hge->Gfx_RenderQuad(&m_quad);
}

void hgeSprite::Render(float x, float y) {
  const float x1 = x - m_hotX, y1 = y - m_hotY;
  const float x2 = x1 + m_width, y2 = y1 + m_height;
  const float xs[4] = {x1, x2, x2, x1};
  const float ys[4] = {y1, y1, y2, y2};
  RenderCorners(xs, ys);
}

void hgeSprite::RenderEx(float x, float y, float rot, float hscale, float vscale) {
  if (vscale == 0.0f) vscale = hscale;
  const float l = -m_hotX * hscale, t = -m_hotY * vscale;
  const float r = (m_width - m_hotX) * hscale, b = (m_height - m_hotY) * vscale;
  const float lx[4] = {l, r, r, l};
  const float ly[4] = {t, t, b, b};
  float xs[4], ys[4];
  const float c = std::cos(rot), s = std::sin(rot);
  for (int i = 0; i < kCorners; ++i) {
    xs[i] = lx[i] * c - ly[i] * s + x;
    ys[i] = lx[i] * s + ly[i] * c + y;
  }
  RenderCorners(xs, ys);
}

void hgeSprite::RenderStretch(float x1, float y1, float x2, float y2) {
  const float xs[4] = {x1, x2, x2, x1};
  const float ys[4] = {y1, y1, y2, y2};
  RenderCorners(xs, ys);
}

void hgeSprite::Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3,
                         float y3) {
  const float xs[4] = {x0, x1, x2, x3};
  const float ys[4] = {y0, y1, y2, y3};
  RenderCorners(xs, ys);
}
