#include "engine/preview/BrPageText.h"

#include <algorithm>
#include <array>
#include <memory>

namespace tavim {

namespace {

constexpr char kBlockEnd = '\n';
constexpr char kLineJoin = ' ';

// The folded UTF-16 unit of each unit, built once: the first character of a
// decomposition ("ã" -> "a", "ª" -> "a"), lowercased; blanks become spaces.
const std::array<char16_t, 65536>& foldTable() {
    static const auto table = [] {
        auto folded = std::make_unique<std::array<char16_t, 65536>>();
        for (int u = 0; u < 65536; ++u) {
            QChar c(static_cast<char16_t>(u));
            if (c.isSpace() || u < 0x20 || u == 0x7F) {
                (*folded)[std::size_t(u)] = kLineJoin;
                continue;
            }
            // Decompositions nest ("ǖ" holds "ü"); a few steps reach the base letter.
            for (int step = 0; step < 4 && c.decompositionTag() != QChar::NoDecomposition; ++step) {
                const QString parts = c.decomposition();
                if (parts.isEmpty() || parts.at(0).isSpace())
                    break;
                c = parts.at(0);
            }
            (*folded)[std::size_t(u)] = c.toLower().unicode();
        }
        return folded;
    }();
    return *table;
}

// Writes at `out`, which has room for 3 bytes; returns the end.
char* putUtf8(char* out, char16_t u) {
    if (u < 0x80) {
        *out++ = char(u);
    } else if (u < 0x800) {
        *out++ = char(0xC0 | (u >> 6));
        *out++ = char(0x80 | (u & 0x3F));
    } else {
        *out++ = char(0xE0 | (u >> 12));
        *out++ = char(0x80 | ((u >> 6) & 0x3F));
        *out++ = char(0x80 | (u & 0x3F));
    }
    return out;
}

// Appends the folded text to `out`.
void appendFolded(QByteArray& out, QStringView text) {
    const std::array<char16_t, 65536>& table = foldTable();
    const qsizetype start = out.size();
    out.resize(start + text.size() * 3);
    char* end = out.data() + start;
    for (QChar c : text)
        end = putUtf8(end, table[c.unicode()]);
    out.resize(end - out.data());
}

bool isContinuationByte(char b) {
    return (uchar(b) & 0xC0) == 0x80;
}

// The next record one line lower at the same x and alignment: a wrapped line.
bool continues(const EmfText& before, const EmfText& line) {
    const int height = before.bottom - before.top;
    const int down = line.ref.y() - before.ref.y();
    return line.align == before.align && line.ref.x() == before.ref.x() && height > 0 && down > 0 &&
           down <= height * 3 / 2;
}

} // namespace

QByteArray FoldForSearch(QStringView text) {
    QByteArray out;
    appendFolded(out, text);
    return out;
}

TBrPageText::TBrPageText(const TMetafile& page, bool withOutline)
    : m_lines(ReadEmfTexts(page, withOutline)) {
    m_folded.reserve(qsizetype(page.bytes().size() / 8));
    m_starts.reserve(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const bool joined = i > 0 && continues(m_lines[i - 1], m_lines[i]);
        if (i > 0)
            m_folded.append(joined ? kLineJoin : kBlockEnd);
        m_starts.push_back(m_folded.size());
        appendFolded(m_folded, m_lines[i].text);
    }
}

qsizetype TBrPageText::characters() const {
    qsizetype count = 0;
    for (const EmfText& line : m_lines)
        count += line.text.size();
    return count;
}

std::pair<std::size_t, qsizetype> TBrPageText::position(qsizetype at) const {
    const auto next = std::upper_bound(m_starts.begin(), m_starts.end(), at);
    const std::size_t line =
        next == m_starts.begin() ? 0 : std::size_t(next - m_starts.begin() - 1);
    qsizetype chars = 0;
    for (qsizetype b = m_starts[line]; b < at && b < m_folded.size(); ++b)
        chars += isContinuationByte(m_folded[b]) ? 0 : 1;
    return {line, std::min(chars, m_lines[line].text.size())};
}

QString TBrPageText::lines(qsizetype at, qsizetype length) const {
    if (m_lines.empty())
        return {};
    const std::size_t first = position(at).first;
    const std::size_t last = std::max(first, position(at + length - 1).first);
    QString text = m_lines[first].text;
    for (std::size_t i = first + 1; i <= last; ++i)
        text += kLineJoin + m_lines[i].text;
    return text;
}

std::vector<QRect> TBrPageText::outline(qsizetype at, qsizetype length) const {
    std::vector<QRect> boxes;
    if (m_lines.empty() || at < 0 || length <= 0 || at + length > m_folded.size())
        return boxes;
    const auto [firstLine, from] = position(at);
    const auto [lastLine, to] = position(at + length);
    for (std::size_t line = firstLine; line <= lastLine; ++line) {
        const qsizetype begin = line == firstLine ? from : 0;
        const qsizetype end = line == lastLine ? to : m_lines[line].text.size();
        if (end > begin)
            boxes.push_back(m_lines[line].outline(begin, end));
    }
    return boxes;
}

} // namespace tavim
