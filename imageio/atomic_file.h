// Writing a file whole or not at all.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace imageio {

// Checks that `path` can name an output file: its folder exists and is a
// folder, and the path names nothing yet or a regular file (not a folder, a
// symbolic link, a device, a pipe or a socket). On failure returns false and
// sets `error` to a one-line reason.
bool CheckOutputPath(const std::string& path, std::string& error);

// Calls `write` on a temporary file in the folder of `path`, then flushes it
// to disk and renames it to `path`. The stream's descriptor is open for
// reading too, so that `write` may read back what it has written (pread on
// fileno, after fflush). Whatever fails (the callback returning
// false, a full disk, a closed stream), the temporary file is removed and an
// existing file at `path` is left as it was. Blocks until the data is on disk.
// Meanwhile an interrupt (SIGINT, SIGTERM, SIGHUP) removes the temporary file
// before the program ends, and a file-size limit makes writes fail instead of
// killing the program.
bool WriteFileAtomically(const std::string& path,
                         const std::function<bool(std::FILE*)>& write,
                         std::string& error);

}  // namespace imageio
