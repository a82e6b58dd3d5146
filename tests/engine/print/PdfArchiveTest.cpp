// PDFs for the archive: PDF/A-1b identification and the document information,
// as another program (pdfinfo) reads them back.

#include "engine/print/PdfArchive.h"
#include "error/Exception.h"
#include "tests/ToolOutput.h"
#include "tests/engine/EngineTestSupport.h"

#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace tavim;

namespace {

QString pdfinfo(const QStringList& args) {
    return test::runTool(QStringLiteral("pdfinfo"), args);
}

QString field(const QString& info, const QString& name) {
    return test::toolField(info, name);
}

void writePdf(const QString& file, const TPdfInfo& info, int pages) {
    QPdfWriter writer(file);
    PrepareArchivePdf(writer, info);
    QPainter painter(&writer);
    for (int n = 1; n <= pages; ++n) {
        if (n > 1)
            writer.newPage();
        painter.drawText(100, 100, QStringLiteral("Página %1").arg(n));
    }
    ASSERT_TRUE(painter.end());
}

TEST(PdfArchive, TitleAuthorCreatorAndPdfAIdentificationReadBack) {
    for (const auto& c : test::archivedPdfCases()) {
        QTemporaryDir dir;
        const QString file = dir.filePath(QStringLiteral("archived.pdf"));
        writePdf(file, c.info, c.pages);
        AddPdfAuthor(file, c.info.author);

        const QString info = pdfinfo({file});
        EXPECT_EQ(field(info, QStringLiteral("Title")), c.info.title);
        EXPECT_EQ(field(info, QStringLiteral("Author")), c.info.author);
        EXPECT_EQ(field(info, QStringLiteral("Creator")), QStringLiteral("Tavim"));
        EXPECT_EQ(field(info, QStringLiteral("Pages")), QString::number(c.pages));
        const QString meta = pdfinfo({QStringLiteral("-meta"), file});
        EXPECT_TRUE(meta.contains(QStringLiteral("pdfaid:part=\"1\""))) << meta.toStdString();
        EXPECT_TRUE(meta.contains(QStringLiteral("pdfaid:conformance=\"B\"")));
        EXPECT_TRUE(meta.contains(QStringLiteral("<dc:creator>")));
        EXPECT_TRUE(meta.contains(c.info.author.toHtmlEscaped()));
    }
}

TEST(PdfArchive, AnEmptyAuthorLeavesTheFileAsWritten) {
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("plain.pdf"));
    writePdf(file, {QStringLiteral("Título"), QString()}, 1);
    const qint64 size = QFileInfo(file).size();
    AddPdfAuthor(file, QString());
    EXPECT_EQ(QFileInfo(file).size(), size);
    EXPECT_EQ(field(pdfinfo({file}), QStringLiteral("Title")), QStringLiteral("Título"));
}

TEST(PdfArchive, FilesItCannotUpdateAreRefusedUntouched) {
    QTemporaryDir dir;
    const QByteArray notPdf = "not a PDF at all\n";
    const QByteArray cut = "%PDF-1.4\n1 0 obj\n<<>>\nendobj\ntrailer\n<< /Size 2 >>\n";
    for (const QByteArray& content : {notPdf, cut, QByteArray()}) {
        const QString file = dir.filePath(QStringLiteral("bad.pdf"));
        QFile out(file);
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(content);
        out.close();
        EXPECT_THROW(AddPdfAuthor(file, QStringLiteral("Firma")), Exception);
        QFile in(file);
        ASSERT_TRUE(in.open(QIODevice::ReadOnly));
        EXPECT_EQ(in.readAll(), content);
    }
    try {
        AddPdfAuthor(dir.filePath(QStringLiteral("missing.pdf")), QStringLiteral("Firma"));
        FAIL() << "a missing file was accepted";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.message().startsWith(QStringLiteral("Cannot open file \"")))
            << e.message().toStdString();
    }
}

} // namespace
