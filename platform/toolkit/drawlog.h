#pragma once
// Optional record of every draw of the toolkit, for tests of the views.
//
// Callers may rely on: while a log is set, each image, text, line and rectangle drawn through
// OrvHgeGraphics or OrvHgeFont appends one record, also when the clip area hides it (then
// `clipped` is true). Coordinates are screen pixels:
//  - Image: what = the path given to OrvHgeImage; (x, y) = where the image's top-left goes;
//    (w, h) = source rectangle size, (srcX, srcY) its origin; hscale, vscale, rotation.
//  - Text:  what = the text in UTF-8; (x, y) = top-left of the text after alignment;
//    w = its width, h = the font height; color = the font colour.
//  - Line:  from (x, y) to (x + w, y + h); color.
//  - Rect:  (x, y, w, h); filled tells fillRectangle from drawRectangle; color.
#include <string>
#include <vector>

#include <guichan/color.hpp>

namespace plat {

struct DrawRecord {
  enum Kind { Image, Text, Line, Rect } kind = Image;
  std::string what;
  int x = 0, y = 0;
  int w = 0, h = 0, srcX = 0, srcY = 0;
  gcn::Color color;
  float hscale = 1.0f, vscale = 1.0f;
  float rotation = 0.0f;
  bool filled = false;
  bool clipped = false;
};

void SetDrawLog(std::vector<DrawRecord>* log);  // nullptr stops recording
std::vector<DrawRecord>* GetDrawLog();
// Appends when a log is set.
void RecordDraw(DrawRecord record);

// Sets a log for one scope (tests).
class ScopedDrawLog {
 public:
  explicit ScopedDrawLog(std::vector<DrawRecord>* log);
  ~ScopedDrawLog();
  ScopedDrawLog(const ScopedDrawLog&) = delete;
  ScopedDrawLog& operator=(const ScopedDrawLog&) = delete;

 private:
  std::vector<DrawRecord>* m_previous;
};

}  // namespace plat
