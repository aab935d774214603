#include "gif_clip.h"

#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

#include "clip_frames.h"
#include "gif_image.h"
#include "progress_bar.h"
#include "ukvo2.h"

namespace render {

namespace {

// The hand-over between the rendering thread and the encoding thread: one
// rendered frame waiting to be encoded.
std::mutex handMutex;
std::condition_variable handChanged;
std::vector<uint8_t> waiting;  // the frame handed over, when `full`
bool full = false;
bool noMore = false;           // the renderer has handed over its last frame
bool failed = false;           // the encoder has stopped on an error
int failure = 0;               // errno when it stopped
uint64_t encoded = 0;          // frames written so far

void Encode(GifFileType* gif, uint16_t delay) {
    std::vector<uint8_t> frame(static_cast<size_t>(ukvo2::FrameBytes));
    for (;;) {
        {
            std::unique_lock<std::mutex> lock(handMutex);
            handChanged.wait(lock, [] { return full || noMore; });
            if (!full) return;
            frame.swap(waiting);
            full = false;
        }
        handChanged.notify_all();
        errno = 0;
        const bool ok = AddGifFrame(gif, frame.data(), delay);
        const int err = errno;
        {
            std::lock_guard<std::mutex> lock(handMutex);
            if (!ok) {
                failed = true;
                failure = err;
            } else {
                ++encoded;
            }
        }
        handChanged.notify_all();
        if (!ok) return;
    }
}

// Hands the frame in Pixels to the encoder once it has taken the previous
// one, and sets `done` to the frames encoded so far. False if the encoder has
// failed.
bool HandOver(uint64_t& done) {
    std::unique_lock<std::mutex> lock(handMutex);
    handChanged.wait(lock, [] { return !full || failed; });
    if (failed) return false;
    std::memcpy(waiting.data(), ukvo2::Pixels, waiting.size());
    full = true;
    done = encoded;
    lock.unlock();
    handChanged.notify_all();
    return true;
}

}  // namespace

bool WriteGifClip(std::FILE* file, uint32_t from, uint32_t to, uint32_t fps) {
    const uint64_t count = ClipFrameCount(from, to, fps);
    GifFileType* gif = BeginGif(file, ukvo2::Width, ukvo2::Height, ukvo2::Palette);
    if (!gif) return false;

    waiting.assign(static_cast<size_t>(ukvo2::FrameBytes), 0);
    full = noMore = failed = false;
    failure = 0;
    encoded = 0;
    std::thread encoder(Encode, gif, ClipFrameDelay(fps));

    StartProgress(count);
    bool ok = true;
    for (uint64_t i = 0; ok && i < count; ++i) {
        const uint32_t t = ClipFrameTime(from, fps, i);
        ukvo2::RenderFrameAt(t);
        uint64_t done = 0;
        ok = HandOver(done);
        ShowProgress(done);
    }
    {
        std::lock_guard<std::mutex> lock(handMutex);
        noMore = true;
    }
    handChanged.notify_all();
    encoder.join();
    ok = ok && !failed;
    if (ok) ShowProgress(count);
    EndProgress();

    const int err = failure;
    ok = EndGif(gif) && ok;
    if (!ok && err) errno = err;
    waiting = std::vector<uint8_t>();
    return ok;
}

}  // namespace render
