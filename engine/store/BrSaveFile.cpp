#include "engine/store/BrSaveFile.h"

#include "error/Exception.h"
#include "error/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tavim {

namespace {

// Replacing a device node by renaming a regular file over it would destroy it
// (as root even /dev/full): only regular files and new names are written aside.
bool writtenInPlace(const QString& fileName) {
    const QFileInfo info(fileName);
    return info.exists() && !info.isFile() && !info.isDir();
}

} // namespace

TBrSaveFile::TBrSaveFile(const QString& fileName) : m_fileName(fileName) {
    if (writtenInPlace(fileName)) {
        auto file = std::make_unique<QFile>(fileName);
        // Unbuffered, so that a refused write fails the write itself.
        if (!file->open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
            m_file = std::move(file);
            cannotCreate();
        }
        m_file = std::move(file);
        return;
    }
    auto file = std::make_unique<QSaveFile>(fileName);
    const bool opened = file->open(QIODevice::WriteOnly);
    m_file = std::move(file);
    if (!opened)
        cannotCreate();
}

TBrSaveFile::~TBrSaveFile() = default;

QFileDevice& TBrSaveFile::device() {
    return *m_file;
}

void TBrSaveFile::commit() {
    if (auto* aside = qobject_cast<QSaveFile*>(m_file.get())) {
        if (!aside->commit())
            cannotCreate();
        return;
    }
    // Unbuffered: a refused write left its error and nothing for flush to find.
    if (m_file->error() != QFileDevice::NoError || !m_file->flush())
        cannotCreate();
    m_file->close();
}

void TBrSaveFile::cannotCreate() const {
    throw EFCreateError(QFileInfo(m_fileName).absoluteFilePath(), m_file->errorString());
}

} // namespace tavim
