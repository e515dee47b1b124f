#pragma once
// Fake renderer and fake rasteriser installed for the length of one test.
#include <gtest/gtest.h>

#include "tests/client/views/fakerasterizer.h"
#include "tests/client/views/fakerenderer.h"

class FontFixture : public ::testing::Test {
 protected:
  void SetUp() override { FakeRasterizer::Install(); }
  void TearDown() override { FakeRasterizer::Uninstall(); }

  FakeRasterizer::Config& raster() { return FakeRasterizer::Settings(); }

  FakeRenderer hge;
};
