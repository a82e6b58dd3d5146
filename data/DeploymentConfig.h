#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>
#include <optional>

namespace tavim {

// The connection settings an office deploys in tavim.conf, an INI file whose
// [database] section holds location, user and password. Read once at start
// on the user-interface thread; a plain value, owned by whoever reads it.
struct DeploymentConfig {
    QString path; // the file read; empty when none was found
    std::optional<QString> location;
    std::optional<QString> user;
    std::optional<QString> password;
    QStringList warnings; // one line each, for standard error
};

// Where tavim.conf is looked for, in order: $XDG_CONFIG_HOME/tavim (by default
// ~/.config/tavim), then each folder of $XDG_CONFIG_DIRS (by default /etc/xdg).
QStringList DeploymentConfigCandidates();

// The first candidate that exists, read whole; the others are not read. One
// that exists but cannot be used (not a regular file, unreadable, larger than
// 64 KB, not text) throws "Cannot use settings file "<path>": <reason>",
// rather than leaving the program on another database.
DeploymentConfig ReadDeploymentConfig();

// The settings of one file's text. Lines that are neither a section, a
// "key = value" nor a comment (# or ;) are skipped with a warning; so are
// unknown keys of [database]. Other sections are left to other readers. A
// line with a NUL byte or that is not UTF-8 throws, as ReadDeploymentConfig.
DeploymentConfig ParseDeploymentConfig(const QString& path, QByteArrayView text,
                                       bool readableByOthers);

} // namespace tavim
