#pragma once
// Player face pictures shown on the player card (scaled to 81 x 81).
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintFaces(const ArtContext& ctx, AssetWriter& out);
