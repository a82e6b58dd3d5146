#include "engine/store/BrStream.h"

#include "engine/print/BrSaveFile.h"
#include "error/Exception.h"
#include "error/FileError.h"

#include <QDir>
#include <QFileInfo>
#include <QTemporaryFile>

#include <algorithm>
#include <cstring>

namespace tavim {

namespace {

[[noreturn]] void readError() {
    throw Exception(QStringLiteral("Stream read error"));
}

[[noreturn]] void writeError(const QString& fileName, const QFileDevice& file) {
    throw EFWriteError::onFile(QFileInfo(fileName).absoluteFilePath(), file.errorString());
}

// A visible "BRP…" file in the temporary folder, removed with the stream.
std::unique_ptr<QFileDevice> openTemporaryFile() {
    auto file = std::make_unique<QTemporaryFile>(TBrStream::temporaryFolder() +
                                                 QStringLiteral("/BRPXXXXXX"));
    if (!file->open()) {
        throw EFCreateError(QDir::toNativeSeparators(file->fileTemplate()), file->errorString());
    }
    // Qt may keep the file unnamed until asked.
    file->fileName();
    return file;
}

} // namespace

TBrStream::TBrStream() : TBrStream(openTemporaryFile) {}

TBrStream::TBrStream(SpillFile openSpillFile) : m_openSpillFile(std::move(openSpillFile)) {}

// Qt answers "/" (its canonical form of an empty path) for a TMPDIR that does
// not exist.
QString TBrStream::temporaryFolder() {
    const QString folder = QDir::tempPath();
    if (!folder.isEmpty() && folder != QStringLiteral("/"))
        return folder;
    const QString asked = qEnvironmentVariable("TMPDIR");
    return asked.isEmpty() ? folder : QDir::cleanPath(asked);
}

TBrStream::~TBrStream() = default;

std::unique_ptr<TBrStream> TBrStream::openFile(const QString& fileName) {
    auto file = std::make_unique<QFile>(fileName);
    if (!file->open(QIODevice::ReadOnly)) {
        throw Exception(QStringLiteral("Cannot open file \"%1\". %2")
                            .arg(QFileInfo(fileName).absoluteFilePath(), file->errorString()));
    }
    auto stream = std::make_unique<TBrStream>();
    // The size at opening bounds every read, whatever happens to the file later.
    stream->m_size = file->size();
    stream->m_file = file.get();
    stream->m_ownFile = std::move(file);
    stream->m_readOnly = true;
    return stream;
}

std::unique_ptr<TBrStream> TBrStream::createFile(const QString& fileName) {
    auto stream = std::make_unique<TBrStream>();
    stream->m_target = std::make_unique<TBrSaveFile>(fileName);
    stream->m_file = &stream->m_target->device();
    return stream;
}

qint64 TBrStream::size() const {
    std::lock_guard lock(m_mutex);
    return m_size;
}

qint64 TBrStream::position() const {
    std::lock_guard lock(m_mutex);
    return m_position;
}

void TBrStream::seek(qint64 position) {
    std::lock_guard lock(m_mutex);
    m_position = std::clamp<qint64>(position, 0, m_size);
}

// The file's own position is moved only when it differs from the stream's.
bool TBrStream::placeFile() {
    return m_file->pos() == m_position || m_file->seek(m_position);
}

void TBrStream::read(char* data, qint64 n) {
    std::lock_guard lock(m_mutex);
    if (n < 0 || n > m_size - m_position)
        readError();
    if (!m_file) {
        std::memcpy(data, m_memory.constData() + m_position, static_cast<std::size_t>(n));
    } else if (m_target || !placeFile() || m_file->read(data, n) != n) {
        readError();
    }
    m_position += n;
}

void TBrStream::write(const char* data, qint64 n) {
    std::lock_guard lock(m_mutex);
    if (m_readOnly || n < 0)
        throw Exception(QStringLiteral("Stream write error"));
    if (!m_file && m_position + n > kMemoryLimit)
        spill();
    if (m_file) {
        // Flushed at once: a full disk fails this write, not a later one.
        if (!placeFile() || m_file->write(data, n) != n || !m_file->flush())
            writeError(m_target ? m_target->fileName() : m_file->fileName(), *m_file);
    } else {
        if (m_position + n > m_memory.size())
            m_memory.resize(m_position + n);
        std::memcpy(m_memory.data() + m_position, data, static_cast<std::size_t>(n));
    }
    m_position += n;
    m_size = std::max(m_size, m_position);
}

// Moves the memory content into a new temporary file, once.
void TBrStream::spill() {
    std::unique_ptr<QFileDevice> file = m_openSpillFile();
    if (file->write(m_memory) != m_memory.size() || !file->flush())
        writeError(file->fileName(), *file);
    m_memory = QByteArray();
    m_file = file.get();
    m_ownFile = std::move(file);
}

void TBrStream::copyTo(TBrSaveFile& out) {
    std::lock_guard lock(m_mutex);
    if (m_target)
        readError();
    if (!m_file) {
        for (qint64 at = 0; at < m_memory.size(); at += kCopyPiece) {
            const qint64 n = std::min(kCopyPiece, m_memory.size() - at);
            out.write(m_memory.constData() + at, n);
        }
        return;
    }
    if (!m_file->seek(0))
        readError();
    char piece[kCopyPiece];
    for (qint64 left = m_size; left > 0;) {
        const qint64 n = m_file->read(piece, std::min(kCopyPiece, left));
        if (n <= 0)
            readError();
        out.write(piece, n);
        left -= n;
    }
}

void TBrStream::commit() {
    std::lock_guard lock(m_mutex);
    if (!m_target || m_readOnly)
        return;
    m_target->commit();
    // The committed file belongs to whoever asked for it: nothing more goes in.
    m_readOnly = true;
}

bool TBrStream::inFile() const {
    std::lock_guard lock(m_mutex);
    return m_file != nullptr;
}

QString TBrStream::fileName() const {
    std::lock_guard lock(m_mutex);
    if (m_target)
        return m_target->writtenName();
    return m_file ? m_file->fileName() : QString();
}

} // namespace tavim
