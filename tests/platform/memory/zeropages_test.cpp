#include "platform/memory/zeropages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

namespace {

using plat::ZeroPages;

TEST(ZeroPages, ZeroFilledWritableAndOwnedByOneObjectAtATime) {
  constexpr std::size_t kBytes = 3 * 4096 + 17;
  ZeroPages pages(kBytes);
  ASSERT_NE(pages.Data(), nullptr);
  EXPECT_EQ(pages.Size(), kBytes);
  auto* bytes = static_cast<std::uint8_t*>(pages.Data());
  for (std::size_t i = 0; i < kBytes; ++i) ASSERT_EQ(bytes[i], 0) << i;
  bytes[kBytes - 1] = 0xAB;

  ZeroPages moved(std::move(pages));
  EXPECT_EQ(pages.Data(), nullptr);
  EXPECT_EQ(pages.Size(), 0u);
  ASSERT_EQ(moved.Data(), bytes);
  EXPECT_EQ(bytes[kBytes - 1], 0xAB);

  ZeroPages other(64);
  other = std::move(moved);  // the old block of `other` is given back
  EXPECT_EQ(other.Data(), bytes);
  EXPECT_EQ(moved.Data(), nullptr);
}

TEST(ZeroPages, NothingForZeroOrImpossibleSizes) {
  EXPECT_EQ(ZeroPages(0).Data(), nullptr);
  EXPECT_EQ(ZeroPages(SIZE_MAX).Data(), nullptr);
  EXPECT_EQ(ZeroPages(SIZE_MAX).Size(), 0u);
}

}  // namespace
