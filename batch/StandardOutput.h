#pragma once

#include <QByteArray>

namespace tavim {

// Standard output with every write and the close checked: a full disk,
// /dev/full or a closed descriptor is "Cannot write standard output: <reason>",
// never a listing cut short that exits 0. Owned by the main thread.
class TStandardOutput {
public:
    void write(const QByteArray& bytes);
    // After the last write: some file systems report a failed write only here.
    void close();
};

} // namespace tavim
