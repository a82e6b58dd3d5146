#include "tools/DemoDatabase.h"

#include "data/firebird/FirebirdSession.h"
#include "error/DatabaseError.h"
#include "error/FileError.h"
#include "tools/DemoContracts.h"
#include "tools/Schema.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace tavim {

namespace {

// The original failure matters more than one in removing the file it left.
void dropQuietly(FirebirdSession& session) noexcept {
    try {
        session.dropDatabase();
    } catch (const Exception&) {
    }
}

EDatabaseError alreadyExists(const QString& path) {
    return EDatabaseError(QStringLiteral("%1 already exists; it was not changed").arg(path));
}

// Never over a file that appeared at path meanwhile.
void putInPlace(const QString& aside, const QString& path) {
    const QByteArray from = QFile::encodeName(aside);
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, QFile::encodeName(path).constData(),
                    RENAME_NOREPLACE) == 0)
        return;
    const int error = errno;
    ::unlink(from.constData());
    if (error == EEXIST)
        throw alreadyExists(path);
    throw EDatabaseError(
        QStringLiteral("%1 could not be put in place: %2").arg(path, SystemReason(error)));
}

// The engine writes the pages with write(), not waiting for each: the file
// reaches the disk at once here, before it is put in place.
void syncToDisk(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0 || ::fsync(fd) != 0) {
        const int error = errno;
        if (fd >= 0)
            ::close(fd);
        throw EDatabaseError(
            QStringLiteral("%1 could not be written to disk: %2").arg(path, SystemReason(error)));
    }
    ::close(fd);
}

// Forced writes wait for the disk at every page, which made the build five
// times slower than the engine's work: the file is filled without them and
// gets them back, as every database has, once whole.
void restoreForcedWrites(const QString& path) {
    ConnectionOptions options = embeddedOptions();
    options.database = path;
    options.forcedWrites = true;
    {
        const FirebirdSession session(FbClient::load(QString::fromLatin1(kDefaultClientLibrary)),
                                      options);
    }
    syncToDisk(path);
}

} // namespace

ConnectionOptions embeddedOptions() {
    ConnectionOptions options;
    options.userName = QStringLiteral("SYSDBA");
    options.serverCharSet = QStringLiteral("WIN1252");
    options.sqlDialect = 1;
    return options;
}

void createDemoDatabase(const QString& path, int contracts, quint64 seed, QDate reference,
                        const std::function<void(const QString& file)>& building) {
    if (contracts < 0)
        throw EDatabaseError(QStringLiteral("Invalid number of contracts: %1").arg(contracts));
    const QFileInfo file(path);
    // CREATE DATABASE refuses an existing file as well; this gives the plain reason.
    if (file.exists() || file.isSymLink())
        throw alreadyExists(path);
    // A relative name would be looked up as a database alias by the engine.
    const QString aside = AsideName(file.absoluteFilePath());
    if (building)
        building(aside);
    ConnectionOptions unforced = embeddedOptions();
    unforced.forcedWrites = false;
    auto session = FirebirdSession::createDatabase(aside, unforced);
    try {
        runIsqlScript(*session, tavimSchemaScript());
        insertContracts(*session, demoContracts(contracts, seed, reference));
    } catch (...) {
        dropQuietly(*session);
        throw;
    }
    session.reset();
    try {
        restoreForcedWrites(aside);
    } catch (...) {
        ::unlink(QFile::encodeName(aside).constData());
        throw;
    }
    putInPlace(aside, path);
}

} // namespace tavim
