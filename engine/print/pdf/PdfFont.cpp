#include "engine/print/pdf/PdfFont.h"

#include <QtEndian>
#include <algorithm>
#include <array>

namespace tavim {

namespace {

// What a TrueType rasteriser needs, and what readers of the name and encoding
// look at; the others (kerning, layout tables) serve no PDF reader.
constexpr std::array<const char*, 13> kTables = {"OS/2", "cmap", "cvt ", "fpgm", "glyf",
                                                 "head", "hhea", "hmtx", "loca", "maxp",
                                                 "name", "post", "prep"};
constexpr std::array<const char*, 7> kRequired = {"glyf", "head", "hhea", "hmtx",
                                                  "loca", "maxp", "name"};
constexpr int kHeadChecksumAdjustment = 8;
constexpr quint32 kChecksumMagic = 0xB1B0AFBA;
constexpr int kPostScriptNameId = 6;
constexpr qsizetype kMaxNameLength = 120;
// Marks a character's glyph in PdfFont::m_glyphOf as needing more than itself.
constexpr int kNotPlain = 0x10000;
constexpr std::pair<char32_t, char32_t> kDefaultIgnorable[] = {
    {0x00AD, 0x00AD},   {0x034F, 0x034F},  {0x061C, 0x061C}, {0x115F, 0x1160}, {0x17B4, 0x17B5},
    {0x180B, 0x180F},   {0x200B, 0x200F},  {0x202A, 0x202E}, {0x2060, 0x206F}, {0x3164, 0x3164},
    {0xFE00, 0xFE0F},   {0xFEFF, 0xFEFF},  {0xFFA0, 0xFFA0}, {0xFFF0, 0xFFF8}, {0x1BCA0, 0x1BCA3},
    {0x1D173, 0x1D17A}, {0xE0000, 0xE0FFF}};

quint16 u16(const QByteArray& table, qsizetype at) {
    if (at < 0 || at + 2 > table.size())
        return 0;
    return qFromBigEndian<quint16>(table.constData() + at);
}

qint16 i16(const QByteArray& table, qsizetype at) {
    return qint16(u16(table, at));
}

quint32 tagOf(const char* name) {
    return qFromBigEndian<quint32>(name);
}

void put16(QByteArray& out, quint16 v) {
    out.append(char(v >> 8)).append(char(v & 0xFF));
}

void put32(QByteArray& out, quint32 v) {
    put16(out, quint16(v >> 16));
    put16(out, quint16(v & 0xFFFF));
}

quint32 checksum(const QByteArray& padded) {
    quint32 sum = 0;
    for (qsizetype i = 0; i + 4 <= padded.size(); i += 4)
        sum += qFromBigEndian<quint32>(padded.constData() + i);
    return sum;
}

// The tables as one sfnt file, with the directory and checksums readers verify.
QByteArray assemble(std::vector<std::pair<quint32, QByteArray>> tables) {
    std::sort(tables.begin(), tables.end());
    const auto count = quint16(tables.size());
    quint16 power = 1;
    quint16 selector = 0;
    while (power * 2 <= count) {
        power *= 2;
        ++selector;
    }
    QByteArray file;
    put32(file, 0x00010000);
    put16(file, count);
    put16(file, quint16(power * 16));
    put16(file, selector);
    put16(file, quint16(count * 16 - power * 16));
    qsizetype offset = 12 + 16 * qsizetype(count);
    qsizetype headAt = -1;
    QByteArray bodies;
    for (auto& [tag, data] : tables) {
        const qsizetype length = data.size();
        if (tag == tagOf("head")) {
            data.replace(kHeadChecksumAdjustment, 4, QByteArray(4, '\0'));
            headAt = offset;
        }
        data.append(QByteArray((4 - length % 4) % 4, '\0'));
        put32(file, tag);
        put32(file, checksum(data));
        put32(file, quint32(offset));
        put32(file, quint32(length));
        bodies += data;
        offset += data.size();
    }
    file += bodies;
    if (headAt >= 0) {
        const quint32 adjustment = kChecksumMagic - checksum(file);
        qToBigEndian(adjustment, file.data() + headAt + kHeadChecksumAdjustment);
    }
    return file;
}

const QByteArray& tableIn(const std::vector<std::pair<quint32, QByteArray>>& tables,
                          const char* name) {
    static const QByteArray none;
    const auto found = std::find_if(tables.begin(), tables.end(),
                                    [&](const auto& t) { return t.first == tagOf(name); });
    return found != tables.end() ? found->second : none;
}

// Where each glyph's outline lies in glyf, from loca in either form.
std::vector<quint32> glyphOffsets(const QByteArray& loca, bool longOffsets, int glyphs) {
    std::vector<quint32> offsets(std::size_t(glyphs) + 1, 0);
    for (int i = 0; i <= glyphs; ++i)
        offsets[std::size_t(i)] = longOffsets
                                      ? (quint32(u16(loca, 4 * i)) << 16) | u16(loca, 4 * i + 2)
                                      : quint32(u16(loca, 2 * i)) * 2;
    return offsets;
}

// A composite outline's components, which a subset keeps with it.
void addComponents(const QByteArray& outline, std::vector<bool>& kept, std::vector<quint16>& todo) {
    constexpr quint16 kWords = 0x0001, kScale = 0x0008, kMore = 0x0020, kXYScale = 0x0040,
                      kTwoByTwo = 0x0080;
    if (i16(outline, 0) >= 0)
        return;
    qsizetype at = 10;
    for (quint16 flags = kMore; (flags & kMore) && at + 4 <= outline.size();) {
        flags = u16(outline, at);
        const quint16 glyph = u16(outline, at + 2);
        if (glyph < kept.size() && !kept[glyph]) {
            kept[glyph] = true;
            todo.push_back(glyph);
        }
        at += 4 + ((flags & kWords) ? 4 : 2);
        at += (flags & kTwoByTwo) ? 8 : (flags & kXYScale) ? 4 : (flags & kScale) ? 2 : 0;
    }
}

// The outline without its hinting instructions, which a subset leaves out
// with the programs they call: PDF readers draw outlines unhinted, and the
// instructions are a third of a hinted face. Left as it is when malformed.
QByteArray withoutInstructions(const QByteArray& outline) {
    constexpr quint16 kWords = 0x0001, kScale = 0x0008, kMore = 0x0020, kXYScale = 0x0040,
                      kTwoByTwo = 0x0080, kInstructions = 0x0100;
    const qint16 contours = i16(outline, 0);
    if (contours >= 0) {
        const qsizetype at = 10 + 2 * qsizetype(contours);
        const qsizetype length = u16(outline, at);
        if (at + 2 + length > outline.size())
            return outline;
        return outline.left(at) + QByteArray(2, '\0') + outline.mid(at + 2 + length);
    }
    qsizetype at = 10;
    qsizetype lastFlags = -1;
    for (quint16 flags = kMore; (flags & kMore) && at + 4 <= outline.size();) {
        flags = u16(outline, at);
        lastFlags = at;
        at += 4 + ((flags & kWords) ? 4 : 2);
        at += (flags & kTwoByTwo) ? 8 : (flags & kXYScale) ? 4 : (flags & kScale) ? 2 : 0;
    }
    if (lastFlags < 0 || at > outline.size())
        return outline;
    QByteArray stripped = outline.left(at);
    qToBigEndian(quint16(u16(outline, lastFlags) & ~kInstructions), stripped.data() + lastFlags);
    return stripped;
}

// A name table with the face's family, style and PostScript names, all that
// readers look up, in the Windows records (UTF-16).
QByteArray nameTable(const QString& family, const QString& style, const QByteArray& postScript) {
    const std::array<std::pair<quint16, QString>, 3> names = {
        {{1, family}, {2, style}, {kPostScriptNameId, QString::fromLatin1(postScript)}}};
    QByteArray records;
    QByteArray strings;
    for (const auto& [id, text] : names) {
        for (const quint16 v : {quint16(3), quint16(1), quint16(0x409), id})
            put16(records, v);
        put16(records, quint16(2 * text.size()));
        put16(records, quint16(strings.size()));
        for (const QChar c : text)
            put16(strings, c.unicode());
    }
    QByteArray table;
    put16(table, 0); // format
    put16(table, quint16(names.size()));
    put16(table, quint16(6 + records.size()));
    return table + records + strings;
}

bool isNameCharacter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c == '+' || c == '.';
}

QByteArray nameOnly(const QString& text) {
    QByteArray name;
    for (const QChar c : text) {
        const char latin = c.toLatin1();
        if (isNameCharacter(latin))
            name += latin;
    }
    return name;
}

// nameID 6 from the Windows (UTF-16) or Macintosh (Roman) records.
QByteArray postScriptNameIn(const QByteArray& table) {
    const quint16 count = u16(table, 2);
    const quint16 strings = u16(table, 4);
    for (quint16 i = 0; i < count; ++i) {
        const qsizetype record = 6 + 12 * qsizetype(i);
        const quint16 platform = u16(table, record);
        const quint16 id = u16(table, record + 6);
        const quint16 length = u16(table, record + 8);
        const qsizetype at = qsizetype(strings) + u16(table, record + 10);
        if (id != kPostScriptNameId || at + length > table.size())
            continue;
        QString text;
        if (platform == 3) {
            for (qsizetype j = 0; j + 1 < length; j += 2)
                text += QChar(u16(table, at + j));
        } else if (platform == 1) {
            text = QString::fromLatin1(table.mid(at, length));
        }
        if (const QByteArray name = nameOnly(text); !name.isEmpty())
            return name;
    }
    return {};
}

} // namespace

bool IsDefaultIgnorable(char32_t character) {
    return std::any_of(
        std::begin(kDefaultIgnorable), std::end(kDefaultIgnorable),
        [&](const auto& range) { return character >= range.first && character <= range.second; });
}

bool IsLeftToRight(char32_t character) {
    switch (QChar::direction(character)) {
    case QChar::DirR:
    case QChar::DirAL:
    case QChar::DirAN:
    case QChar::DirLRE:
    case QChar::DirLRO:
    case QChar::DirRLE:
    case QChar::DirRLO:
    case QChar::DirPDF:
    case QChar::DirLRI:
    case QChar::DirRLI:
    case QChar::DirFSI:
    case QChar::DirPDI:
        return false;
    default:
        return true;
    }
}

PdfFont::PdfFont(const QRawFont& raw) : m_raw(raw) {
    std::vector<std::pair<quint32, QByteArray>> tables;
    for (const char* name : kTables) {
        QByteArray data = raw.fontTable(name);
        const bool required = std::find_if(kRequired.begin(), kRequired.end(), [&](const char* r) {
                                  return qstrcmp(r, name) == 0;
                              }) != kRequired.end();
        if (data.isEmpty() && required)
            return;
        if (!data.isEmpty())
            tables.emplace_back(tagOf(name), std::move(data));
    }
    const auto table = [&](const char* name) {
        return std::find_if(tables.begin(), tables.end(),
                            [&](const auto& t) { return t.first == tagOf(name); })
            ->second;
    };
    const QByteArray head = table("head");
    const QByteArray hhea = table("hhea");
    m_unitsPerEm = std::max<int>(16, u16(head, 18));
    for (int i = 0; i < 4; ++i)
        m_box[i] = scaled(i16(head, 36 + 2 * i));
    m_ascent = scaled(i16(hhea, 4));
    m_descent = scaled(i16(hhea, 6));
    m_horizontalMetrics = u16(hhea, 34);
    m_hmtx = table("hmtx");
    const auto os2 = std::find_if(tables.begin(), tables.end(),
                                  [](const auto& t) { return t.first == tagOf("OS/2"); });
    m_capHeight =
        os2 != tables.end() && u16(os2->second, 0) >= 2 ? scaled(i16(os2->second, 88)) : m_ascent;
    const auto post = std::find_if(tables.begin(), tables.end(),
                                   [](const auto& t) { return t.first == tagOf("post"); });
    if (post != tables.end())
        m_italicAngle = i16(post->second, 4);
    m_name = postScriptNameIn(table("name"));
    if (m_name.isEmpty())
        m_name = nameOnly(raw.familyName() + QLatin1Char('-') + raw.styleName());
    // A PDF/A-1 name holds 127 bytes, the subset tag takes seven.
    m_name.truncate(kMaxNameLength);
    if (m_horizontalMetrics == 0 || m_hmtx.size() < 4 * qsizetype(m_horizontalMetrics))
        return;
    // The licence's word (OS/2 fsType): restricted, or bitmaps only, is not
    // embedded at all; "no subsetting" is embedded whole.
    const quint16 licence = os2 != tables.end() ? u16(os2->second, 8) : 0;
    if ((licence & 0x000F) == 0x0002 || (licence & 0x0200) != 0)
        return;
    m_mayBeSubset = (licence & 0x0100) == 0;
    readInks(table("glyf"), glyphOffsets(table("loca"), i16(head, 50) == 1, u16(table("maxp"), 4)));
    m_tables = std::move(tables);
    m_isShown.assign(0x10000, false);
}

// Each outline's box, from its header; a glyph without outline has none.
void PdfFont::readInks(const QByteArray& glyf, const std::vector<quint32>& offsets) {
    m_inks.assign(offsets.size() - 1, {});
    for (std::size_t glyph = 0; glyph + 1 < offsets.size(); ++glyph) {
        const qsizetype at = offsets[glyph];
        if (offsets[glyph + 1] <= offsets[glyph] || at + 10 > glyf.size())
            continue;
        m_inks[glyph] = {scaled(i16(glyf, at + 2)), scaled(i16(glyf, at + 4)),
                         scaled(i16(glyf, at + 6)), scaled(i16(glyf, at + 8))};
    }
}

QByteArray PdfFont::program() const {
    if (!m_mayBeSubset)
        return assemble(m_tables);
    const QByteArray& head = tableIn(m_tables, "head");
    const QByteArray& glyf = tableIn(m_tables, "glyf");
    const int glyphs = u16(tableIn(m_tables, "maxp"), 4);
    const std::vector<quint32> offsets =
        glyphOffsets(tableIn(m_tables, "loca"), i16(head, 50) == 1, glyphs);
    const auto outline = [&](quint16 glyph) {
        const quint32 from = std::min<quint32>(offsets[glyph], quint32(glyf.size()));
        const quint32 to = std::clamp<quint32>(offsets[glyph + 1u], from, quint32(glyf.size()));
        return glyf.mid(from, to - from);
    };
    // Glyph 0 is shown for whatever a face lacks.
    std::vector<bool> kept(std::size_t(glyphs), false);
    std::vector<quint16> todo = {0};
    for (const auto& shown : m_shown)
        todo.push_back(shown.first);
    for (quint16 glyph : todo)
        if (glyph < kept.size())
            kept[glyph] = true;
    while (!todo.empty()) {
        const quint16 glyph = todo.back();
        todo.pop_back();
        if (glyph < kept.size())
            addComponents(outline(glyph), kept, todo);
    }
    QByteArray newGlyf;
    QByteArray newLoca;
    // Metrics of the glyphs left out are zero: PDF gives the widths.
    QByteArray newHmtx(m_hmtx.size(), '\0');
    for (int glyph = 0; glyph < glyphs; ++glyph) {
        put32(newLoca, quint32(newGlyf.size()));
        if (kept[std::size_t(glyph)]) {
            newGlyf += withoutInstructions(outline(quint16(glyph)));
            newGlyf.append(QByteArray((4 - newGlyf.size() % 4) % 4, '\0'));
            const qsizetype at = glyph < m_horizontalMetrics
                                     ? 4 * qsizetype(glyph)
                                     : 4 * qsizetype(m_horizontalMetrics) +
                                           2 * qsizetype(glyph - m_horizontalMetrics);
            const qsizetype length = glyph < m_horizontalMetrics ? 4 : 2;
            if (at + length <= m_hmtx.size())
                newHmtx.replace(at, length, m_hmtx.mid(at, length));
        }
    }
    put32(newLoca, quint32(newGlyf.size()));
    // Glyphs are shown by id: no character map; no hinting programs.
    std::vector<std::pair<quint32, QByteArray>> tables;
    for (const auto& table : m_tables)
        if (table.first != tagOf("cmap") && table.first != tagOf("cvt ") &&
            table.first != tagOf("fpgm") && table.first != tagOf("prep"))
            tables.push_back(table);
    for (auto& [tag, data] : tables) {
        if (tag == tagOf("glyf"))
            data = newGlyf;
        else if (tag == tagOf("loca"))
            data = newLoca;
        else if (tag == tagOf("hmtx"))
            data = newHmtx;
        else if (tag == tagOf("name"))
            data = nameTable(m_raw.familyName(), m_raw.styleName(), m_name);
        else if (tag == tagOf("head") && data.size() >= 52)
            qToBigEndian(qint16(1), data.data() + 50); // long loca offsets
        else if (tag == tagOf("post") && data.size() >= 32)
            // Version 3: no glyph names, which only the whole face needs.
            data = QByteArray::fromRawData("\0\3\0\0", 4) + data.mid(4, 28);
    }
    return assemble(std::move(tables));
}

QByteArray PdfFont::subsetName() const {
    if (!m_mayBeSubset)
        return m_name;
    quint32 hash = 2166136261u;
    for (const auto& shown : m_shown)
        hash = (hash ^ shown.first) * 16777619u;
    QByteArray tag;
    for (int i = 0; i < 6; ++i, hash /= 26)
        tag += char('A' + hash % 26);
    return tag + '+' + m_name;
}

int PdfFont::scaled(int units) const {
    return units * 1000 / m_unitsPerEm;
}

int PdfFont::width(quint16 glyph) const {
    const int entry = std::min<int>(glyph, m_horizontalMetrics - 1);
    return int(std::lround(u16(m_hmtx, 4 * qsizetype(entry)) * 1000.0 / m_unitsPerEm));
}

QByteArray PdfFont::descriptorMetrics() const {
    return "/FontBBox [" + QByteArray::number(m_box[0]) + ' ' + QByteArray::number(m_box[1]) + ' ' +
           QByteArray::number(m_box[2]) + ' ' + QByteArray::number(m_box[3]) + "] /ItalicAngle " +
           QByteArray::number(m_italicAngle) + " /Ascent " + QByteArray::number(m_ascent) +
           " /Descent " + QByteArray::number(m_descent) + " /CapHeight " +
           QByteArray::number(m_capHeight);
}

int PdfFont::plainEntry(char16_t character) {
    if (m_glyphOf.empty())
        m_glyphOf.assign(0x10000, -1);
    int& entry = m_glyphOf[character];
    if (entry >= 0)
        return entry;
    const QChar c(character);
    quint32 glyph = 0;
    int count = 1;
    if (c.isSurrogate() || !m_raw.glyphIndexesForChars(&c, 1, &glyph, &count) || count != 1 ||
        glyph > 0xFFFF)
        glyph = 0;
    entry = int(glyph);
    if (glyph == 0 || c.isMark() || c.category() == QChar::Other_Control ||
        IsDefaultIgnorable(character) || !IsLeftToRight(character))
        entry |= kNotPlain;
    return entry;
}

quint16 PdfFont::glyphOf(char32_t character) {
    if (character <= 0xFFFF)
        return quint16(plainEntry(char16_t(character)) & 0xFFFF);
    if (const auto known = m_glyphOfAstral.find(character); known != m_glyphOfAstral.end())
        return known->second;
    const QChar pair[2] = {QChar::highSurrogate(character), QChar::lowSurrogate(character)};
    quint32 glyphs[2] = {0, 0};
    int count = 2;
    if (!m_raw.glyphIndexesForChars(pair, 2, glyphs, &count) || count < 1 || glyphs[0] > 0xFFFF)
        glyphs[0] = 0;
    return m_glyphOfAstral.emplace(character, quint16(glyphs[0])).first->second;
}

void PdfFont::appendGlyph(quint16 glyph, const QString& characters, QByteArray& glyphs) {
    if (glyph != 0 && !m_isShown[glyph]) {
        m_isShown[glyph] = true;
        m_shown.emplace(glyph, characters);
    }
    glyphs.append(char(glyph >> 8)).append(char(glyph & 0xFF));
}

QRectF PdfFont::ink(quint16 glyph) const {
    if (glyph >= m_inks.size() || m_inks[glyph][2] <= m_inks[glyph][0])
        return {};
    const auto& box = m_inks[glyph];
    return QRectF(QPointF(box[0], -box[3]), QPointF(box[2], -box[1]));
}

bool PdfFont::appendPlainGlyphs(QStringView text, QByteArray& glyphs) {
    const qsizetype before = glyphs.size();
    for (const QChar c : text) {
        const int entry = plainEntry(c.unicode());
        if (entry & kNotPlain) {
            glyphs.truncate(before);
            return false;
        }
        const auto glyph = quint16(entry);
        appendGlyph(glyph, m_isShown[glyph] ? QString() : QString(c), glyphs);
    }
    return true;
}

} // namespace tavim
