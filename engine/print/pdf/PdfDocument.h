#pragma once

#include "engine/print/pdf/PdfFontSet.h"
#include "engine/print/pdf/PdfInfo.h"
#include "engine/print/pdf/PdfPageDevice.h"
#include "engine/print/pdf/PdfPaintEngine.h"

#include <QByteArray>
#include <QDateTime>
#include <memory>
#include <vector>

class QIODevice;

namespace tavim {

class Deflater;

// A PDF/A-1b file written while its pages come: pages of the sheet's paper
// whose content is drawn in the units of a PdfPageDevice on that sheet, the
// faces they show embedded as subsets, the title and author in the document
// information and in the XMP metadata, and sRGB as the output intent. Write
// failures are the device's to keep (TBrSaveFile reports them when the file is
// committed).
//
// Owned by the thread that writes the file. Pages may be added on another
// thread, one at a time, while the drawing thread alone uses fonts(); finish()
// runs once both are done. No lock: the callers order them.
class PdfDocument {
public:
    PdfDocument(QIODevice& out, const TPdfInfo& info, const QDateTime& created,
                const PdfSheet& sheet = PdfSheet::a4());
    ~PdfDocument();
    PdfDocument(const PdfDocument&) = delete;
    PdfDocument& operator=(const PdfDocument&) = delete;

    // The faces pages draw with; page content names them by their index.
    PdfFontSet& fonts() { return m_fonts; }
    void addPage(const PdfPageContent& page);
    // Writes what the pages refer to and the file's end. A document without
    // pages gets one blank page, as a PDF needs one.
    void finish();

private:
    int newObject();
    void startObject(int number);
    void write(QByteArrayView bytes);
    void writeObject(int number, const QByteArray& body);
    void writeStream(int number, QByteArray dictionary, QByteArrayView data, bool compressed);
    int fontObject(int index);
    void writeFont(int index, int number);
    static QByteArray references(const int* numbers, std::size_t count);
    void writePageTree();
    QByteArray metadata() const;
    QByteArray information() const;

    QIODevice& m_out;
    TPdfInfo m_info;
    QDateTime m_created;
    QByteArray m_pageMatrix; // device units to points, for every page
    QByteArray m_mediaBox;
    PdfFontSet m_fonts;
    std::unique_ptr<Deflater> m_deflater;
    qint64 m_bytesWritten = 0;
    std::vector<qint64> m_offsets;  // by object number; 0: not written yet
    std::vector<int> m_pages;       // page object numbers
    std::vector<int> m_pageNodes;   // the nodes they hang from, in order
    std::vector<int> m_fontObjects; // by face index; 0: not shown yet
};

} // namespace tavim
