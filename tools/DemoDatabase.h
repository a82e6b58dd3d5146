#pragma once

#include <QDate>
#include <QString>
#include <functional>

namespace tavim {

struct ConnectionOptions;

// How the tools reach a database file of their own: the embedded engine, as
// SYSDBA, dialect 1, texts in WIN1252.
ConnectionOptions embeddedOptions();

// Creates the database file at path with the schema of tools/tavim.sql and the
// demoContracts() of seed and reference month. The file is built under a new
// name in path's folder, handed to `building` before it is made (so that a
// caller can remove it when the process is stopped), and renamed to path only
// once it is whole: path never holds a database half built. Refuses an existing path
// (EDatabaseError), and removes the new file again when filling it fails.
void createDemoDatabase(const QString& path, int contracts, quint64 seed, QDate reference,
                        const std::function<void(const QString& file)>& building = {});

} // namespace tavim
