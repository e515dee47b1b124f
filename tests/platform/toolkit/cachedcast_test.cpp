// The toolkit's remembered casts answer what dynamic_cast answers, for every type and base.
#include <gtest/gtest.h>

#include "platform/toolkit/cachedcast.h"

namespace {

struct Base {
  virtual ~Base() = default;
  int base = 0;
};
struct Other {
  virtual ~Other() = default;
  int other = 0;
};
struct Window : Base {
  int window = 0;
};
struct Panel : Window {};
// Two bases: a pointer to the second one sits away from the start of the object.
struct Mixed : Other, Window {};
struct Plain : Base {};
// Two Base subobjects: the same type, but the answer depends on which one is pointed at.
struct Left : Base {};
struct Right : Base {};
struct Twice : Left, Right {};

TEST(CachedCast, AnswersAsDynamicCastForEachTypeAndPlaceAndKeepsDoingSo) {
  Window window;
  Panel panel;
  Mixed mixed;
  Plain plain;
  Twice twice;
  Base* const pointers[] = {&window, &panel, static_cast<Window*>(&mixed), &plain,
                            static_cast<Left*>(&twice), static_cast<Right*>(&twice)};
  for (int round = 0; round < 3; ++round) {  // the first round fills the memory, later ones use it
    for (Base* p : pointers) {
      EXPECT_EQ(plat::CachedCast<Window>(p), dynamic_cast<Window*>(p));
      EXPECT_EQ(plat::CachedCast<Other>(p), dynamic_cast<Other*>(p));
      EXPECT_EQ(plat::CachedCast<Left>(p), dynamic_cast<Left*>(p));
      EXPECT_EQ(plat::CachedCast<Right>(p), dynamic_cast<Right*>(p));
    }
  }
  EXPECT_NE(plat::CachedCast<Other>(static_cast<Base*>(static_cast<Window*>(&mixed))), nullptr);
  EXPECT_EQ(plat::CachedCast<Window>(static_cast<Base*>(nullptr)), nullptr);
}

}  // namespace
