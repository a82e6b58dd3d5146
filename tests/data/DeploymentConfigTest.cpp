// tavim.conf: where it is looked for, what it may hold, and how it ranks
// against the environment and the declared properties.
#include "data/DeploymentConfig.h"
#include "data/DataModCad.h"

#include "ErrorText.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <sys/stat.h>

using namespace tavim;

namespace {

// Sets variables for one test and restores them after it.
class ScopedEnvironment {
public:
    void set(const char* name, const QString& value) {
        remember(name);
        qputenv(name, value.toLocal8Bit());
    }
    void unset(const char* name) {
        remember(name);
        qunsetenv(name);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_saved) {
            if (value)
                qputenv(name.c_str(), *value);
            else
                qunsetenv(name.c_str());
        }
    }

private:
    void remember(const char* name) {
        if (!m_saved.count(name))
            m_saved[name] = qEnvironmentVariableIsSet(name)
                                ? std::optional<QByteArray>(qgetenv(name))
                                : std::nullopt;
    }
    std::map<std::string, std::optional<QByteArray>> m_saved;
};

class DeploymentConfigFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        env.set("HOME", root.filePath("home"));
        env.unset("XDG_CONFIG_HOME");
        env.set("XDG_CONFIG_DIRS", root.filePath("site") + ":" + root.filePath("xdg"));
        for (const char* name : {"TAVIM_DATABASE", "TAVIM_USER", "TAVIM_PASSWORD"})
            env.unset(name);
    }

    // Writes folder/tavim/tavim.conf, readable by its owner only unless shared.
    QString write(const QString& folder, const QByteArray& text, bool shared = false) {
        const QString path = folder + "/tavim/tavim.conf";
        EXPECT_TRUE(QDir().mkpath(folder + "/tavim"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
        file.close();
        QFile::Permissions permissions = QFile::ReadOwner | QFile::WriteOwner;
        if (shared)
            permissions |= QFile::ReadGroup | QFile::ReadOther;
        file.setPermissions(permissions);
        return path;
    }
    QString location(const char* where) { return "[database]\nlocation = " + QString(where); }

    QTemporaryDir root;
    ScopedEnvironment env;
};

TEST_F(DeploymentConfigFiles, CandidatesFollowTheBaseDirectoryRules) {
    EXPECT_EQ(DeploymentConfigCandidates(),
              QStringList({root.filePath("home/.config/tavim/tavim.conf"),
                           root.filePath("site/tavim/tavim.conf"),
                           root.filePath("xdg/tavim/tavim.conf")}));
    env.set("XDG_CONFIG_HOME", root.filePath("cfg"));
    env.set("XDG_CONFIG_DIRS", "relative/ignored");
    EXPECT_EQ(DeploymentConfigCandidates(),
              QStringList({root.filePath("cfg/tavim/tavim.conf"), "/etc/xdg/tavim/tavim.conf"}));
}

// Each step adds a file earlier in the lookup order, which then wins whole.
TEST_F(DeploymentConfigFiles, TheFirstFileFoundIsTheOneRead) {
    EXPECT_EQ(ReadDeploymentConfig().path, "");
    const std::pair<QString, const char*> steps[] = {
        {root.filePath("xdg"), "xdg:/db.fdb"},
        {root.filePath("site"), "site:/db.fdb"},
        {root.filePath("home/.config"), "home:/db.fdb"},
    };
    for (const auto& [folder, where] : steps) {
        const QString path = write(folder, location(where).toUtf8());
        const DeploymentConfig config = ReadDeploymentConfig();
        EXPECT_EQ(config.path, path);
        EXPECT_EQ(config.location, QString(where));
        EXPECT_FALSE(config.user.has_value());
    }
    env.set("XDG_CONFIG_HOME", root.filePath("cfg"));
    write(root.filePath("cfg"), location("cfg:/db.fdb").toUtf8());
    EXPECT_EQ(ReadDeploymentConfig().location, QString("cfg:/db.fdb"));
}

TEST_F(DeploymentConfigFiles, APasswordOthersCanReadDrawsOneWarning) {
    const QByteArray text = "[database]\npassword = segredo\n";
    const QString path = write(root.filePath("xdg"), text, true);
    const DeploymentConfig shared = ReadDeploymentConfig();
    EXPECT_EQ(shared.password, QString("segredo"));
    ASSERT_EQ(shared.warnings.size(), 1);
    EXPECT_TRUE(shared.warnings[0].startsWith(path + " holds a password and can be read by other"));
    write(root.filePath("xdg"), text, false);
    EXPECT_TRUE(ReadDeploymentConfig().warnings.isEmpty());
    // Without a password there is nothing to hide.
    write(root.filePath("xdg"), location("h:/x.fdb").toUtf8(), true);
    EXPECT_TRUE(ReadDeploymentConfig().warnings.isEmpty());
}

// A file that is there but cannot be used stops the start, with its path and
// why, instead of leaving the program on the demo database; the data module
// made afterwards fails the same way.
TEST_F(DeploymentConfigFiles, AnUnusableFileIsRefusedWithItsPathAndReason) {
    const QString folder = root.filePath("site/tavim");
    const QString path = folder + "/tavim.conf";
    const struct {
        const char* name;
        std::function<void()> make;
        const char* reason;
    } cases[] = {
        {"folder", [&] { QDir().mkpath(path); }, "it is a folder"},
        {"fifo", [&] { ::mkfifo(QFile::encodeName(path), 0600); }, "it is not a regular file"},
        {"link to nothing", [&] { QFile::link(folder + "/gone", path); },
         "No such file or directory"},
        {"over 64 KB",
         [&] {
             write(root.filePath("site"), location("x:/y.fdb").toUtf8() + QByteArray(70000, '\n'));
         },
         "it is larger than 65536 bytes"},
        {"NUL in a section name",
         [&] {
             write(root.filePath("site"), QByteArray("[data\0base]\nlocation = x:/y.fdb\n", 33));
         },
         "line 1 holds a NUL byte"},
        {"not UTF-8", [&] { write(root.filePath("site"), "[database]\npassword = senh\xe3\n"); },
         "line 2 is not UTF-8 text"},
    };
    write(root.filePath("xdg"), location("fallback:/x.fdb").toUtf8());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        QDir(root.filePath("site")).removeRecursively();
        QDir().mkpath(folder);
        c.make();
        const QString expected = "Cannot use settings file \"" + path + "\": " + c.reason;
        EXPECT_EQ(test::errorOf([] { ReadDeploymentConfig(); }), expected);
        EXPECT_EQ(test::errorOf([] { TdmdCadastro dmd; }), expected);
    }
}

// --database is applied by the batch tool after the data module is made.
TEST_F(DeploymentConfigFiles, EnvironmentOverFileOverDeclaredProperties) {
    const auto params = [] {
        TdmdCadastro dmd;
        return QStringList{dmd.sql.param("Database"), dmd.sql.param("User_Name"),
                           dmd.sql.param("Password")};
    };
    EXPECT_EQ(params(), QStringList({defaultDatabasePath(), "SYSDBA", "tqzbrwomp"}));
    write(root.filePath("xdg"), "[database]\nlocation = srv:/imoveis.fdb\nuser = CLERK\n");
    EXPECT_EQ(params(), QStringList({"srv:/imoveis.fdb", "CLERK", "tqzbrwomp"}));
    env.set("TAVIM_USER", "OTHER");
    env.set("TAVIM_PASSWORD", "");
    EXPECT_EQ(params(), QStringList({"srv:/imoveis.fdb", "OTHER", ""}));
    env.set("TAVIM_DATABASE", "/local.fdb");
    EXPECT_EQ(params().first(), "/local.fdb");
}

struct ParseCase {
    const char* text;
    const char* location;
    const char* user;
    const char* password;
    int warnings;
};

TEST(DeploymentConfigText, Lines) {
    const ParseCase cases[] = {
        {"[database]\nlocation=h:/a.fdb\nuser=U\npassword=p", "h:/a.fdb", "U", "p", 0},
        {"# c\n; c\n\n  [ Database ]  \r\n  Location  =  h:/a b.fdb  \r\n", "h:/a b.fdb", nullptr,
         nullptr, 0},
        {"[database]\npassword = \" spaced \"\n", nullptr, nullptr, " spaced ", 0},
        {"[database]\npassword = a=b;c # not a comment\n", nullptr, nullptr,
         "a=b;c # not a comment", 0},
        {"[database]\nuser = Joaõ\nuser = second\n", nullptr, "second", nullptr, 0},
        {"location = outside\n[other]\nlocation = elsewhere\n", nullptr, nullptr, nullptr, 0},
        {"[database]\nhost = h\nnonsense\n= x\nlocation = ok\n", "ok", nullptr, nullptr, 3},
        {"[database]\nlocation =\n", "", nullptr, nullptr, 0},
    };
    for (const ParseCase& c : cases) {
        const DeploymentConfig config = ParseDeploymentConfig("t.conf", QByteArray(c.text), true);
        const auto expect = [&](const std::optional<QString>& got, const char* want) {
            EXPECT_EQ(got, want ? std::optional<QString>(QString::fromUtf8(want)) : std::nullopt)
                << c.text;
        };
        expect(config.location, c.location);
        expect(config.user, c.user);
        expect(config.password, c.password);
        // A password in a shared file adds its own warning.
        EXPECT_EQ(config.warnings.size(), c.warnings + (c.password ? 1 : 0)) << c.text;
    }
    EXPECT_EQ(ParseDeploymentConfig("t.conf", "[database]\nport = 1\n", false).warnings,
              QStringList("t.conf:2: unknown key 'port' in [database], ignored"));
}

} // namespace
