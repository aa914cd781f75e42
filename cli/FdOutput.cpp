#include "cli/FdOutput.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstring>

#ifdef Q_OS_WIN
#include <io.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace friendlinks {

FdOutput::FdOutput(int fd, QObject *parent) : QIODevice(parent), m_fd(fd)
{
    open(QIODevice::WriteOnly | QIODevice::Unbuffered);
}

qint64 FdOutput::writeData(const char *data, qint64 size)
{
    qint64 written = 0;
    while (written < size) {
#ifdef Q_OS_WIN
        const auto n = ::_write(m_fd, data + written, unsigned(std::min<qint64>(size - written, 1 << 30)));
#else
        const auto n = ::write(m_fd, data + written, size_t(size - written));
#endif
        if (n >= 0) {
            written += n;
            continue;
        }
        if (errno == EINTR)
            continue;
#ifdef SIGPIPE
        if (errno == EPIPE) {
            // Qt's network code ignores SIGPIPE; the reader is gone, so end as a filter does.
            std::signal(SIGPIPE, SIG_DFL);
            std::raise(SIGPIPE);
        }
#endif
        // A descriptor closed by the caller (">&-") is held by holdIfClosed as a read-only one.
        if (errno == EBADF && m_fd == 1)
            setErrorString(QStringLiteral("standard output is closed"));
        else
            setErrorString(QString::fromLocal8Bit(std::strerror(errno)));
        return -1;
    }
    return written;
}

bool holdIfClosed(int fd)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fd);
    return false;
#else
    if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
        return false;
    const int held = ::open("/dev/null", O_RDONLY | O_CLOEXEC);
    if (held >= 0 && held != fd) {
        ::dup2(held, fd);
        ::close(held);
    }
    return true;
#endif
}

bool isTerminal(int fd)
{
#ifdef Q_OS_WIN
    return ::_isatty(fd) != 0;
#else
    return ::isatty(fd) != 0;
#endif
}

} // namespace friendlinks
