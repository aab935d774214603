// kvo2-render meeting a full disk or a failing write: it reports the fault,
// leaves no partial file and keeps an existing file whole.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& p) {
    std::ifstream f(p, std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

struct Outcome {
    int status;
    std::string err;
};

// Runs a still render into `dir` under a shell prefix (a limit, say).
Outcome Render(const fs::path& dir, const std::string& prefix, const std::string& name) {
    const fs::path err = fs::temp_directory_path() / ("kvo2-faults-" + std::to_string(getpid()));
    const std::string cmd = prefix + " '" + KVO2_RENDER + "' --time 0 --out '" +
                            (dir / name).string() + "' 2>'" + err.string() + "'";
    const int raw = std::system(("sh -c \"" + cmd + "\"").c_str());
    Outcome o{WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw), ReadAll(err)};
    fs::remove(err);
    return o;
}

size_t EntriesIn(const fs::path& dir) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(dir), fs::directory_iterator{}));
}

class RenderFaults : public ::testing::Test {
  protected:
    fs::path dir;
    bool mounted = false;
    void SetUp() override {
        char pattern[] = "/tmp/kvo2-faults.XXXXXX";
        ASSERT_NE(mkdtemp(pattern), nullptr);
        dir = pattern;
    }
    void TearDown() override {
        if (mounted) umount(dir.c_str());
        fs::remove_all(dir);
    }
    void ExpectRefused(const Outcome& o, const char* reason, size_t files) {
        EXPECT_EQ(o.status, 1) << o.err;
        EXPECT_EQ(o.err.rfind("kvo2-render: cannot write", 0), 0u) << o.err;
        EXPECT_NE(o.err.find(reason), std::string::npos) << o.err;
        EXPECT_EQ(std::count(o.err.begin(), o.err.end(), '\n'), 1) << o.err;
        EXPECT_EQ(EntriesIn(dir), files);
    }
};

TEST_F(RenderFaults, FileSizeLimitFailsTheWriteCleanly) {
    // A frame's PNG is about 100 KB; 16 KiB lets the write start and then fail.
    ExpectRefused(Render(dir, "ulimit -f 16;", "f.png"), "File too large", 0);
    std::ofstream(dir / "keep.png") << "precious";
    ExpectRefused(Render(dir, "ulimit -f 16;", "keep.png"), "File too large", 1);
    EXPECT_EQ(ReadAll(dir / "keep.png"), "precious");
}

TEST_F(RenderFaults, FullDiskFailsTheWriteCleanly) {
    if (mount("tmpfs", dir.c_str(), "tmpfs", 0, "size=32k") != 0) {
        GTEST_SKIP() << "cannot mount a small tmpfs here (" << std::strerror(errno)
                     << "); the file-size limit test covers the same path";
    }
    mounted = true;
    ExpectRefused(Render(dir, "", "f.png"), "No space left on device", 0);
    std::ofstream(dir / "keep.png") << "precious";
    ExpectRefused(Render(dir, "", "keep.png"), "No space left on device", 1);
    EXPECT_EQ(ReadAll(dir / "keep.png"), "precious");
}

TEST_F(RenderFaults, InterruptedClipLeavesNothingBehind) {
    // A long clip, ended by a signal once its temporary file exists: the
    // temporary goes with the program, and an existing file stays whole.
    std::ofstream(dir / "keep.gif") << "precious";
    for (const char* signal : {"TERM", "HUP"}) {
        const std::string cmd =
            "'" + std::string(KVO2_RENDER) + "' --from 0 --to 600000 --fps 50 --out '" +
            (dir / "keep.gif").string() + "' 2>/dev/null & pid=$!; " +
            "for i in $(seq 100); do ls -A '" + dir.string() + "' | grep -q '^.keep.gif.' && break; " +
            "sleep 0.1; done; kill -" + signal + " $pid; wait $pid";
        const int raw = std::system(cmd.c_str());
        EXPECT_NE(raw, 0) << signal;
        EXPECT_EQ(EntriesIn(dir), 1u) << signal;
        EXPECT_EQ(ReadAll(dir / "keep.gif"), "precious") << signal;
    }
}

}  // namespace
