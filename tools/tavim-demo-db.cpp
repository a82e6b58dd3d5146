// tavim-demo-db: creates a Firebird database with the Tavim schema and demo contracts.
#include "error/Exception.h"
#include "tools/DemoDatabase.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QStringList>
#include <csignal>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>
#include <unistd.h>

#ifndef TAVIM_VERSION
#define TAVIM_VERSION "0.0.0"
#endif

namespace {

constexpr int kDefaultContracts = 240;
constexpr int kMaxContracts = 2'000'000;
constexpr quint64 kDefaultSeed = 1;

const char kUsage[] = "Usage: tavim-demo-db PATH [--contracts N] [--seed S] [--month YYYY-MM]\n"
                      "       tavim-demo-db --help | --version\n";

const char kHelp[] = "\n"
                     "Creates the Firebird database file PATH through the embedded engine (no\n"
                     "server needed), with the schema of tools/tavim.sql and N demo contracts.\n"
                     "\n"
                     "  --contracts N    number of contracts, 0 to 2000000 (default 240)\n"
                     "  --seed S         seed of the generator, 0 to 2^64-1 (default 1)\n"
                     "  --month YYYY-MM  month of reference (default: the current month of the\n"
                     "                   local clock)\n"
                     "  --help, -h       shows this text\n"
                     "  --version        shows the version\n"
                     "\n"
                     "Contracts start within the five years up to the month of reference, many\n"
                     "of them open-ended, so that every month of its year and of the two years\n"
                     "before has contracts. The same seed and month of reference give the same\n"
                     "database on every machine, whatever the day of the month. PATH must not\n"
                     "exist: an existing file is never overwritten.\n"
                     "\n"
                     "Exit codes: 0 created, 1 the database could not be created (message on\n"
                     "standard error), 2 usage error.\n";

struct Arguments {
    QString path;
    int contracts = kDefaultContracts;
    quint64 seed = kDefaultSeed;
    QDate month = QDate::currentDate();
    bool help = false;
    bool version = false;
};

struct UsageError {
    QString message;
};

std::optional<int> parseContracts(const QString& text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 0 || value > kMaxContracts)
        return std::nullopt;
    return value;
}

std::optional<quint64> parseSeed(const QString& text) {
    bool ok = false;
    const quint64 value = text.toULongLong(&ok);
    // toULongLong takes "+1"; the seed is plain digits.
    if (!ok || text.startsWith(u'+'))
        return std::nullopt;
    return value;
}

std::optional<QDate> parseMonth(const QString& text) {
    const QDate date = QDate::fromString(text + QStringLiteral("-01"), u"yyyy-MM-dd");
    if (!date.isValid())
        return std::nullopt;
    return date;
}

// "--name value" or "--name=value".
QString optionValue(const QStringList& args, int& i, const QString& name) {
    const QString& arg = args[i];
    if (arg.size() > name.size() && arg.startsWith(name + u'='))
        return arg.mid(name.size() + 1);
    if (i + 1 >= args.size())
        throw UsageError{QStringLiteral("%1 needs a value").arg(name)};
    return args[++i];
}

bool isOption(const QString& arg, const QString& name) {
    return arg == name || arg.startsWith(name + u'=');
}

template <typename T>
T parsed(const std::optional<T>& value, const QString& name, const QString& text) {
    if (!value)
        throw UsageError{QStringLiteral("invalid %1 value '%2'").arg(name, text)};
    return *value;
}

void parseOption(const QStringList& args, int& i, Arguments& out) {
    const QString& arg = args[i];
    for (const QString& name :
         {QStringLiteral("--contracts"), QStringLiteral("--seed"), QStringLiteral("--month")}) {
        if (!isOption(arg, name))
            continue;
        const QString value = optionValue(args, i, name);
        if (name == u"--contracts")
            out.contracts = parsed(parseContracts(value), name, value);
        else if (name == u"--seed")
            out.seed = parsed(parseSeed(value), name, value);
        else
            out.month = parsed(parseMonth(value), name, value);
        return;
    }
    throw UsageError{QStringLiteral("unknown option %1").arg(arg)};
}

Arguments parseArguments(const QStringList& args) {
    Arguments out;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == u"--help" || arg == u"-h")
            out.help = true;
        else if (arg == u"--version")
            out.version = true;
        else if (arg.startsWith(u'-') && arg != u"-")
            parseOption(args, i, out);
        else if (out.path.isEmpty())
            out.path = arg;
        else
            throw UsageError{QStringLiteral("more than one PATH")};
    }
    if (out.path.isEmpty() && !out.help && !out.version)
        throw UsageError{QStringLiteral("PATH is missing")};
    return out;
}

// The database being built: a stopped run leaves nothing of its own behind.
// The stop signals are blocked in every thread (the engine's included, whose
// own handlers would otherwise take them) and read by one thread, which
// removes the file and ends the process.
std::mutex g_buildingMutex;
QByteArray g_building;

void removeWhenStopped(const QString& file) {
    const std::lock_guard lock(g_buildingMutex);
    g_building = QFile::encodeName(file);
}

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP})
        sigaddset(&set, signal);
    return set;
}

// Before any other thread exists, so that every thread inherits the mask.
void takeStopSignals() {
    const sigset_t set = stopSignals();
    if (pthread_sigmask(SIG_BLOCK, &set, nullptr) != 0)
        return;
    std::thread([set] {
        int signal = 0;
        if (sigwait(&set, &signal) != 0)
            return;
        {
            const std::lock_guard lock(g_buildingMutex);
            if (!g_building.isEmpty())
                ::unlink(g_building.constData());
        }
        ::_exit(128 + signal);
    }).detach();
}

int run(const Arguments& args) {
    try {
        tavim::createDemoDatabase(args.path, args.contracts, args.seed, args.month,
                                  removeWhenStopped);
    } catch (const tavim::Exception& e) {
        std::fprintf(stderr, "tavim-demo-db: %s\n", e.what());
        return 1;
    }
    std::printf("Created %s with %d contracts\n",
                QFileInfo(args.path).absoluteFilePath().toLocal8Bit().constData(), args.contracts);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    takeStopSignals();
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    try {
        const Arguments parsedArgs = parseArguments(args);
        if (parsedArgs.help) {
            std::printf("%s%s", kUsage, kHelp);
            return 0;
        }
        if (parsedArgs.version) {
            std::printf("tavim-demo-db %s\n", TAVIM_VERSION);
            return 0;
        }
        return run(parsedArgs);
    } catch (const UsageError& e) {
        std::fprintf(stderr, "tavim-demo-db: %s\n%s", e.message.toLocal8Bit().constData(), kUsage);
        return 2;
    }
}
