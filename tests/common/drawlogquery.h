#pragma once
// Questions the view tests ask of a draw log.
#include <string>
#include <vector>

#include <guichan/color.hpp>

#include "platform/toolkit/drawlog.h"

namespace testutil {

using DrawLog = std::vector<plat::DrawRecord>;

bool SameColor(const gcn::Color& a, const gcn::Color& b);
bool EndsWith(const std::string& text, const std::string& suffix);
DrawLog OfKind(const DrawLog& log, plat::DrawRecord::Kind kind);
// Image records whose path ends with `suffix`.
DrawLog Images(const DrawLog& log, const std::string& suffix);

}  // namespace testutil
