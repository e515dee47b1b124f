#pragma once
// Button strips: four frames side by side (normal, hover, pressed, disabled).
#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"

void PaintButtons(const ArtContext& ctx, AssetWriter& out);
