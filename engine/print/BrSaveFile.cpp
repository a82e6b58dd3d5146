#include "engine/print/BrSaveFile.h"

#include "error/FileError.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavim {

namespace {

// The node the name itself stands for, without following a link; nullopt
// when there is none.
std::optional<struct stat> nodeOf(const QByteArray& path) {
    struct stat info {};
    if (::lstat(path.constData(), &info) != 0)
        return std::nullopt;
    return info;
}

// Renaming a regular file over a device node would destroy it (as root even
// /dev/full), and a pipe has a reader waiting on it: both are written in place.
bool isDeviceOrPipe(const struct stat& node) {
    return S_ISCHR(node.st_mode) || S_ISBLK(node.st_mode) || S_ISFIFO(node.st_mode) ||
           S_ISSOCK(node.st_mode);
}

} // namespace

TBrSaveFile::TBrSaveFile(const QString& fileName) : m_fileName(fileName) {
    try {
        open();
    } catch (...) {
        discard();
        throw;
    }
}

void TBrSaveFile::open() {
    const auto node = nodeOf(QFile::encodeName(m_fileName));
    if (node && S_ISDIR(node->st_mode))
        cannotCreate(SystemReason(EISDIR));
    if (node && isDeviceOrPipe(*node))
        openInPlace();
    else
        openAside();
    m_file = std::make_unique<QFile>();
    // Unbuffered in place, so that a device refusing a write fails that write.
    const auto mode =
        m_aside.isEmpty() ? QIODevice::WriteOnly | QIODevice::Unbuffered : QIODevice::WriteOnly;
    if (!m_file->open(m_fd, mode, QFileDevice::DontCloseHandle))
        cannotCreate(m_file->errorString());
    // A replaced file keeps who may read it.
    if (node && S_ISREG(node->st_mode) && !m_aside.isEmpty())
        ::fchmod(m_fd, node->st_mode & 07777);
}

TBrSaveFile::~TBrSaveFile() {
    discard();
}

void TBrSaveFile::discard() {
    m_file.reset();
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    if (!m_aside.isEmpty())
        ::unlink(QFile::encodeName(m_aside).constData());
    m_aside.clear();
}

void TBrSaveFile::openAside() {
    // Created exclusively and never through a link: nothing planted under the
    // name can be written to or removed in our place.
    const QString aside = AsideName(m_fileName);
    m_fd = ::open(QFile::encodeName(aside).constData(),
                  O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (m_fd < 0)
        cannotCreate(SystemReason(errno));
    m_aside = aside;
}

void TBrSaveFile::openInPlace() {
    m_fd = ::open(QFile::encodeName(m_fileName).constData(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC);
    if (m_fd < 0)
        cannotCreate(SystemReason(errno));
}

QFileDevice& TBrSaveFile::device() {
    return *m_file;
}

QString TBrSaveFile::writtenName() const {
    return m_aside.isEmpty() ? m_fileName : m_aside;
}

void TBrSaveFile::write(const char* data, qint64 n) {
    if (m_file->write(data, n) != n)
        throw EFWriteError::onFile(QFileInfo(m_fileName).absoluteFilePath(), m_file->errorString());
}

void TBrSaveFile::finish() {
    if (m_fd < 0)
        return;
    if (m_file->error() != QFileDevice::NoError || !m_file->flush())
        cannotCreate(m_file->errorString());
    m_file->close();
    // A regular file's data is on disk before its name points at it; a
    // device or pipe has nothing to sync.
    if (!m_aside.isEmpty() && ::fsync(m_fd) != 0)
        cannotCreate(SystemReason(errno));
    const int fd = std::exchange(m_fd, -1);
    if (::close(fd) != 0)
        cannotCreate(SystemReason(errno));
}

void TBrSaveFile::commit() {
    finish();
    if (m_aside.isEmpty())
        return;
    if (::rename(QFile::encodeName(m_aside).constData(),
                 QFile::encodeName(m_fileName).constData()) != 0)
        cannotCreate(SystemReason(errno));
    m_aside.clear();
}

void TBrSaveFile::cannotCreate(const QString& reason) const {
    throw EFCreateError(QFileInfo(m_fileName).absoluteFilePath(), reason);
}

} // namespace tavim
