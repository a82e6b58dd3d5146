#pragma once

#include <QLoggingCategory>
#include <optional>

namespace tavim {

// Which check refused a page image, ended its replay early or skipped one of
// its records, for developers (tavim.metafile, off by default): the user's
// message stays the same whatever the check.
Q_DECLARE_LOGGING_CATEGORY(lcMetafile)

// Logs "refused: <check>"; a refused image has no header.
std::nullopt_t refusedImage(const char* check);

} // namespace tavim
