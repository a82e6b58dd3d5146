#include "batch/StandardOutput.h"

#include "error/FileError.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace tavim {

namespace {

[[noreturn]] void cannotWrite(int error) {
    throw EFWriteError(QStringLiteral("standard output"), SystemReason(error));
}

bool g_closedAtStart = false;

} // namespace

void TStandardOutput::holdClosedDescriptors() {
    for (const int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO}) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        if (fd == STDOUT_FILENO)
            g_closedAtStart = true;
        // The lowest free number is this one: the others below it are open.
        ::open("/dev/null", O_RDWR);
    }
}

void TStandardOutput::write(const QByteArray& bytes) {
    if (g_closedAtStart)
        cannotWrite(EBADF);
    const char* at = bytes.constData();
    for (qsizetype left = bytes.size(); left > 0;) {
        const ssize_t n = ::write(STDOUT_FILENO, at, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            cannotWrite(n < 0 ? errno : ENOSPC);
        at += n;
        left -= n;
    }
}

void TStandardOutput::close() {
    if (::close(STDOUT_FILENO) != 0 && errno != EINTR)
        cannotWrite(errno);
}

} // namespace tavim
