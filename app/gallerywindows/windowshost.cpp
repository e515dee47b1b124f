#include "app/gallerywindows/windowshost.h"

#include "client/views/gamerule.h"
#include "client/views/goodsdescription.h"
#include "client/views/sellrecord.h"

namespace gallerywindows {

WindowsHost::~WindowsHost() {
  remove(&GetSellRecord());
  remove(&GetGameRule());
}

void WindowsHost::InitResource() {
  InitScene();
  GetGoodsDescription().InitResource();
  GetSellRecord().Create();
  Place(&GetSellRecord());
  GetGameRule().Create();
  Place(&GetGameRule());
}

void WindowsHost::draw(gcn::Graphics* g) {
  TileHost::draw(g);
  GetGoodsDescription().Draw(g);
}

}  // namespace gallerywindows
