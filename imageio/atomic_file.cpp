#include "atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

namespace imageio {

namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string Reason(const std::string& what, const std::string& path, int err) {
    return what + " " + path + ": " + std::strerror(err);
}

// The permissions a newly created file would get: 0666 less the umask.
mode_t NewFileMode() {
    const mode_t mask = umask(0);
    umask(mask);
    return 0666 & ~mask;
}

// While a temporary file exists: its path, for the signal handler to remove
// it when the program is interrupted, and the handlers to restore after.
char PendingTemp[4096];
constexpr int kCleanupSignals[] = {SIGINT, SIGTERM, SIGHUP};
struct sigaction SavedActions[3];
struct sigaction SavedFileSizeAction;

void RemovePendingAndReraise(int signal) {
    if (PendingTemp[0]) unlink(PendingTemp);  // async-signal-safe
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

// Guards the temporary file: an interrupt removes it before the program
// ends, and a write past the file-size limit fails with EFBIG instead of
// killing the program with the file half-written.
void GuardTemp(const std::string& temp) {
    if (temp.size() >= sizeof PendingTemp) return;
    std::memcpy(PendingTemp, temp.c_str(), temp.size() + 1);
    struct sigaction action {};
    action.sa_handler = RemovePendingAndReraise;
    sigemptyset(&action.sa_mask);
    for (size_t i = 0; i < 3; ++i) {
        // A signal the program was started ignoring (nohup, a background
        // job's interrupt) stays ignored.
        sigaction(kCleanupSignals[i], nullptr, &SavedActions[i]);
        if (SavedActions[i].sa_handler != SIG_IGN) sigaction(kCleanupSignals[i], &action, nullptr);
    }
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    sigaction(SIGXFSZ, &ignore, &SavedFileSizeAction);
}

void ReleaseTemp() {
    for (size_t i = 0; i < 3; ++i) sigaction(kCleanupSignals[i], &SavedActions[i], nullptr);
    sigaction(SIGXFSZ, &SavedFileSizeAction, nullptr);
    PendingTemp[0] = '\0';
}

}  // namespace

bool CheckOutputPath(const std::string& path, std::string& error) {
    if (path.empty()) {
        error = "the output path is empty";
        return false;
    }
    struct stat st;
    const std::string folder = FolderOf(path);
    if (stat(folder.c_str(), &st) != 0) {
        error = Reason("cannot use the folder", folder, errno);
        return false;
    }
    if (!S_ISDIR(st.st_mode)) {
        error = "cannot use the folder " + folder + ": not a folder";
        return false;
    }
    if (path.back() == '/' || (stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode))) {
        error = "cannot write " + path + ": it is a folder";
        return false;
    }
    // The new file replaces whatever has the name: never a link (it would
    // replace the link, not what it points to) nor a device, pipe or socket.
    if (lstat(path.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error = "cannot write " + path + ": " +
                (S_ISLNK(st.st_mode) ? "it is a symbolic link" : "it is not a regular file");
        return false;
    }
    if (access(path.c_str(), F_OK) == 0 && access(path.c_str(), W_OK) != 0) {
        error = Reason("cannot write", path, errno);
        return false;
    }
    return true;
}

namespace {

// Creates the temporary file beside `path` (".NAME.XXXXXX") and guards it
// against interrupts; -1 with `error` set when it cannot be made.
int CreateGuardedTemp(const std::string& path, std::string& tempPath, std::string& error) {
    const std::string folder = FolderOf(path);
    const size_t slash = path.find_last_of('/');
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    std::string pattern = folder + "/." + name + ".XXXXXX";
    std::vector<char> temp(pattern.begin(), pattern.end());
    temp.push_back('\0');

    // An interrupt between creating the temporary file and guarding it would
    // leave the file behind: hold the signals until the guard is in place.
    sigset_t held, before;
    sigemptyset(&held);
    for (int signal : kCleanupSignals) sigaddset(&held, signal);
    sigprocmask(SIG_BLOCK, &held, &before);
    const int fd = mkstemp(temp.data());
    if (fd < 0) {
        const int err = errno;
        sigprocmask(SIG_SETMASK, &before, nullptr);
        error = Reason("cannot write in", folder, err);
        return -1;
    }
    tempPath = temp.data();
    GuardTemp(tempPath);
    sigprocmask(SIG_SETMASK, &before, nullptr);
    return fd;
}

// Gives the new file its mode, hands it to `write` and brings it to disk:
// 0, or the error number of what failed. Closes fd whatever happens.
int WriteToDisk(int fd, const std::function<bool(std::FILE*)>& write) {
    std::FILE* file = fchmod(fd, NewFileMode()) == 0 ? fdopen(fd, "wb") : nullptr;
    if (!file) {
        const int err = errno;
        close(fd);
        return err;
    }
    errno = 0;
    const bool written = write(file);
    int err = written ? 0 : (errno ? errno : EIO);
    if (!err && std::fflush(file) != 0) err = errno;
    if (!err && std::ferror(file)) err = EIO;
    if (!err && fsync(fileno(file)) != 0) err = errno;
    if (std::fclose(file) != 0 && !err) err = errno;
    return err;
}

}  // namespace

bool WriteFileAtomically(const std::string& path,
                         const std::function<bool(std::FILE*)>& write,
                         std::string& error) {
    if (!CheckOutputPath(path, error)) return false;
    std::string tempPath;
    const int fd = CreateGuardedTemp(path, tempPath, error);
    if (fd < 0) return false;
    int err = WriteToDisk(fd, write);
    if (!err && std::rename(tempPath.c_str(), path.c_str()) != 0) err = errno;
    if (err) {
        unlink(tempPath.c_str());
        error = Reason("cannot write", path, err);
    }
    ReleaseTemp();
    return !err;
}

}  // namespace imageio
