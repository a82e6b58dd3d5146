#include "data/firebird/FbBlob.h"

#include <algorithm>

namespace tavim {

namespace {
constexpr int kSegmentSize = 32 * 1024;
}

QByteArray FbBlob::read(const FbClient& client, isc_db_handle* database, isc_tr_handle* transaction,
                        ISC_QUAD id) {
    FbBlob blob(client);
    client.call(&FbApi::open_blob2, database, transaction, &blob.m_handle, &id, ISC_USHORT(0),
                static_cast<const ISC_UCHAR*>(nullptr));
    QByteArray bytes;
    char segment[kSegmentSize];
    for (;;) {
        unsigned short length = 0;
        FbStatus status;
        client.api().get_segment(status.vector, &blob.m_handle, &length, sizeof segment, segment);
        // A segment longer than the buffer arrives in parts, each flagged isc_segment.
        if (status.code() == isc_segstr_eof)
            break;
        if (status.code() != isc_segment)
            client.check(status);
        bytes.append(segment, length);
    }
    blob.close();
    return bytes;
}

ISC_QUAD FbBlob::write(const FbClient& client, isc_db_handle* database, isc_tr_handle* transaction,
                       const QByteArray& bytes) {
    FbBlob blob(client);
    ISC_QUAD id{};
    client.call(&FbApi::create_blob2, database, transaction, &blob.m_handle, &id, short(0),
                static_cast<const ISC_SCHAR*>(nullptr));
    for (qsizetype offset = 0; offset < bytes.size(); offset += kSegmentSize) {
        const auto length = std::min<qsizetype>(kSegmentSize, bytes.size() - offset);
        client.call(&FbApi::put_segment, &blob.m_handle, ISC_USHORT(length),
                    bytes.constData() + offset);
    }
    blob.close();
    return id;
}

FbBlob::~FbBlob() {
    if (m_handle)
        m_client->callQuietly(&FbApi::close_blob, &m_handle);
}

void FbBlob::close() {
    m_client->call(&FbApi::close_blob, &m_handle);
}

} // namespace tavim
