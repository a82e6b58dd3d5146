#include "engine/export/BrSaveFolder.h"

#include "error/FileError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavim {

namespace {

QByteArray native(const QString& path) {
    return QFile::encodeName(path);
}

QStringList entriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden |
                                  QDir::System);
}

// Removes a folder this object made and the files it put there.
void removeMadeFolder(const QString& folder) {
    for (const QString& name : entriesOf(folder))
        ::unlink(native(QDir(folder).filePath(name)).constData());
    ::rmdir(native(folder).constData());
}

} // namespace

TBrSaveFolder::TBrSaveFolder(const QString& folder, SetFile isSetFile) : m_isSetFile(isSetFile) {
    // A folder the user names through a link is the folder linked to: the
    // set goes where the link leads, beside that folder.
    const QFileInfo info(QDir::cleanPath(QFileInfo(folder).absoluteFilePath()));
    m_target = info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
    if (info.exists() && !info.isDir())
        cannotCreate(SystemReason(ENOTDIR));
    try {
        const QString parent = QFileInfo(m_target).path();
        makeLeadingFolders(parent);
        makeStaging();
    } catch (...) {
        discard();
        throw;
    }
}

TBrSaveFolder::~TBrSaveFolder() {
    discard();
}

void TBrSaveFolder::discard() {
    if (!m_staging.isEmpty())
        removeMadeFolder(m_staging);
    m_staging.clear();
    for (auto it = m_madeFolders.crbegin(); it != m_madeFolders.crend(); ++it)
        ::rmdir(native(*it).constData());
    m_madeFolders.clear();
}

void TBrSaveFolder::makeLeadingFolders(const QString& parent) {
    QStringList missing;
    for (QString at = parent; !QFileInfo::exists(at); at = QFileInfo(at).path())
        missing.prepend(at);
    for (const QString& folder : missing) {
        if (::mkdir(native(folder).constData(), 0777) != 0)
            cannotCreate(SystemReason(errno));
        m_madeFolders << folder;
    }
}

// Beside the target, so that the set can be exchanged whole; inside an
// existing target when its parent may not be written (a shared folder's
// subfolder, the home folder's own), and the set's files are then replaced
// one by one.
void TBrSaveFolder::makeStaging() {
    QString staging = AsideName(m_target);
    if (::mkdir(native(staging).constData(), 0777) != 0) {
        const int besideError = errno;
        staging = QDir(m_target).filePath(QFileInfo(AsideName(m_target)).fileName());
        if (!QFileInfo(m_target).isDir() || ::mkdir(native(staging).constData(), 0777) != 0)
            cannotCreate(SystemReason(besideError));
    }
    m_staging = staging;
}

QString TBrSaveFolder::path() const {
    return m_staging;
}

// A folder under a set file's name is the user's: the set cannot go in, and
// nothing is touched.
void TBrSaveFolder::checkNoFolderInTheWay() const {
    for (const QString& name : entriesOf(m_staging)) {
        const QString inTarget = QDir(m_target).filePath(name);
        struct stat node {};
        if (::lstat(native(inTarget).constData(), &node) == 0 && S_ISDIR(node.st_mode))
            throw EFCreateError(inTarget, SystemReason(EISDIR));
    }
}

bool TBrSaveFolder::holdsOnlySetFiles() const {
    const QStringList names = entriesOf(m_target);
    return std::all_of(names.begin(), names.end(), m_isSetFile);
}

// Files of the user's beside the set stay; the set's own are replaced (a link
// under a set file's name is replaced, never followed).
void TBrSaveFolder::replaceFileByFile() {
    const QStringList fresh = entriesOf(m_staging);
    for (const QString& name : entriesOf(m_target)) {
        if (m_isSetFile(name) && !fresh.contains(name) &&
            ::unlink(native(QDir(m_target).filePath(name)).constData()) != 0)
            cannotCreate(SystemReason(errno));
    }
    for (const QString& name : fresh) {
        if (::rename(native(QDir(m_staging).filePath(name)).constData(),
                     native(QDir(m_target).filePath(name)).constData()) != 0)
            cannotCreate(SystemReason(errno));
    }
    removeMadeFolder(m_staging);
}

void TBrSaveFolder::commit() {
    const QByteArray staging = native(m_staging);
    const QByteArray target = native(m_target);
    struct stat node {};
    if (::lstat(target.constData(), &node) != 0) {
        if (::rename(staging.constData(), target.constData()) != 0)
            cannotCreate(SystemReason(errno));
    } else {
        checkNoFolderInTheWay();
        if (holdsOnlySetFiles() && ::renameat2(AT_FDCWD, staging.constData(), AT_FDCWD,
                                               target.constData(), RENAME_EXCHANGE) == 0)
            removeMadeFolder(m_staging); // the earlier set, where the new one was written
        else
            replaceFileByFile();
    }
    m_staging.clear();
    m_madeFolders.clear();
}

void TBrSaveFolder::cannotCreate(const QString& reason) const {
    throw EFCreateError(m_target, reason);
}

} // namespace tavim
