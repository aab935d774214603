#include "clip_render.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "clip_frames.h"
#include "progress_bar.h"
#include "frame.h"
#include "renderers.h"

namespace render {

namespace {

// The frames in flight: each thread renders the next frame whose slot is
// free (frame i goes to slot i % slots), and the caller takes them in order.
struct Pool {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<ClipFrame> slots;
    std::vector<bool> ready;   // the slot holds its frame, prepared
    uint64_t count = 0;        // frames in the clip
    uint64_t next = 0;         // the next frame to render
    uint64_t taken = 0;        // frames handed on so far
    bool stopped = false;      // a call has failed: no more work
    int failure = 0;           // errno when it failed
};

void Stop(Pool& pool, int err) {
    std::lock_guard<std::mutex> lock(pool.mutex);
    if (!pool.stopped) pool.failure = err;
    pool.stopped = true;
    pool.changed.notify_all();
}

void RenderFrames(Pool& pool, uint32_t from, uint32_t fps, const FrameWork& prepare) {
    const uint64_t slots = pool.slots.size();
    std::unique_lock<std::mutex> lock(pool.mutex);
    for (;;) {
        pool.changed.wait(lock, [&] {
            return pool.stopped || pool.next == pool.count || pool.next < pool.taken + slots;
        });
        if (pool.stopped || pool.next == pool.count) return;
        const uint64_t i = pool.next++;
        ClipFrame& frame = pool.slots[i % slots];
        lock.unlock();
        frame.index = i;
        ukvo2::RenderFrameAt(ClipFrameTime(from, fps, i), frame.pixels.data());
        errno = 0;
        if (prepare && !prepare(frame)) return Stop(pool, errno ? errno : EIO);
        lock.lock();
        pool.ready[i % slots] = true;
        pool.changed.notify_all();
    }
}

// A rendering thread: frames until there are no more or the pool stops.
void Render(Pool& pool, uint32_t from, uint32_t fps, const FrameWork& prepare) {
    RenderFrames(pool, from, fps, prepare);
    ukvo2::FreeBlurScratch();
}

// Hands the frames to `take` in order as they become ready.
bool HandOn(Pool& pool, const FrameWork& take) {
    const uint64_t slots = pool.slots.size();
    for (uint64_t i = 0; i < pool.count; ++i) {
        {
            std::unique_lock<std::mutex> lock(pool.mutex);
            pool.changed.wait(lock, [&] { return pool.stopped || pool.ready[i % slots]; });
            if (pool.stopped) return false;
        }
        errno = 0;
        if (!take(pool.slots[i % slots])) {
            Stop(pool, errno);
            return false;
        }
        {
            std::lock_guard<std::mutex> lock(pool.mutex);
            pool.ready[i % slots] = false;
            pool.taken = i + 1;
            pool.changed.notify_all();
        }
        ShowProgress(i + 1);
    }
    return true;
}

}  // namespace

unsigned ClipThreads(unsigned asked) {
    if (asked) return asked;
    const unsigned cores = std::thread::hardware_concurrency();
    return cores ? cores : 1;
}

bool RenderClip(uint32_t from, uint32_t to, uint32_t fps, unsigned threads,
                const FrameWork& prepare, const FrameWork& take) {
    Pool pool;
    pool.count = ClipFrameCount(from, to, fps);
    const uint64_t workers = std::min<uint64_t>(threads ? threads : 1, pool.count);
    pool.slots.resize(2 * workers);
    for (ClipFrame& frame : pool.slots) frame.pixels.resize(ukvo2::FrameBytes);
    pool.ready.assign(pool.slots.size(), false);

    StartProgress(pool.count);
    std::vector<std::thread> renderers;
    for (uint64_t k = 0; k < workers; ++k)
        renderers.emplace_back(Render, std::ref(pool), from, fps, std::cref(prepare));
    const bool ok = HandOn(pool, take);  // stops the pool when it fails
    for (std::thread& t : renderers) t.join();
    EndProgress();
    if (!ok) errno = pool.failure;
    return ok;
}

}  // namespace render
