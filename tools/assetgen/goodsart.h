#pragma once
// The twelve goods pictures of the catalogue, 290 x 240 each.
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintGoods(const ArtContext& ctx, AssetWriter& out);
