#pragma once

#include <QIODevice>

namespace friendlinks {

// Standard output or standard error as an unbuffered device: every write goes
// to the file descriptor at once, so a full disk or a closed file is seen at
// the write that met it (write() returns -1, errorString() says why). A reader
// that closed the pipe ends the program quietly, as any Unix filter ends.
class FdOutput : public QIODevice {
public:
    explicit FdOutput(int fd, QObject *parent = nullptr);

    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    int m_fd;
};

// When fd is closed, opens /dev/null read-only on it, so that no socket or
// event descriptor the program opens later takes its number and a write to it
// fails (EBADF: "standard output is closed" for fd 1). Whether it was closed.
bool holdIfClosed(int fd);

// Whether a file descriptor is a terminal.
[[nodiscard]] bool isTerminal(int fd);

} // namespace friendlinks
