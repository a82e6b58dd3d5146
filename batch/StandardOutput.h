#pragma once

#include <QByteArray>

namespace tavim {

// Standard output with every write and the close checked: a full disk,
// /dev/full or a closed descriptor is "Cannot write standard output: <reason>",
// never a listing cut short that exits 0. Owned by the main thread.
class TStandardOutput {
public:
    // Fills standard descriptors that were closed at start with /dev/null, so
    // that no file the program opens later (a database among them) takes
    // their number and receives the listing; a closed standard output is
    // still refused by write(). The first thing main does.
    static void holdClosedDescriptors();

    void write(const QByteArray& bytes);
    // After the last write: some file systems report a failed write only here.
    void close();
};

} // namespace tavim
