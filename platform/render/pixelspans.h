#pragma once
// The rows of an ARGB image cut into runs worth drawing: fully transparent stretches are left
// out and each run says whether it is fully opaque (a plain copy) or must be blended. Short
// stretches between blended pixels are folded into the blended run: blending an opaque or a
// transparent pixel gives exactly what copying or skipping it would, and one longer loop beats
// many short ones.
#include <cstdint>
#include <vector>

namespace plat {

class PixelSpans {
 public:
  struct Run {
    std::uint16_t x0;  // first pixel
    std::uint16_t x1;  // one past the last pixel
    bool opaque;       // every pixel has alpha 255
  };
  // Stretches shorter than this between blended runs are blended too.
  static constexpr int kMergeGap = 8;
  // Widest row the runs can describe.
  static constexpr int kMaxWidth = 65535;

  PixelSpans() = default;
  // pixels: w * h ARGB values, rows pitch pixels apart. Nothing is kept for w > kMaxWidth.
  void Build(const std::uint32_t* pixels, int w, int h, int pitch);
  void Clear();

  int Height() const { return static_cast<int>(m_rowStart.empty() ? 0 : m_rowStart.size() - 1); }
  const Run* RowBegin(int y) const { return m_runs.data() + m_rowStart[y]; }
  const Run* RowEnd(int y) const { return m_runs.data() + m_rowStart[y + 1]; }
  // Row y's runs are Runs() + RowStarts()[y] up to Runs() + RowStarts()[y + 1].
  const Run* Runs() const { return m_runs.data(); }
  const std::uint32_t* RowStarts() const { return m_rowStart.data(); }
  // Every pixel has alpha 255 (false for an empty image).
  bool AllOpaque() const { return m_allOpaque; }

 private:
  std::vector<Run> m_runs;
  std::vector<std::uint32_t> m_rowStart;  // Height() + 1 offsets into m_runs
  bool m_allOpaque = false;
};

}  // namespace plat
