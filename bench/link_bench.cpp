// Frame building, answer recognition and the encodings: the per-line work of
// every receipt.
#include <benchmark/benchmark.h>

#include "link/answer.h"
#include "link/encodings.h"
#include "link/frame.h"

using namespace kestora;

static void BM_BuildSaleSizedFrame(benchmark::State& state) {
    Bytes data(56, 0x41);
    std::uint8_t seq = 1;
    for (auto _ : state) {
        WorkArea w = buildCommandFrame(1, 0x11, "123456", seq += 2, 0x03, data);
        benchmark::DoNotOptimize(w);
    }
}
BENCHMARK(BM_BuildSaleSizedFrame);

static void BM_EncodeLine(benchmark::State& state) {
    for (auto _ : state) {
        auto a = Amount5(1234.56);
        auto q = Milli4(-2.5);
        auto b = PackBcdRight("8600123456789");
        auto n = kodiraj("\xC0\xC1\xC2 artikal [x]");
        benchmark::DoNotOptimize(a);
        benchmark::DoNotOptimize(q);
        benchmark::DoNotOptimize(b);
        benchmark::DoNotOptimize(n);
    }
}
BENCHMARK(BM_EncodeLine);

static void BM_RecogniseAnswer(benchmark::State& state) {
    RxBufferState rx;
    for (std::uint8_t b : {0xAA, 0, 0, 0, 0, 0, 0, 0x1C, 0x02, 0x00, 0x7B, 0, 0, 0x0D}) rx.append(b);
    for (auto _ : state) benchmark::DoNotOptimize(completeAnswer(rx));
}
BENCHMARK(BM_RecogniseAnswer);
