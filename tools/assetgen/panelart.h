#pragma once
// The buy panel's small parts: edit field frame, digit strips, time caption.
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintBuyPanelParts(const ArtContext& ctx, AssetWriter& out);
