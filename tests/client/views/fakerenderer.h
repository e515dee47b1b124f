#pragma once
// A renderer that records what it is asked to do, with textures held in plain memory.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/render/hge.h"

struct ClipCall {
  int x, y, w, h;
};

class FakeRenderer final : public HGE {
 public:
  struct Texture {
    int width = 0;
    int height = 0;
    int rowWidth = 0;  // padded like a real device may do
    std::vector<std::uint32_t> pixels;
    int locks = 0;
    int unlocks = 0;
  };

  FakeRenderer();   // installs itself as the hgeCreate device
  ~FakeRenderer() override;

  void Release() override;
  float Timer_GetDelta() override { return delta; }
  void Gfx_SetClipping(int x, int y, int w, int h) override;
  void Gfx_RenderQuad(const hgeQuad* quad) override;
  void Gfx_RenderLine(float, float, float, float, std::uint32_t) override {}
  HTEXTURE Texture_Create(int width, int height) override;
  HTEXTURE Texture_Load(const char*) override { return 0; }
  void Texture_Free(HTEXTURE tex) override;
  int Texture_GetWidth(HTEXTURE tex, bool original) override;
  int Texture_GetHeight(HTEXTURE tex, bool original) override;
  std::uint32_t* Texture_Lock(HTEXTURE tex, bool readOnly, int left, int top, int width,
                              int height) override;
  void Texture_Unlock(HTEXTURE tex) override;
  void* System_GetWindowHandle() override { return nullptr; }

  const Texture* Find(HTEXTURE tex) const;
  std::size_t LiveTextures() const { return textures.size(); }

  float delta = 0.0f;
  int failCreates = 0;  // the next this many Texture_Create calls fail
  int rowPadding = 16;  // rows are rounded up to a multiple of this many pixels
  int creates = 0;
  int frees = 0;
  int releases = 0;
  std::vector<hgeQuad> quads;
  std::vector<ClipCall> clips;
  std::vector<std::string>* events = nullptr;  // optional shared order log

 private:
  std::map<HTEXTURE, Texture> textures;
  HTEXTURE next = 1;
};
