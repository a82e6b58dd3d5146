#pragma once

#include <QByteArray>
#include <QString>

namespace tavim {

// A database or transaction parameter block: a version byte, then tagged items.
class ParameterBlock {
public:
    explicit ParameterBlock(char version) { m_bytes.append(version); }

    ParameterBlock& tag(char tag);
    // Strings carry a one-byte length; a longer one raises EDatabaseError
    // naming the item, rather than being cut.
    ParameterBlock& string(char tag, const QByteArray& value, const QString& itemName);
    ParameterBlock& integer(char tag, qint32 value);

    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

} // namespace tavim
