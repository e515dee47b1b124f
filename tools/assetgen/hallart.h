#pragma once
// The auction hall background, 1280 x 720, with calm areas for everything
// the game draws over it.
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintHall(const ArtContext& ctx, AssetWriter& out);
