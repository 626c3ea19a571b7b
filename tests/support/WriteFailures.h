#pragma once

#include <QString>

#include <sys/resource.h>

#include <csignal>
#include <functional>

namespace glidra::test {

// Makes every file write of the process stop at `bytes` while it lives, as a
// full disk would: a write that crosses the limit stops short, and the next
// one fails (EFBIG). The signal that would end the process is ignored.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes);
    ~FileSizeLimit();
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit saved_{};
    struct sigaction savedSignal_ {};
};

// Runs `body` with `folder` made read-only for its owner and the file
// permissions holding (also for root); the folder is writable again
// afterwards. False, with nothing run, where permissions do not hold.
bool withFolderNotWritable(const QString& folder, const std::function<void()>& body);

// Runs `body` on a thread of its own, in a mount namespace of that thread,
// with a tmpfs of `bytes` mounted at `mountPoint` (made if missing); the
// mount goes with the thread. False, with nothing run, where mounting is not
// allowed (not root, or a container that forbids it).
bool onSmallFileSystem(const QString& mountPoint, qint64 bytes, const std::function<void()>& body);
// Inside such a body: the mount read-only, or writable again.
bool remount(const QString& mountPoint, bool readOnly);
// Fills the file system of `folder` with a file named `name`, leaving
// `spare` bytes free (rounded to its pages).
void fillUp(const QString& folder, const QString& name, qint64 spare = 0);

}  // namespace glidra::test
