// TimeKernels: the sets' kernels timed on frames of the animation, each
// kernel against the same kernel of the other sets.
#include <cstring>
#include <iterator>
#include <vector>

#include "clock/clock.h"
#include "frame.h"
#include "kernels/select.h"
#include "path.h"
#include "renderers.h"

namespace ukvo2 {

namespace {

// Three frames of the animation loop, at t = 0, 60 and 120 s, as the
// program draws them: its frame size, iterations and blur step, the Julia
// parameter in fixed point and the blur centre.
struct Frame {
    int32_t cre, cim, cx, cy;
};
constexpr uint32_t FrameTimes[] = {0, 60000, 120000};
constexpr size_t FrameCount = std::size(FrameTimes);
constexpr size_t PictureBytes = FrameBytes;

Frame FrameAt(uint32_t t, const Complex (&path)[PathPoints]) {
    const Complex c = JuliaParameter(t, path);
    const Centre centre = BlurCentre(t, t, Width, Height);
    return {JuliaFixedPoint(c.re), JuliaFixedPoint(c.im), centre.cx, centre.cy};
}

// The program's blur step, 16.16.
uint32_t BlurStep() {
    uint32_t step = 0;
    ZoomStep(BlurFactor, step);
    return step;
}

// Rounds over the frames; each set's time is its best round's, so that a
// moment when the processor was busy elsewhere decides nothing.
constexpr int Rounds = 3;

template <typename Run>
double Seconds(Run run) {
    const double start = StopwatchSeconds();
    run();
    return StopwatchSeconds() - start;
}

// The times of one kind of kernel, by set: this round's and the best round's.
struct Times {
    std::vector<double> round, best;
};

void EndRound(Times& times) {
    for (size_t k = 0; k < times.round.size(); ++k) {
        if (times.best[k] < 0 || times.round[k] < times.best[k]) times.best[k] = times.round[k];
        times.round[k] = 0;
    }
}

size_t Fastest(const Times& times) {
    size_t best = 0;
    for (size_t k = 1; k < times.best.size(); ++k)
        if (times.best[k] < times.best[best]) best = k;
    return best;
}

// One frame with every set, the sets' turns starting at `turn`; `picture`
// is the frame's Julia set, for the blurs.
void TimeFrame(const KernelSet* sets, size_t count, const Frame& f, const uint8_t* picture,
               size_t turn, Times& julia, Times& blur, uint8_t* frame) {
    static const uint32_t Step = BlurStep();
    for (size_t i = 0; i < count; ++i) {
        const size_t k = (i + turn) % count;
        julia.round[k] += Seconds([&] { sets[k].julia(frame, Width, Height, FrameIterations, f.cre, f.cim); });
        std::memcpy(frame, picture, PictureBytes);
        blur.round[k] += Seconds([&] { sets[k].blur(frame, Width, Height, f.cx, f.cy, Step); });
    }
}

}  // namespace

KernelChoice TimeKernels(const KernelSet* sets, size_t count) {
    if (count == 1) return KernelChoice{&sets[0], &sets[0]};
    Complex path[PathPoints];
    MakePath(path);
    Frame frames[FrameCount];
    for (size_t f = 0; f < FrameCount; ++f) frames[f] = FrameAt(FrameTimes[f], path);
    std::vector<uint8_t> pictures(FrameCount * PictureBytes), frame(PictureBytes);
    for (size_t f = 0; f < FrameCount; ++f)
        sets[count - 1].julia(&pictures[f * PictureBytes], Width, Height, FrameIterations, frames[f].cre,
                              frames[f].cim);
    Times julia{std::vector<double>(count), std::vector<double>(count, -1.0)}, blur = julia;
    size_t turn = 0;
    for (int r = 0; r < Rounds; ++r) {
        for (size_t f = 0; f < FrameCount; ++f)
            TimeFrame(sets, count, frames[f], &pictures[f * PictureBytes], turn++, julia, blur, frame.data());
        EndRound(julia);
        EndRound(blur);
    }
    return KernelChoice{&sets[Fastest(julia)], &sets[Fastest(blur)]};
}

}  // namespace ukvo2
