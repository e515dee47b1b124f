// Validity queries answer from the registry of live objects, also for an address whose object
// is gone and for a class and its base sharing one address.
#include <gtest/gtest.h>

#include <memory>

#include "platform/frame/gameframedlg.h"
#include "platform/frame/gameframeview.h"
#include "platform/frame/livemark.h"

namespace {

struct Base {
  plat::LiveMark<Base> live{this};
};
struct Derived : Base {
  plat::LiveMark<Derived> live{this};
};

class NullView : public CGameFrameView {
 public:
  NullView() : CGameFrameView(true, 1) {}
  void ResetGameView() override {}
  void RectifyGameView(int, int) override {}
  void DrawGameView(gcn::Graphics*, int, int) override {}
  bool IsValid() const override { return true; }
};

class NullDialog : public CGameFrameDlg {
 public:
  explicit NullDialog(CGameFrameView* view) : CGameFrameDlg(view) {}
  bool OnGameMessage(std::uint16_t, const void*, std::uint16_t) override { return false; }
  bool OnGameScene(std::uint8_t, bool, const void*, std::uint16_t) override { return false; }
};

TEST(LiveMark, AnObjectIsLiveFromConstructionToDestructionOnly) {
  auto d = std::make_unique<Derived>();
  const Derived* address = d.get();
  EXPECT_TRUE(plat::LiveMark<Derived>::IsLive(address));
  EXPECT_TRUE(plat::LiveMark<Base>::IsLive(address));
  EXPECT_FALSE(plat::LiveMark<Derived>::IsLive(nullptr));

  // Same address, two kinds: the base alone is not taken for the derived object.
  d->~Derived();
  EXPECT_FALSE(plat::LiveMark<Derived>::IsLive(address));
  EXPECT_FALSE(plat::LiveMark<Base>::IsLive(address));
  Base* b = new (d.get()) Base;
  EXPECT_TRUE(plat::LiveMark<Base>::IsLive(address));
  EXPECT_FALSE(plat::LiveMark<Derived>::IsLive(address));
  b->~Base();
  new (d.get()) Derived;  // for the unique_ptr's own destruction
}

TEST(LiveMark, TheDialogsValidityFollowsItsLife) {
  NullView view;
  std::unique_ptr<CGameFrameDlg> dlg = std::make_unique<NullDialog>(&view);
  EXPECT_TRUE(dlg->IsValid());
  const CGameFrameDlg* address = dlg.get();
  dlg.reset();
  EXPECT_FALSE(plat::LiveMark<CGameFrameDlg>::IsLive(address));
}

}  // namespace
