#include "batch/StandardOutput.h"

#include "error/FileError.h"

#include <cerrno>
#include <unistd.h>

namespace tavim {

namespace {

[[noreturn]] void cannotWrite(int error) {
    throw EFWriteError(QStringLiteral("standard output"), SystemReason(error));
}

} // namespace

void TStandardOutput::write(const QByteArray& bytes) {
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
