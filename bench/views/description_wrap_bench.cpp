// The description callout's wrap on a 2000-character description: the prefix-sum wrap of
// CGoodsDescription::WrapText against the reference rule that shortens the whole remaining
// text one character at a time, measuring every prefix. Both must give the same lines.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "client/views/goodsdescription.h"
#include "platform/render/renderdevice.h"
#include "platform/text/textconv.h"
#include "platform/toolkit/orvhgefont.h"

namespace {

constexpr std::size_t kDescriptionLength = 2000;

std::u16string MakeDescription() {
  // Chinese, Latin letters, digits and spaces, as the goods descriptions mix them.
  const std::u16string piece = plat::Utf8ToUtf16(
      "采用18K金表壳与蓝宝石镜面，防水50米，Swiss movement 自动上链，动力储存约42小时。");
  std::u16string text;
  while (text.size() < kDescriptionLength) text += piece;
  text.resize(kDescriptionLength);
  return text;
}

std::vector<std::u16string> NaiveWrap(const OrvHgeFont& font, std::u16string rest, int maxWidth) {
  std::vector<std::u16string> lines;
  while (!rest.empty()) {
    std::size_t n = rest.size();
    while (n > 1 && font.getWidth(rest.substr(0, n)) > maxWidth) --n;
    lines.push_back(rest.substr(0, n));
    rest.erase(0, n);
  }
  return lines;
}

struct Fixture {
  std::unique_ptr<plat::RenderDevice> device = plat::RenderDevice::CreateHeadless(1280, 720);
  OrvHgeFont font{plat::Utf8ToGbk("宋").c_str(), 12, 0, 0, 0};
  std::u16string text = MakeDescription();
};

Fixture& Shared() {
  static Fixture f;
  return f;
}

void BM_PrefixSumWrap(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    std::vector<std::u16string> lines;
    CGoodsDescription::WrapText(f.font, f.text, CGoodsDescription::kWrapWidth, &lines);
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_PrefixSumWrap)->Unit(benchmark::kMicrosecond);

void BM_NaiveEveryPrefixWrap(benchmark::State& state) {
  Fixture& f = Shared();
  for (auto _ : state) {
    auto lines = NaiveWrap(f.font, f.text, CGoodsDescription::kWrapWidth);
    benchmark::DoNotOptimize(lines.data());
  }
}
BENCHMARK(BM_NaiveEveryPrefixWrap)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

int main(int argc, char** argv) {
  Fixture& f = Shared();
  if (!f.font.IsValid() || f.font.getWidth(f.text) <= CGoodsDescription::kWrapWidth) {
    std::fprintf(stderr, "description wrap bench: no usable font\n");
    return 1;
  }
  std::vector<std::u16string> fast;
  CGoodsDescription::WrapText(f.font, f.text, CGoodsDescription::kWrapWidth, &fast);
  const auto naive = NaiveWrap(f.font, f.text, CGoodsDescription::kWrapWidth);
  if (fast != naive) {
    std::fprintf(stderr, "description wrap bench: the two wraps differ (%zu vs %zu lines)\n", fast.size(),
                 naive.size());
    return 1;
  }
  std::printf("description wrap bench: %zu characters, %zu identical lines\n", f.text.size(), fast.size());
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
