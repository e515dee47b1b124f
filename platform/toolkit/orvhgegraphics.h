#pragma once
// guichan graphics drawing through the HGE interface (hgeCreate(HGE_VERSION)).
//
// Callers may rely on:
//  - every operation takes widget-local coordinates like guichan's (the offset of the current
//    clip area is added); the clip area is also the renderer's clip, and while it is empty
//    nothing is drawn;
//  - _beginDraw pushes a clip area of the whole screen, _endDraw pops it and resets the clip;
//  - colours are gcn::Color (r, g, b, a); images are drawn in their own colours (white
//    vertex colour) with alpha blending;
//  - a null or invalid image draws nothing; a source rectangle is cut to the image;
//  - rotation is in radians, clockwise, around the image's top-left corner at (x, y); a
//    vertical scale of 0 means "same as the horizontal one";
//  - with no device (nullptr from hgeCreate) every call is safe and draws nothing.
#include <cstdint>

#include <guichan/cliprectangle.hpp>
#include <guichan/color.hpp>
#include <guichan/graphics.hpp>
#include <guichan/rectangle.hpp>

#include "platform/render/hge.h"
#include "platform/toolkit/drawlog.h"

class OrvHgeImage;

class OrvHgeGraphics : public gcn::Graphics {
 public:
  static constexpr int kDefaultScreenWidth = 1280;
  static constexpr int kDefaultScreenHeight = 720;

  OrvHgeGraphics();                   // the current device (one hgeCreate reference held)
  explicit OrvHgeGraphics(HGE* hge);  // a given device, kept alive by the caller
  ~OrvHgeGraphics() override;
  OrvHgeGraphics(const OrvHgeGraphics&) = delete;
  OrvHgeGraphics& operator=(const OrvHgeGraphics&) = delete;

  void SetScreenSize(int width, int height);
  HGE* Hge() const { return m_hge; }

  // gcn::Graphics
  void _beginDraw() override;
  void _endDraw() override;
  bool pushClipArea(gcn::Rectangle area) override;
  void popClipArea() override;
  using gcn::Graphics::drawImage;
  // guichan images are not used by this toolkit: draws nothing.
  void drawImage(const gcn::Image* image, int srcX, int srcY, int dstX, int dstY, int width,
                 int height) override;
  void drawPoint(int x, int y) override;
  void drawLine(int x1, int y1, int x2, int y2) override;
  void drawRectangle(const gcn::Rectangle& rectangle) override;
  void fillRectangle(const gcn::Rectangle& rectangle) override;
  void setColor(const gcn::Color& color) override;
  const gcn::Color& getColor() const override { return m_color; }

  // The frame's image operations.
  void drawImage(const OrvHgeImage* img, int x, int y);
  void drawImage(const OrvHgeImage* img, int width, int height, int srcX, int srcY, float x,
                 float y);
  void drawImageEx(const OrvHgeImage* img, int x, int y, float rotation, float hscale,
                   float vscale);
  void drawImageRect(const OrvHgeImage* img, int x, int y, int width, int height, int srcX,
                     int srcY, float hscale, float vscale);

  // A rectangle with one colour per corner: top-left, top-right, bottom-right, bottom-left.
  void fillGradient(const gcn::Rectangle& rectangle, const gcn::Color& topLeft,
                    const gcn::Color& topRight, const gcn::Color& bottomRight,
                    const gcn::Color& bottomLeft);

  // For text drawing: a quad in widget-local coordinates, offset and clipped like the rest.
  // Returns false when nothing could be drawn (no device or empty clip area).
  bool RenderLocalQuad(hgeQuad quad);
  bool IsClipEmpty() const;
  // Screen position of a widget-local point.
  int ScreenX(int localX) const;
  int ScreenY(int localY) const;
  // Whether a screen rectangle lies wholly outside the current clip area.
  bool IsOutsideClip(int screenX, int screenY, int w, int h) const;

  static std::uint32_t ToArgb(const gcn::Color& color);

 private:
  struct ImageDraw;
  void DrawImagePart(const OrvHgeImage* img, const ImageDraw& d);
  void ApplyClip();
  void FillScreenRect(float x0, float y0, float x1, float y1, std::uint32_t argb);
  const gcn::ClipRectangle* Top() const;
  void Record(plat::DrawRecord record, int w, int h) const;

  HGE* m_hge = nullptr;
  bool m_ownsRef = false;
  bool m_clipEmpty = false;
  int m_screenW = kDefaultScreenWidth;
  int m_screenH = kDefaultScreenHeight;
  gcn::Color m_color{255, 255, 255, 255};
};

// The frame's graphics object behind a gcn::Graphics pointer; nullptr for null or another kind.
OrvHgeGraphics* ToOrvGraphics(gcn::Graphics* g);
