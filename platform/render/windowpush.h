#pragma once
// Pushing a fixed-size game picture into a window of any size, one changed rectangle at a time.
// The picture is scaled bilinearly into its letterbox; each window pixel is computed from the
// whole-picture transform, so a rectangle scaled alone comes out exactly as in a full scale
// (no seams at its edges), and the window pixels a changed game rectangle reaches are known.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/render/dirtyregion.h"
#include "platform/render/letterbox.h"

namespace plat {

class ScaleMap {
 public:
  // Game picture of gameW x gameH shown at boxW x boxH.
  void Build(int gameW, int gameH, int boxW, int boxH);
  bool Matches(int gameW, int gameH, int boxW, int boxH) const {
    return gameW == m_gameW && gameH == m_gameH && boxW == BoxWidth() && boxH == BoxHeight();
  }
  int BoxWidth() const { return static_cast<int>(m_x.size()); }
  int BoxHeight() const { return static_cast<int>(m_y.size()); }
  bool Identity() const { return m_gameW == BoxWidth() && m_gameH == BoxHeight(); }

  // Box pixels (box coordinates) whose value depends on some game pixel of r.
  IRect Cover(const IRect& r) const;
  // Computes the box pixels of r (box coordinates, inside the box) from the game picture.
  // dst points at the box's top left pixel. Uses scratch rows of the map: one thread at a time.
  void Scale(const std::uint32_t* src, std::size_t srcPitch, std::uint32_t* dst,
             std::size_t dstPitch, const IRect& r) const;

 private:
  // A box pixel blends game pixels i0 and i1 = i0 + 1 (or i0 alone) with weight f / 256 of i1.
  struct Tap {
    int i0;
    int i1;
    std::uint32_t f;
  };
  static void BuildAxis(int game, int box, std::vector<Tap>& taps);
  static void CoverAxis(const std::vector<Tap>& taps, int g0, int g1, int* a, int* b);

  int m_gameW = 0;
  int m_gameH = 0;
  std::vector<Tap> m_x, m_y;
  mutable std::vector<std::uint32_t> m_rows[2];  // game rows scaled across
};

// What to push into the window after a frame: the window rectangles the frame's changed game
// rectangles reach, or the whole window (bars included) when the window is new, resized,
// exposed or was skipped; nothing when nothing changed or the window shows nothing.
class PushPlanner {
 public:
  // The next plan covers the whole window.
  void Invalidate() { m_invalid = true; }
  // False when there is nothing to push.
  bool Plan(int gameW, int gameH, int windowW, int windowH, const std::vector<IRect>& changed);
  bool Full() const { return m_full; }
  // Window coordinates, inside the window.
  const std::vector<IRect>& Rects() const { return m_rects; }
  const Letterbox& Box() const { return m_box; }
  const ScaleMap& Map() const { return m_map; }

 private:
  bool m_invalid = true;
  bool m_full = false;
  int m_windowW = -1, m_windowH = -1;
  Letterbox m_box;
  ScaleMap m_map;
  std::vector<IRect> m_rects;
};

// Paints the window outside the box black. dst is the window's top left pixel.
void FillBars(std::uint32_t* dst, std::size_t dstPitch, int windowW, int windowH,
              const Letterbox& box);

}  // namespace plat
