#include "engine/print/PdfArchive.h"

#include "error/Exception.h"
#include "error/FileError.h"

#include <QFile>
#include <QFileInfo>
#include <QPdfWriter>
#include <QPrinter>
#include <QRegularExpression>

namespace tavim {

namespace {

constexpr qint64 kTailBytes = 2048;
constexpr qint64 kMaxObjectBytes = 256 * 1024;
constexpr int kXrefEntryBytes = 20;

Exception cannotOpen(const QString& fileName, const QString& reason) {
    return Exception(QStringLiteral("Cannot open file \"%1\". %2")
                         .arg(QFileInfo(fileName).absoluteFilePath(), reason));
}

Exception notOurPdf(const QString& fileName) {
    return cannotOpen(fileName, QStringLiteral("The PDF has an unexpected structure."));
}

// The classic cross-reference table and trailer that QPdfWriter ends a file with.
class PdfFile {
public:
    explicit PdfFile(const QString& fileName) : m_name(fileName), m_file(fileName) {
        if (!m_file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
            throw cannotOpen(fileName, m_file.errorString());
        readTrailer();
        readXrefHeader();
    }

    int size() const { return m_size; }
    int infoObject() const { return m_info; }
    int rootObject() const { return m_root; }
    const QByteArray& id() const { return m_id; }
    qint64 xrefOffset() const { return m_xref; }

    // The object's text from "N 0 obj" to "endobj" (exclusive).
    QByteArray object(int number) {
        if (number <= 0 || number >= m_size)
            throw notOurPdf(m_name);
        const qint64 offset =
            readAt(m_xrefEntries + qint64(number) * kXrefEntryBytes, 10).toLongLong();
        const QByteArray text = readAt(offset, kMaxObjectBytes);
        const qsizetype end = text.indexOf("endobj");
        if (!text.startsWith(QByteArray::number(number) + " 0 obj") || end < 0)
            throw notOurPdf(m_name);
        return text.left(end);
    }

    void append(const QByteArray& bytes) {
        if (!m_file.seek(m_file.size()) || m_file.write(bytes) != bytes.size() || !m_file.flush())
            throw EFCreateError(QFileInfo(m_name).absoluteFilePath(), m_file.errorString());
    }

    qint64 end() const { return m_file.size(); }

private:
    QByteArray readAt(qint64 offset, qint64 length) {
        if (offset < 0 || offset >= m_file.size() || !m_file.seek(offset))
            throw notOurPdf(m_name);
        return m_file.read(length);
    }

    void readTrailer() {
        const qint64 tailStart = std::max<qint64>(0, m_file.size() - kTailBytes);
        const QByteArray tail = readAt(tailStart, kTailBytes);
        const qsizetype trailer = tail.lastIndexOf("trailer");
        const qsizetype startxref = tail.lastIndexOf("startxref");
        if (trailer < 0 || startxref < trailer)
            throw notOurPdf(m_name);
        const QString dict = QString::fromLatin1(tail.mid(trailer, startxref - trailer));
        const auto size = QRegularExpression(QStringLiteral("/Size\\s+(\\d+)")).match(dict);
        const auto info =
            QRegularExpression(QStringLiteral("/Info\\s+(\\d+)\\s+0\\s+R")).match(dict);
        const auto root =
            QRegularExpression(QStringLiteral("/Root\\s+(\\d+)\\s+0\\s+R")).match(dict);
        const auto id = QRegularExpression(QStringLiteral("/ID\\s*(\\[[^\\]]*\\])")).match(dict);
        const auto xref = QRegularExpression(QStringLiteral("startxref\\s+(\\d+)"))
                              .match(QString::fromLatin1(tail.mid(startxref)));
        if (!size.hasMatch() || !info.hasMatch() || !root.hasMatch() || !xref.hasMatch())
            throw notOurPdf(m_name);
        m_size = size.captured(1).toInt();
        m_info = info.captured(1).toInt();
        m_root = root.captured(1).toInt();
        m_id = id.captured(1).toLatin1();
        m_xref = xref.captured(1).toLongLong();
    }

    // One subsection from object 0, as QPdfWriter writes it.
    void readXrefHeader() {
        const QByteArray head = readAt(m_xref, 64);
        const auto match = QRegularExpression(QStringLiteral("^xref\\s+0\\s+(\\d+)\\s*\\n"))
                               .match(QString::fromLatin1(head));
        if (!match.hasMatch() || match.captured(1).toInt() != m_size)
            throw notOurPdf(m_name);
        m_xrefEntries = m_xref + match.capturedLength(0);
    }

    QString m_name;
    QFile m_file;
    int m_size = 0;
    int m_info = 0;
    int m_root = 0;
    QByteArray m_id;
    qint64 m_xref = 0;
    qint64 m_xrefEntries = 0;
};

QByteArray infoWithAuthor(const QByteArray& object, const QString& author) {
    const qsizetype close = object.lastIndexOf(">>");
    if (close < 0)
        return {};
    return object.left(close) + "/Author " + PdfTextString(author) + "\n" + object.mid(close);
}

// The metadata stream's packet with a dc:creator description added.
QByteArray xmpWithAuthor(const QByteArray& object, const QString& author) {
    const qsizetype start = object.indexOf("stream\n");
    const qsizetype end = object.lastIndexOf("endstream");
    if (start < 0 || end < start)
        return {};
    QByteArray packet = object.mid(start + 7, end - start - 7);
    const qsizetype rdfEnd = packet.lastIndexOf("</rdf:RDF>");
    if (rdfEnd < 0)
        return {};
    packet.insert(rdfEnd, "  <rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\" "
                          "rdf:about=\"\">\n      <dc:creator>\n        <rdf:Seq>\n          "
                          "<rdf:li>" +
                              XmlEscaped(author) +
                              "</rdf:li>\n        </rdf:Seq>\n      </dc:creator>\n    "
                              "</rdf:Description>\n  ");
    return packet;
}

QByteArray xrefEntry(qint64 offset) {
    return QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
}

} // namespace

void PrepareArchivePdf(QPdfWriter& writer, const TPdfInfo& info) {
    writer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    writer.setTitle(info.title);
    writer.setCreator(PdfCreator());
}

void PrepareArchivePdf(QPrinter& printer, const TPdfInfo& info) {
    printer.setPdfVersion(QPagedPaintDevice::PdfVersion_A1b);
    printer.setDocName(info.title);
    printer.setCreator(PdfCreator());
}

void AddPdfAuthor(const QString& fileName, const QString& author) {
    if (author.isEmpty())
        return;
    PdfFile pdf(fileName);
    const auto metadata = QRegularExpression(QStringLiteral("/Metadata\\s+(\\d+)\\s+0\\s+R"))
                              .match(QString::fromLatin1(pdf.object(pdf.rootObject())));
    if (!metadata.hasMatch())
        throw notOurPdf(fileName);
    const int metadataObject = metadata.captured(1).toInt();
    const QByteArray info = infoWithAuthor(pdf.object(pdf.infoObject()), author);
    const QByteArray xmp = xmpWithAuthor(pdf.object(metadataObject), author);
    if (info.isEmpty() || xmp.isEmpty())
        throw notOurPdf(fileName);

    // An incremental update: the two objects again under their numbers, a
    // cross-reference section for them and a trailer leading back to the old one.
    QByteArray update = "\n";
    const qint64 base = pdf.end();
    const qint64 infoOffset = base + update.size();
    update += info + "endobj\n";
    const qint64 xmpOffset = base + update.size();
    update += QByteArray::number(metadataObject) +
              " 0 obj\n<<\n/Type /Metadata /Subtype /XML\n/Length " +
              QByteArray::number(xmp.size()) + "\n>>\nstream\n" + xmp + "\nendstream\nendobj\n";
    const qint64 xrefOffset = base + update.size();
    QList<std::pair<int, qint64>> entries{{pdf.infoObject(), infoOffset},
                                          {metadataObject, xmpOffset}};
    std::sort(entries.begin(), entries.end());
    update += "xref\n";
    for (const auto& [number, offset] : entries)
        update += QByteArray::number(number) + " 1\n" + xrefEntry(offset);
    update += "trailer\n<<\n/Size " + QByteArray::number(pdf.size()) + "\n/Info " +
              QByteArray::number(pdf.infoObject()) + " 0 R\n/Root " +
              QByteArray::number(pdf.rootObject()) + " 0 R\n";
    if (!pdf.id().isEmpty())
        update += "/ID " + pdf.id() + "\n";
    update += "/Prev " + QByteArray::number(pdf.xrefOffset()) + "\n>>\nstartxref\n" +
              QByteArray::number(xrefOffset) + "\n%%EOF\n";
    pdf.append(update);
}

} // namespace tavim
