#pragma once
// Window backgrounds: message box, sales history, description callouts,
// rule picture and the message view's scroll bar skin.
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintWindows(const ArtContext& ctx, AssetWriter& out);
