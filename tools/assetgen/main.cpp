// velmora-assetgen --out DIR: draws the game's images and writes its goods
// configuration under DIR (the repository's assets/ folder).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include "tools/assetgen/artcontext.h"
#include "tools/assetgen/assetwriter.h"
#include "tools/assetgen/buttonart.h"
#include "tools/assetgen/faceart.h"
#include "tools/assetgen/goodsart.h"
#include "tools/assetgen/goodscatalogue.h"
#include "tools/assetgen/hallart.h"
#include "tools/assetgen/panelart.h"
#include "tools/assetgen/tileart.h"
#include "tools/assetgen/windowart.h"

namespace {
int Usage() {
  std::fprintf(stderr, "usage: velmora-assetgen --out DIR [--quiet]\n");
  return 2;
}
}  // namespace

int main(int argc, char** argv) {
  std::string root;
  bool quiet = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--out") == 0 && i + 1 < argc) {
      root = argv[++i];
    } else if (std::strcmp(argv[i], "--quiet") == 0) {
      quiet = true;
    } else {
      return Usage();
    }
  }
  if (root.empty()) return Usage();
  const auto start = std::chrono::steady_clock::now();
  try {
    const ArtContext ctx;
    AssetWriter out(root);
    PaintHall(ctx, out);
    PaintButtons(ctx, out);
    PaintBuyPanelParts(ctx, out);
    PaintTiles(ctx, out);
    PaintWindows(ctx, out);
    PaintGoods(ctx, out);
    PaintFaces(ctx, out);
    WriteGoodsConfig(ctx, out);
    const double secs = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!quiet) {
      for (const AssetRecord& r : out.Records())
        std::printf("%-48s %5d x %-4d %s\n", r.path.c_str(), r.width, r.height, r.layout.c_str());
    }
    std::printf("velmora-assetgen: %zu files in %.2f s\n", out.Records().size(), secs);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "velmora-assetgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
