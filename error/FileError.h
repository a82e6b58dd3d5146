#pragma once

#include "error/Exception.h"

namespace tavim {

// A file that could not be made, written or put in place:
// "Cannot create file "<path>". <reason>", the path shown as given.
class EFCreateError : public Exception {
public:
    EFCreateError(const QString& shownPath, const QString& reason);
};

// A write that failed on the way: "Cannot write <what>: <reason>", where
// <what> is a quoted path or "standard output".
class EFWriteError : public Exception {
public:
    EFWriteError(const QString& what, const QString& reason);
    // The file's path, quoted.
    static EFWriteError onFile(const QString& path, const QString& reason);
};

// The system's text for an errno value.
QString SystemReason(int error);

// A new name beside `target` for what is written there until it is put in
// place: hidden, in the same folder (so that a rename moves it), unlikely to
// be taken, and ending in the target's own name (a writer that picks its
// format by the suffix, as QPrinter does, keeps it).
QString AsideName(const QString& target);

} // namespace tavim
