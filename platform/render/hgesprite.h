#pragma once
// A textured rectangle drawn through the device that hgeCreate returns (HGE style).
//
// Callers may rely on: the sprite holds one device reference for its lifetime (copies hold
// their own); the texture rectangle is in texel pixels and is kept when the texture changes
// (texture coordinates follow the new texture's size); colours are ARGB per corner
// (0 top-left, 1 top-right, 2 bottom-right, 3 bottom-left), all 0xFFFFFFFF at start; the hot
// spot (0, 0 by default) is the point placed at (x, y) and the centre of rotation.
// With no device (bad version or no renderer) every call is safe and draws nothing.
#include "platform/render/hge.h"

class hgeSprite {
 public:
  hgeSprite(HTEXTURE tex, float x, float y, float w, float h);
  hgeSprite(const hgeSprite& other);
  hgeSprite& operator=(const hgeSprite& other);
  ~hgeSprite();

  void Render(float x, float y);
  // rot in radians, clockwise on screen; vscale 0 means the same as hscale.
  void RenderEx(float x, float y, float rot, float hscale = 1.0f, float vscale = 0.0f);
  void RenderStretch(float x1, float y1, float x2, float y2);
  void Render4V(float x0, float y0, float x1, float y1, float x2, float y2, float x3, float y3);

  void SetTexture(HTEXTURE tex);
  // adjSize: also make the drawn size w x h.
  void SetTextureRect(float x, float y, float w, float h, bool adjSize = true);
  void SetColor(std::uint32_t col, int i = -1);  // i = -1: all four corners; other out of range: ignored
  void SetZ(float z, int i = -1);
  void SetBlendMode(int blend);
  void SetHotSpot(float x, float y);

  HTEXTURE GetTexture() const { return m_quad.tex; }
  void GetTextureRect(float* x, float* y, float* w, float* h) const;
  std::uint32_t GetColor(int i = 0) const;  // out of range: 0
  int GetBlendMode() const { return m_quad.blend; }
  void GetHotSpot(float* x, float* y) const;
  float GetWidth() const { return m_width; }
  float GetHeight() const { return m_height; }

 private:
  void CopyState(const hgeSprite& other);
  void UpdateTexCoords();
  void RenderCorners(const float xs[4], const float ys[4]);

  HGE* m_hge = nullptr;
  hgeQuad m_quad{};
  float m_texX = 0, m_texY = 0, m_texW = 0, m_texH = 0;  // texture rectangle in texels
  float m_width = 0, m_height = 0;                       // drawn size
  float m_hotX = 0, m_hotY = 0;
  float m_texWidth = 1, m_texHeight = 1;  // texture size used for the coordinates
};
