#include "data/DeploymentConfig.h"

#include "error/Exception.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QStringDecoder>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavim {

namespace {

// A hand-edited settings file is small; anything larger is not one.
constexpr qint64 kMaxConfigBytes = 64 * 1024;

QString configHome() {
    const QString home = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (QDir::isAbsolutePath(home))
        return home;
    return QDir::homePath() + QStringLiteral("/.config");
}

QStringList configDirs() {
    QStringList dirs;
    for (const QString& dir :
         qEnvironmentVariable("XDG_CONFIG_DIRS").split(QLatin1Char(':'), Qt::SkipEmptyParts)) {
        // Relative entries are invalid and ignored, as the base directory rules say.
        if (QDir::isAbsolutePath(dir))
            dirs << dir;
    }
    if (dirs.isEmpty())
        dirs << QStringLiteral("/etc/xdg");
    return dirs;
}

// "value", with surrounding double quotes removed so that blanks at either end can be kept.
QString unquoted(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) && value.endsWith(QLatin1Char('"')))
        return value.mid(1, value.size() - 2);
    return value;
}

std::optional<QString>* settingFor(DeploymentConfig& config, const QString& key) {
    if (key == u"location")
        return &config.location;
    if (key == u"user")
        return &config.user;
    if (key == u"password")
        return &config.password;
    return nullptr;
}

[[noreturn]] void unusable(const QString& path, const QString& reason) {
    throw Exception(QStringLiteral("Cannot use settings file \"%1\": %2").arg(path, reason));
}

QString systemReason(int error) {
    return QString::fromLocal8Bit(std::strerror(error));
}

// Only a file that is not there lets the next candidate be read: one that is
// there but cannot be examined may be the office's.
bool isThere(const QString& path) {
    struct stat status {};
    if (::lstat(QFile::encodeName(path).constData(), &status) == 0)
        return true;
    if (errno == ENOENT || errno == ENOTDIR)
        return false;
    unusable(path, systemReason(errno));
}

struct ConfigText {
    QByteArray text;
    bool readableByOthers = false;
};

// Opened without blocking, so that a FIFO in the file's place cannot hold the start.
ConfigText readWhole(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        unusable(path, systemReason(errno));
    const auto closeFile = qScopeGuard([fd] { ::close(fd); });
    struct stat status {};
    if (::fstat(fd, &status) != 0)
        unusable(path, systemReason(errno));
    if (S_ISDIR(status.st_mode))
        unusable(path, QStringLiteral("it is a folder"));
    if (!S_ISREG(status.st_mode))
        unusable(path, QStringLiteral("it is not a regular file"));
    QByteArray text(kMaxConfigBytes + 1, Qt::Uninitialized);
    qint64 got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd, text.data() + got, std::size_t(text.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            unusable(path, systemReason(errno));
        if (n == 0)
            break;
        got += n;
    }
    if (got > kMaxConfigBytes)
        unusable(path, QStringLiteral("it is larger than %1 bytes").arg(kMaxConfigBytes));
    text.truncate(got);
    return {text, (status.st_mode & S_IROTH) != 0};
}

// A line that is not text makes the whole file suspect, so it is refused
// rather than skipped like a malformed line.
QString decodedLine(const QString& path, QByteArrayView bytes, qsizetype number) {
    if (bytes.contains('\0'))
        unusable(path, QStringLiteral("line %1 holds a NUL byte").arg(number));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString line = decoder.decode(bytes);
    if (decoder.hasError())
        unusable(path, QStringLiteral("line %1 is not UTF-8 text").arg(number));
    return line;
}

} // namespace

QStringList DeploymentConfigCandidates() {
    QStringList candidates{configHome() + QStringLiteral("/tavim/tavim.conf")};
    for (const QString& dir : configDirs())
        candidates << dir + QStringLiteral("/tavim/tavim.conf");
    return candidates;
}

DeploymentConfig ParseDeploymentConfig(const QString& path, QByteArrayView text,
                                       bool readableByOthers) {
    DeploymentConfig config;
    config.path = path;
    QString section;
    const QList<QByteArray> lines = text.toByteArray().split('\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = decodedLine(path, lines[i], i + 1).trimmed();
        const QString where = QStringLiteral("%1:%2").arg(path).arg(i + 1);
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')) ||
            line.startsWith(QLatin1Char(';')))
            continue;
        if (line.startsWith(QLatin1Char('[')) && line.endsWith(QLatin1Char(']'))) {
            section = line.mid(1, line.size() - 2).trimmed().toLower();
            continue;
        }
        const qsizetype equals = line.indexOf(QLatin1Char('='));
        if (equals <= 0) {
            config.warnings
                << QStringLiteral("%1: not a [section] or key = value line, ignored").arg(where);
            continue;
        }
        if (section != u"database")
            continue;
        const QString key = line.left(equals).trimmed().toLower();
        std::optional<QString>* setting = settingFor(config, key);
        if (!setting) {
            config.warnings
                << QStringLiteral("%1: unknown key '%2' in [database], ignored").arg(where, key);
            continue;
        }
        *setting = unquoted(line.mid(equals + 1).trimmed());
    }
    if (config.password && readableByOthers)
        config.warnings << QStringLiteral("%1 holds a password and can be read by other users "
                                          "(chmod o-r %1)")
                               .arg(path);
    return config;
}

DeploymentConfig ReadDeploymentConfig() {
    for (const QString& path : DeploymentConfigCandidates()) {
        if (!isThere(path))
            continue;
        const ConfigText config = readWhole(path);
        return ParseDeploymentConfig(path, config.text, config.readableByOthers);
    }
    return {};
}

} // namespace tavim
