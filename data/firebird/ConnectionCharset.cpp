#include "data/firebird/ConnectionCharset.h"

#include "data/firebird/Windows1252.h"
#include "error/DatabaseError.h"

#include <QStringDecoder>
#include <QSysInfo>
#include <cerrno>
#include <cstring>
#include <iconv.h>
#include <map>
#include <string>

namespace tavim {

namespace {

// The server's own ids and names of the sets this program reads, with glibc's
// name for each (ASCII read as its superset Windows-1252). Ids and widths are
// fixed by the server (RDB$CHARACTER_SETS).
struct KnownCharset {
    int id;
    const char* name;
    const char* iconvName;
    int bytesPerCharacter;
};

constexpr KnownCharset kKnownCharsets[] = {
    {2, "ASCII", "CP1252", 1},
    {3, "UNICODE_FSS", "UTF-8", 3},
    {4, "UTF8", "UTF-8", 4},
    {9, "DOS737", "CP737", 1},
    {10, "DOS437", "CP437", 1},
    {11, "DOS850", "CP850", 1},
    {12, "DOS865", "CP865", 1},
    {13, "DOS860", "CP860", 1},
    {14, "DOS863", "CP863", 1},
    {15, "DOS775", "CP775", 1},
    {16, "DOS858", "CP858", 1},
    {17, "DOS862", "CP862", 1},
    {18, "DOS864", "CP864", 1},
    {21, "ISO8859_1", "ISO-8859-1", 1},
    {22, "ISO8859_2", "ISO-8859-2", 1},
    {23, "ISO8859_3", "ISO-8859-3", 1},
    {34, "ISO8859_4", "ISO-8859-4", 1},
    {35, "ISO8859_5", "ISO-8859-5", 1},
    {36, "ISO8859_6", "ISO-8859-6", 1},
    {37, "ISO8859_7", "ISO-8859-7", 1},
    {38, "ISO8859_8", "ISO-8859-8", 1},
    {39, "ISO8859_9", "ISO-8859-9", 1},
    {40, "ISO8859_13", "ISO-8859-13", 1},
    {45, "DOS852", "CP852", 1},
    {46, "DOS857", "CP857", 1},
    {47, "DOS861", "CP861", 1},
    {48, "DOS866", "CP866", 1},
    {49, "DOS869", "CP869", 1},
    {51, "WIN1250", "CP1250", 1},
    {52, "WIN1251", "CP1251", 1},
    {53, "WIN1252", "CP1252", 1},
    {54, "WIN1253", "CP1253", 1},
    {55, "WIN1254", "CP1254", 1},
    {58, "WIN1255", "CP1255", 1},
    {59, "WIN1256", "CP1256", 1},
    {60, "WIN1257", "CP1257", 1},
    {63, "KOI8R", "KOI8-R", 1},
    {64, "KOI8U", "KOI8-U", 1},
    {65, "WIN1258", "CP1258", 1},
};

const char* utf16Name() {
    return QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";
}

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return m_cd != iconv_t(-1); }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

// Opened once per thread and pair of sets, and reset before each text: a
// descriptor keeps shift state and must not be shared between threads.
iconv_t converter(const char* to, const char* from) {
    thread_local std::map<std::pair<std::string, std::string>, IconvHandle> open;
    auto [it, added] = open.try_emplace({to, from}, to, from);
    if (!it->second.valid()) {
        open.erase(it);
        throw EDatabaseError(QStringLiteral("No converter from %1 to %2")
                                 .arg(QLatin1StringView(from), QLatin1StringView(to)));
    }
    iconv(it->second.get(), nullptr, nullptr, nullptr, nullptr);
    return it->second.get();
}

QString iconvDecode(const char* from, QByteArrayView bytes) {
    iconv_t cd = converter(utf16Name(), from);
    // Single-byte sets give at most two UTF-16 units per byte, and a byte
    // that cannot be read gives one replacement character.
    QString text(2 * bytes.size() + 2, Qt::Uninitialized);
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = size_t(bytes.size());
    char* out = reinterpret_cast<char*>(text.data());
    size_t outLeft = size_t(text.size()) * sizeof(char16_t);
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        if (errno == E2BIG)
            break;
        const char16_t replacement = 0xFFFD;
        std::memcpy(out, &replacement, sizeof replacement);
        out += sizeof replacement;
        outLeft -= sizeof replacement;
        ++in;
        --inLeft;
    }
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    text.resize(qsizetype((size_t(text.size()) * sizeof(char16_t) - outLeft) / sizeof(char16_t)));
    return text;
}

QByteArray iconvEncode(const char* to, const QString& text) {
    iconv_t cd = converter(to, utf16Name());
    // Every set that goes through here keeps a character in one byte.
    QByteArray bytes(2 * text.size() + 8, Qt::Uninitialized);
    char* in = reinterpret_cast<char*>(const_cast<QChar*>(text.constData()));
    size_t inLeft = size_t(text.size()) * sizeof(char16_t);
    char* out = bytes.data();
    size_t outLeft = size_t(bytes.size());
    while (inLeft > 0 && iconv(cd, &in, &inLeft, &out, &outLeft) == size_t(-1)) {
        if (errno == E2BIG)
            break;
        const bool pair = inLeft >= 4 && QChar::isHighSurrogate(*reinterpret_cast<char16_t*>(in));
        *out++ = '?';
        --outLeft;
        const size_t skipped = std::min(inLeft, pair ? size_t(4) : size_t(2));
        in += skipped;
        inLeft -= skipped;
    }
    iconv(cd, nullptr, nullptr, &out, &outLeft);
    bytes.resize(qsizetype(size_t(bytes.size()) - outLeft));
    return bytes;
}

} // namespace

ConnectionCharset ConnectionCharset::fromName(const QString& serverCharSet) {
    const QString name = serverCharSet.trimmed().toUpper();
    if (name.isEmpty() || name == u"NONE")
        return {Encoding::Windows1252, 1};
    for (const KnownCharset& known : kKnownCharsets) {
        if (name == QLatin1StringView(known.name))
            return *fromId(known.id);
    }
    throw EDatabaseError(QStringLiteral("Unsupported ServerCharSet %1").arg(serverCharSet));
}

std::optional<ConnectionCharset> ConnectionCharset::fromId(int id) {
    for (const KnownCharset& known : kKnownCharsets) {
        if (known.id != id)
            continue;
        const QLatin1StringView converter(known.iconvName);
        if (converter == u"UTF-8")
            return ConnectionCharset(Encoding::Utf8, known.bytesPerCharacter);
        if (converter == u"ISO-8859-1")
            return ConnectionCharset(Encoding::Latin1, 1);
        if (converter == u"CP1252")
            return ConnectionCharset(Encoding::Windows1252, 1);
        return ConnectionCharset(Encoding::Iconv, known.bytesPerCharacter, known.iconvName);
    }
    return std::nullopt;
}

QString ConnectionCharset::decode(QByteArrayView bytes) const {
    switch (m_encoding) {
    case Encoding::Windows1252:
        return decodeWindows1252(bytes);
    case Encoding::Latin1:
        return QString::fromLatin1(bytes);
    case Encoding::Utf8:
        return QString::fromUtf8(bytes);
    case Encoding::Iconv:
        return iconvDecode(m_iconvName, bytes);
    }
    return {};
}

QByteArray ConnectionCharset::encode(const QString& text) const {
    switch (m_encoding) {
    case Encoding::Windows1252:
        return encodeWindows1252(text);
    case Encoding::Latin1:
        return text.toLatin1();
    case Encoding::Utf8:
        return text.toUtf8();
    case Encoding::Iconv:
        return iconvEncode(m_iconvName, text);
    }
    return {};
}

QString decodeServerText(QByteArrayView bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8(bytes);
    if (!utf8.hasError())
        return text;
    return decodeWindows1252(bytes);
}

} // namespace tavim
