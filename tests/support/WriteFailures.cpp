#include "support/WriteFailures.h"

#include "support/FilePermissionsEnforced.h"

#include <QDir>
#include <QFile>

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

#include <thread>

namespace glidra::test {

FileSizeLimit::FileSizeLimit(rlim_t bytes) {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    ::sigaction(SIGXFSZ, &ignore, &savedSignal_);
    ::getrlimit(RLIMIT_FSIZE, &saved_);
    rlimit limited = saved_;
    limited.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limited);
}

FileSizeLimit::~FileSizeLimit() {
    ::setrlimit(RLIMIT_FSIZE, &saved_);
    ::sigaction(SIGXFSZ, &savedSignal_, nullptr);
}

bool withFolderNotWritable(const QString& folder, const std::function<void()>& body) {
    constexpr auto writable = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    bool held = false;
    {
        const FilePermissionsEnforced enforced;
        QFile probe(folder + QStringLiteral("/probe"));
        if (probe.open(QIODevice::WriteOnly)) {
            probe.remove();
        } else {
            held = true;
            body();
        }
    }
    QFile::setPermissions(folder, writable);
    return held;
}

bool onSmallFileSystem(const QString& mountPoint, qint64 bytes, const std::function<void()>& body) {
    if (::geteuid() != 0) return false;
    QDir().mkpath(mountPoint);
    const QByteArray path = QFile::encodeName(mountPoint);
    bool mounted = false;
    std::thread thread([&] {
        // The namespace is this thread's alone; nothing it mounts is seen,
        // or left behind, elsewhere.
        if (::unshare(CLONE_NEWNS) != 0) return;
        if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) return;
        const QByteArray options = "size=" + QByteArray::number(bytes) + ",mode=0755";
        if (::mount("tmpfs", path.constData(), "tmpfs", MS_NOSUID | MS_NODEV, options.constData()) != 0) return;
        mounted = true;
        body();
        ::umount2(path.constData(), MNT_DETACH);
    });
    thread.join();
    return mounted;
}

bool remount(const QString& mountPoint, bool readOnly) {
    const unsigned long flags = MS_REMOUNT | MS_NOSUID | MS_NODEV | (readOnly ? MS_RDONLY : 0);
    return ::mount(nullptr, QFile::encodeName(mountPoint).constData(), nullptr, flags, nullptr) == 0;
}

void fillUp(const QString& folder, const QString& name, qint64 spare) {
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    if (fd < 0) return;
    const QByteArray block(4096, 'x');
    while (::write(fd, block.constData(), block.size()) > 0) {
    }
    if (spare > 0) {
        const off_t size = ::lseek(fd, 0, SEEK_END);
        if (::ftruncate(fd, size > spare ? size - spare : 0) != 0) {
        }
    }
    ::close(fd);
}

}  // namespace glidra::test
