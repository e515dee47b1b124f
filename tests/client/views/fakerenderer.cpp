#include "tests/client/views/fakerenderer.h"

FakeRenderer::FakeRenderer() { plat::SetHgeOverride(this); }

FakeRenderer::~FakeRenderer() { plat::SetHgeOverride(nullptr); }

void FakeRenderer::Release() {
  ++releases;
  if (events) events->push_back("release");
}

void FakeRenderer::Gfx_SetClipping(int x, int y, int w, int h) { clips.push_back({x, y, w, h}); }

void FakeRenderer::Gfx_RenderQuad(const hgeQuad* quad) { quads.push_back(*quad); }

HTEXTURE FakeRenderer::Texture_Create(int width, int height) {
  ++creates;
  if (failCreates > 0) {
    --failCreates;
    return 0;
  }
  if (width <= 0 || height <= 0) return 0;
  Texture t;
  t.width = width;
  t.height = height;
  t.rowWidth = (width + rowPadding - 1) / rowPadding * rowPadding;
  t.pixels.assign(static_cast<std::size_t>(t.rowWidth) * height, 0u);
  const HTEXTURE h = next++;
  textures[h] = std::move(t);
  return h;
}

void FakeRenderer::Texture_Free(HTEXTURE tex) {
  if (textures.erase(tex)) ++frees;
  if (events) events->push_back("free");
}

int FakeRenderer::Texture_GetWidth(HTEXTURE tex, bool original) {
  const Texture* t = Find(tex);
  return t ? (original ? t->width : t->rowWidth) : 0;
}

int FakeRenderer::Texture_GetHeight(HTEXTURE tex, bool) {
  const Texture* t = Find(tex);
  return t ? t->height : 0;
}

std::uint32_t* FakeRenderer::Texture_Lock(HTEXTURE tex, bool, int left, int top, int, int) {
  auto it = textures.find(tex);
  if (it == textures.end()) return nullptr;
  ++it->second.locks;
  return it->second.pixels.data() + static_cast<std::size_t>(top) * it->second.rowWidth + left;
}

void FakeRenderer::Texture_Unlock(HTEXTURE tex) {
  auto it = textures.find(tex);
  if (it != textures.end()) ++it->second.unlocks;
}

const FakeRenderer::Texture* FakeRenderer::Find(HTEXTURE tex) const {
  auto it = textures.find(tex);
  return it == textures.end() ? nullptr : &it->second;
}
