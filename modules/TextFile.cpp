#include "TextFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifdef Q_OS_UNIX
#include <QDeadlineTimer>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pthread.h>
#include <unistd.h>
#endif

namespace {

// Everything or nothing reaches the device; unbuffered, so a full disk shows
// here rather than in a flush that nobody checks.
bool writeAll(QFileDevice &file, const QByteArray &bytes)
{
    return file.write(bytes) == bytes.size() && file.flush();
}

// The text goes to a temporary file that replaces the old file only once it
// is complete, so a failed save leaves the old file whole. Where the folder
// allows no new file (no temporary file can be made there) the file itself
// is written, as that is the only way it can be saved at all.
bool replaceRegularFile(const QString &fileName, const QByteArray &bytes)
{
    QSaveFile file(fileName);
    file.setDirectWriteFallback(true);
    return file.open(QIODevice::WriteOnly | QIODevice::Unbuffered) && writeAll(file, bytes) &&
           file.commit();
}

#ifdef Q_OS_UNIX

// How long a save may wait, in all, for a pipe's reader to take the text.
constexpr int PipeWaitMs = 2000;

// While it lives, a write to a pipe whose reader has gone fails with EPIPE
// instead of raising SIGPIPE, which would end the program: the signal is
// blocked for this thread, and one raised meanwhile is taken back before the
// thread's old mask returns.
class SigpipeHeld {
public:
    SigpipeHeld()
    {
        sigemptyset(&pipe_);
        sigaddset(&pipe_, SIGPIPE);
        sigset_t pending;
        sigpending(&pending);
        alreadyPending_ = sigismember(&pending, SIGPIPE) == 1;
        pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
    }
    ~SigpipeHeld()
    {
        sigset_t pending;
        int taken = 0;
        if (!alreadyPending_ && sigpending(&pending) == 0 && sigismember(&pending, SIGPIPE) == 1)
            sigwait(&pipe_, &taken);
        pthread_sigmask(SIG_SETMASK, &old_, nullptr);
    }
    SigpipeHeld(const SigpipeHeld &) = delete;
    SigpipeHeld &operator=(const SigpipeHeld &) = delete;

private:
    sigset_t pipe_{};
    sigset_t old_{};
    bool alreadyPending_ = false;
};

bool waitWritable(int fd, const QDeadlineTimer &deadline)
{
    pollfd writable{fd, POLLOUT, 0};
    int ready = 0;
    do
        ready = ::poll(&writable, 1, int(deadline.remainingTime()));
    while (ready < 0 && errno == EINTR);
    return ready > 0;
}

// Opened without blocking: a named pipe that no program reads fails here
// (ENXIO) instead of waiting for a reader that may never come; a reader that
// does not take the whole text within PipeWaitMs fails the save.
bool writeIntoDevice(const QString &fileName, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(fileName).constData(),
                          O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const SigpipeHeld noSigpipe;
    const QDeadlineTimer deadline(PipeWaitMs);
    const char *next = bytes.constData();
    size_t left = size_t(bytes.size());
    bool written = true;
    while (written && left > 0) {
        const ssize_t count = ::write(fd, next, left);
        if (count > 0) {
            next += count;
            left -= size_t(count);
        } else if (count == 0 || errno != EINTR) {
            written = count < 0 && errno == EAGAIN && waitWritable(fd, deadline);
        }
    }
    return ::close(fd) == 0 && written;
}

#else

bool writeIntoDevice(const QString &fileName, const QByteArray &bytes)
{
    QFile device(fileName);
    if (!device.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    const bool written = writeAll(device, bytes);
    device.close();
    return written && device.error() == QFileDevice::NoError;
}

#endif

}  // namespace

bool SaveTextFile(const QString &fileName, const QByteArray &bytes)
{
    const QFileInfo target(fileName);
    // A device or a pipe cannot be replaced by a renamed temporary file (and
    // as root the rename would succeed and remove it): write into it.
    if (target.exists() && !target.isFile() && !target.isDir())
        return writeIntoDevice(fileName, bytes);
    return replaceRegularFile(fileName, bytes);
}
