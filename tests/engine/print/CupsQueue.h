#pragma once

// The test queue of scripts/cups: a cups-pdf printer whose jobs arrive as PDFs
// in $HOME/PDF. Tests that print to it run only with TAVIM_TEST_CUPS=1.

#include <QDateTime>
#include <QDir>
#include <QMap>
#include <QProcess>
#include <QStringList>
#include <QThread>

namespace tavim::test {

inline bool cupsQueueEnabled() {
    return qgetenv("TAVIM_TEST_CUPS") == "1";
}

inline QString pdfInfo(const QString& fileName) {
    QProcess pdfinfo;
    pdfinfo.start(QStringLiteral("pdfinfo"), {fileName});
    pdfinfo.waitForFinished(10'000);
    return pdfinfo.exitCode() == 0 ? QString::fromUtf8(pdfinfo.readAllStandardOutput()) : QString();
}

// The page count pdfinfo reports, or -1 while the file is not a complete PDF.
inline int pdfPages(const QString& fileName) {
    const QString out = pdfInfo(fileName);
    const qsizetype at = out.indexOf(QStringLiteral("Pages:"));
    return at < 0 ? -1 : out.mid(at + 6, out.indexOf(u'\n', at) - at - 6).trimmed().toInt();
}

inline QString pdfText(const QString& fileName, int page) {
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"),
                    {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                     QString::number(page), fileName, QStringLiteral("-")});
    pdftotext.waitForFinished(10'000);
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

// Pauses the test queue for as long as it lives: CUPS reports it stopped.
class PausedQueue {
public:
    PausedQueue() { run(QStringLiteral("cupsdisable")); }
    ~PausedQueue() { run(QStringLiteral("cupsenable")); }
    PausedQueue(const PausedQueue&) = delete;
    PausedQueue& operator=(const PausedQueue&) = delete;

private:
    static void run(const QString& command) {
        QProcess process;
        process.start(command, {QStringLiteral("TavimPDF")});
        process.waitForFinished(10'000);
    }
};

// The PDFs the queue writes from now on (cups-pdf may rewrite a file of the
// same title, so a file counts when it is new or changed).
class CupsOutput {
public:
    CupsOutput() : m_dir(QDir::homePath() + QStringLiteral("/PDF")) {
        for (const QFileInfo& info : pdfs())
            m_before.insert(info.fileName(), info.lastModified());
    }

    // Waits, within a bound, until `count` complete PDFs have arrived; returns
    // those that have.
    QStringList waitFor(int count, int seconds = 90) const {
        QStringList done;
        for (int tick = 0; tick < seconds * 10; ++tick) {
            done.clear();
            for (const QString& file : arrived()) {
                if (pdfPages(file) > 0)
                    done << file;
            }
            if (done.size() >= count)
                break;
            QThread::msleep(100);
        }
        return done;
    }

    QStringList arrived() const {
        QStringList found;
        for (const QFileInfo& info : pdfs()) {
            const auto it = m_before.find(info.fileName());
            if (it == m_before.end() || it.value() != info.lastModified())
                found << info.filePath();
        }
        return found;
    }

private:
    QFileInfoList pdfs() const {
        return m_dir.entryInfoList({QStringLiteral("*.pdf")}, QDir::Files);
    }

    QDir m_dir;
    QMap<QString, QDateTime> m_before;
};

} // namespace tavim::test
