#include "engine/print/AsideFile.h"

#include "error/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavim {

namespace {

constexpr int kNameAttempts = 100;
constexpr int kTagLength = 8;

QString randomTag() {
    static constexpr char kChars[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    QString tag;
    for (int i = 0; i < kTagLength; ++i)
        tag += QLatin1Char(kChars[QRandomGenerator::global()->bounded(int(sizeof kChars) - 1)]);
    return tag;
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

TAsideFile::TAsideFile(const QString& target) : m_target(QFileInfo(target).absoluteFilePath()) {
    struct stat existing {};
    const bool exists = lstat(QFile::encodeName(m_target).constData(), &existing) == 0;
    if (exists && !S_ISREG(existing.st_mode) && !S_ISLNK(existing.st_mode))
        throw EFCreateError(m_target, QStringLiteral("It is not a regular file."));
    const QFileInfo info(m_target);
    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        const QString name =
            info.dir().filePath(QStringLiteral(".%1.%2.pdf").arg(info.fileName(), randomTag()));
        // Exclusive: a name that exists, a link included, is never opened.
        const int fd = open(QFile::encodeName(name).constData(),
                            O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0)
            throw EFCreateError(m_target, systemReason(errno));
        // The new file keeps the permissions of the one it replaces.
        int error = 0;
        if (exists && S_ISREG(existing.st_mode) && fchmod(fd, existing.st_mode & 07777) != 0)
            error = errno;
        if (close(fd) != 0 && error == 0)
            error = errno;
        if (error != 0) {
            unlink(QFile::encodeName(name).constData());
            fail(error);
        }
        m_fileName = name;
        return;
    }
    throw EFCreateError(m_target, systemReason(EEXIST));
}

TAsideFile::~TAsideFile() {
    if (!m_committed && !m_fileName.isEmpty())
        unlink(QFile::encodeName(m_fileName).constData());
}

void TAsideFile::commit() {
    const QByteArray aside = QFile::encodeName(m_fileName);
    const int fd = open(aside.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        fail(errno);
    // A full disk may only show when the written pages reach it.
    const int synced = fsync(fd);
    const int error = errno;
    close(fd);
    if (synced != 0)
        fail(error);
    if (rename(aside.constData(), QFile::encodeName(m_target).constData()) != 0)
        fail(errno);
    m_committed = true;
}

void TAsideFile::fail(int error) const {
    throw EFCreateError(m_target, systemReason(error));
}

} // namespace tavim
