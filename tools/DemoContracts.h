#pragma once

#include "tools/Contracts.h"

#include <QDate>
#include <QtGlobal>

namespace tavim {

// count demo contracts with ids 1 to count. Each contract depends only on the
// seed, its id and the month of reference (not its day), so a seed and a month
// give the same rows on every machine, and a larger count only adds rows.
// Contracts start within the five years before the reference month, many with
// no end, so that every month of the reference year and the two years before
// has contracts of every status.
std::vector<ContractRow> demoContracts(int count, quint64 seed, QDate reference);

} // namespace tavim
