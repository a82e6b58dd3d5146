#pragma once

#include "engine/store/BrPrinter.h"

#include <QString>
#include <functional>
#include <memory>

namespace tavim::test {

// A store on a machine without printers, so that nothing depends on CUPS.
std::unique_ptr<TBrPrinter> makeStore();

// Runs `step` on a thread of its own and waits for it: the store is filled
// from outside the user-interface thread, as a generation run does it.
void onWorker(const std::function<void()>& step);

void beginDoc(TBrPrinter& store);
// Begins a page and draws on it.
void newPage(TBrPrinter& store);
void endDoc(TBrPrinter& store);
// A finished document of `pages` pages.
void fill(TBrPrinter& store, int pages);

// Delivers the notices posted so far.
void deliverNotices();

QString tempPath(const QString& name);

} // namespace tavim::test
