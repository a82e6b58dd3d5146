#include "data/DeploymentConfig.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

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
    const QStringList lines = QString::fromUtf8(text).split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
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
        const QFileInfo info(path);
        if (!info.exists())
            continue;
        DeploymentConfig unread;
        unread.path = path;
        QFile file(path);
        if (!info.isFile() || !file.open(QIODevice::ReadOnly)) {
            unread.warnings << QStringLiteral("%1 cannot be read, ignored").arg(path);
            return unread;
        }
        const QByteArray text = file.read(kMaxConfigBytes + 1);
        if (text.size() > kMaxConfigBytes) {
            unread.warnings << QStringLiteral("%1 is larger than %2 bytes, ignored")
                                   .arg(path)
                                   .arg(kMaxConfigBytes);
            return unread;
        }
        return ParseDeploymentConfig(path, text,
                                     info.permissions().testFlag(QFileDevice::ReadOther));
    }
    return {};
}

} // namespace tavim
