#include <gtest/gtest.h>

#include <stdexcept>

#include "include/datapool.h"

namespace {

struct Tracked {
  static int alive;
  static int deleted;
  bool throwOnDelete = false;
  Tracked() { ++alive; }
  ~Tracked() noexcept(false) {
    --alive;
    ++deleted;
    if (throwOnDelete) throw std::runtime_error("bad object");
  }
};
int Tracked::alive = 0;
int Tracked::deleted = 0;

class DataPoolTest : public ::testing::Test {
 protected:
  void SetUp() override { Tracked::alive = Tracked::deleted = 0; }
};

}  // namespace

TEST_F(DataPoolTest, MostRecentlyReturnedIsReusedFirst) {
  CDataPool<Tracked> pool;
  Tracked* a = pool.AllocItem();
  Tracked* b = pool.AllocItem();
  EXPECT_NE(a, b);
  pool.FreeItem(a);
  pool.FreeItem(b);
  EXPECT_EQ(pool.AllocItem(), b);
  EXPECT_EQ(pool.AllocItem(), a);
  EXPECT_EQ(pool.GetCreatedCount(), 2u);
  // Empty again: a third allocation creates a new object.
  Tracked* c = pool.AllocItem();
  EXPECT_EQ(pool.GetCreatedCount(), 3u);
  pool.FreeItem(a);
  pool.FreeItem(b);
  pool.FreeItem(c);
}

TEST_F(DataPoolTest, DestructorDeletesOnlyWhatThePoolHolds) {
  Tracked* kept = nullptr;
  {
    CDataPool<Tracked> pool;
    Tracked* a = pool.AllocItem();
    Tracked* b = pool.AllocItem();
    kept = pool.AllocItem();
    pool.FreeItem(a);
    pool.FreeItem(b);
    EXPECT_EQ(Tracked::alive, 3);
  }
  EXPECT_EQ(Tracked::deleted, 2);
  EXPECT_EQ(Tracked::alive, 1);
  delete kept;
}

TEST_F(DataPoolTest, AFailingDeleteDoesNotStopTheOthers) {
  {
    CDataPool<Tracked> pool;
    Tracked* items[3] = {pool.AllocItem(), pool.AllocItem(), pool.AllocItem()};
    items[1]->throwOnDelete = true;
    for (Tracked* t : items) pool.FreeItem(t);
  }
  EXPECT_EQ(Tracked::deleted, 3);
  EXPECT_EQ(Tracked::alive, 0);
}

TEST_F(DataPoolTest, NullAndDoubleReturnsAreRefused) {
  CDataPool<Tracked> pool;
  Tracked* a = pool.AllocItem();
  pool.FreeItem(nullptr);
  pool.FreeItem(a);
  pool.FreeItem(a);
  EXPECT_EQ(pool.GetFreeCount(), 1u);
  EXPECT_EQ(pool.AllocItem(), a);
  Tracked* b = pool.AllocItem();  // a new object, not a null or a second a
  EXPECT_NE(b, nullptr);
  EXPECT_NE(b, a);
  EXPECT_EQ(pool.GetCreatedCount(), 2u);
  pool.FreeItem(a);
  pool.FreeItem(b);
}
