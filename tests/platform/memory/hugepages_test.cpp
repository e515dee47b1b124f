// When the game starts itself again for a heap on huge pages, and with what setting.
#include <gtest/gtest.h>

#include "platform/memory/hugepages.h"

namespace {

using plat::HugePageHeapTunables;

TEST(HugePageHeap, AskedForOnlyWhenTheKernelGivesHugePages) {
  EXPECT_EQ(HugePageHeapTunables("always [madvise] never\n", nullptr), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(HugePageHeapTunables("[always] madvise never\n", nullptr), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(HugePageHeapTunables("always madvise [never]\n", nullptr), "");
  EXPECT_EQ(HugePageHeapTunables(nullptr, nullptr), "");  // no such file: an older kernel
  EXPECT_EQ(HugePageHeapTunables("", nullptr), "");
}

TEST(HugePageHeap, KeepsOtherTunablesAndNeverOverridesTheUsersChoice) {
  const char* thp = "always [madvise] never";
  EXPECT_EQ(HugePageHeapTunables(thp, ""), "glibc.malloc.hugetlb=1");
  EXPECT_EQ(HugePageHeapTunables(thp, "glibc.malloc.check=3"),
            "glibc.malloc.check=3:glibc.malloc.hugetlb=1");
  // Set already (by the user, or by this program's first start): no second start.
  EXPECT_EQ(HugePageHeapTunables(thp, "glibc.malloc.hugetlb=0"), "");
  EXPECT_EQ(HugePageHeapTunables(thp, "glibc.malloc.check=3:glibc.malloc.hugetlb=1"), "");
}

}  // namespace
