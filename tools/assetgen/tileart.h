#pragma once
// The candidate tile card, its sale-status ribbons and the like controls.
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintTiles(const ArtContext& ctx, AssetWriter& out);
