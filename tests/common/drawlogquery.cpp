#include "tests/common/drawlogquery.h"

namespace testutil {

bool SameColor(const gcn::Color& a, const gcn::Color& b) {
  return a.r == b.r && a.g == b.g && a.b == b.b && a.a == b.a;
}

bool EndsWith(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() && text.compare(text.size() - suffix.size(), suffix.size(), suffix) == 0;
}

DrawLog OfKind(const DrawLog& log, plat::DrawRecord::Kind kind) {
  DrawLog out;
  for (const plat::DrawRecord& r : log) {
    if (r.kind == kind) out.push_back(r);
  }
  return out;
}

DrawLog Images(const DrawLog& log, const std::string& suffix) {
  DrawLog out;
  for (const plat::DrawRecord& r : log) {
    if (r.kind == plat::DrawRecord::Image && EndsWith(r.what, suffix)) out.push_back(r);
  }
  return out;
}

}  // namespace testutil
