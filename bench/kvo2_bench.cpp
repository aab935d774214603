// kvo2-bench: every kernel set this processor can run, the plain reference
// first, so that one run prints every ratio, then the emulated sets and the
// program's own choice ("chosen", KVO_KERNELS or timed; its sets' names and the time
// the choice took go to stderr). Each benchmark covers the 300
// frames of the animation loop, t = 0, 500, ..., 149500 ms (one frame per
// path segment); per_frame is the time of one frame.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "kernels/select.h"
#include "present.h"
#include "clock/clock.h"
#include "frame.h"
#include "palette.h"
#include "path.h"
#include "renderers.h"

namespace {

using namespace ukvo2;

constexpr int LoopFrames = 300;
constexpr uint32_t FrameStepMs = 500;

void SetFrameCounter(benchmark::State& state) {
    state.counters["per_frame"] = benchmark::Counter(
        LoopFrames, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

// RenderFrame with all three clock readings frozen at t.
void RenderFrameLoop(benchmark::State& state, const KernelSet* set) {
    ChooseKernels(*set);
    uint32_t now = 0;
    SetClock([&now] { return now; });
    for (auto _ : state) {
        for (int f = 0; f < LoopFrames; ++f) {
            now = f * FrameStepMs;
            RenderFrame();
        }
        benchmark::DoNotOptimize(Pixels);
    }
    SetClock(nullptr);
    SetFrameCounter(state);
}

void Julia(benchmark::State& state, const KernelSet* set) {
    std::vector<int32_t> cre(LoopFrames), cim(LoopFrames);
    for (int f = 0; f < LoopFrames; ++f) {
        const Complex c = JuliaParameter(f * FrameStepMs);
        cre[f] = JuliaFixedPoint(c.re);
        cim[f] = JuliaFixedPoint(c.im);
    }
    for (auto _ : state) {
        for (int f = 0; f < LoopFrames; ++f)
            set->julia(Pixels, Width, Height, FrameIterations, cre[f], cim[f]);
        benchmark::DoNotOptimize(Pixels);
    }
    SetFrameCounter(state);
}

// The blur's time does not depend on the picture: the frame is blurred
// again and again, with the loop's centres.
void Blur(benchmark::State& state, const KernelSet* set) {
    const Complex c = JuliaParameter(0);
    RenderJulia(FrameIterations, c.re, c.im);
    uint32_t d;
    ZoomStep(BlurFactor, d);
    std::vector<Centre> centres(LoopFrames);
    for (int f = 0; f < LoopFrames; ++f)
        centres[f] = BlurCentre(f * FrameStepMs, f * FrameStepMs, Width, Height);
    for (auto _ : state) {
        for (const Centre& ce : centres) set->blur(Pixels, Width, Height, ce.cx, ce.cy, d);
        benchmark::DoNotOptimize(Pixels);
    }
    SetFrameCounter(state);
}

// The presenter's conversion of one frame to 32-bit pixels (one version for
// every processor).
void Expand(benchmark::State& state, const KernelSet*) {
    uint32_t table[256];
    std::memcpy(table, Palette, sizeof table);
    std::vector<uint32_t> out(FrameBytes);
    for (auto _ : state) {
        for (int f = 0; f < LoopFrames; ++f) gdi8::ExpandFrame(Pixels, FrameBytes, table, out.data());
        benchmark::DoNotOptimize(out.data());
    }
    SetFrameCounter(state);
}

}  // namespace

int main(int argc, char** argv) {
    BuildPath();
    BuildPalette();
    // The sets this processor runs, then the emulated ones.
    std::vector<const KernelSet*> sets;
    size_t count;
    const KernelSet* run = KernelSets(count);
    for (size_t k = 0; k < count; ++k) sets.push_back(&run[k]);
    const KernelSet* emulated = EmulatedKernelSets(count);
    for (size_t k = 0; k < count; ++k) sets.push_back(&emulated[k]);
    // The program's own choice, under the name "chosen".
    const auto start = std::chrono::steady_clock::now();
    KernelSet chosen = FastestKernels();
    std::fprintf(stderr, "chosen: %s, in %.1f ms\n", chosen.name,
                 std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    chosen.name = "chosen";
    sets.push_back(&chosen);
    struct Kind {
        const char* name;
        void (*run)(benchmark::State&, const KernelSet*);
    };
    const Kind kinds[] = {{"BM_RenderFrameLoop", RenderFrameLoop},
                          {"BM_RenderJulia", Julia},
                          {"BM_ZoomBlur", Blur}};
    for (const Kind& kind : kinds) {
        for (const KernelSet* set : sets) {
            const std::string name = std::string(kind.name) + "/" + set->name;
            benchmark::RegisterBenchmark(name.c_str(), kind.run, set)
                ->Unit(benchmark::kMillisecond)
                ->UseRealTime();
        }
    }
    benchmark::RegisterBenchmark("BM_ExpandFrame", Expand, nullptr)
        ->Unit(benchmark::kMillisecond)
        ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
