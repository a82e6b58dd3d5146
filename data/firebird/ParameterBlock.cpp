#include "data/firebird/ParameterBlock.h"

#include "error/DatabaseError.h"

namespace tavim {

ParameterBlock& ParameterBlock::tag(char tag) {
    m_bytes.append(tag);
    return *this;
}

ParameterBlock& ParameterBlock::string(char tag, const QByteArray& value, const QString& itemName) {
    if (value.size() > 255)
        throw EDatabaseError(QStringLiteral("%1 is too long").arg(itemName));
    m_bytes.append(tag);
    m_bytes.append(char(value.size()));
    m_bytes.append(value);
    return *this;
}

ParameterBlock& ParameterBlock::integer(char tag, qint32 value) {
    m_bytes.append(tag);
    m_bytes.append(char(sizeof value));
    // Little-endian, as the server reads every number of a parameter block.
    for (size_t i = 0; i < sizeof value; ++i)
        m_bytes.append(char((quint32(value) >> (8 * i)) & 0xFF));
    return *this;
}

} // namespace tavim
