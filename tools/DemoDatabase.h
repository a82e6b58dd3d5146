#pragma once

#include <QDate>
#include <QString>

namespace tavim {

struct ConnectionOptions;

// How the tools reach a database file of their own: the embedded engine, as
// SYSDBA, dialect 1, texts in WIN1252.
ConnectionOptions embeddedOptions();

// Creates the database file at path with the schema of tools/tavim.sql and the
// demoContracts() of seed and reference month. Refuses an existing path
// (EDatabaseError), and removes the new file again when filling it fails.
void createDemoDatabase(const QString& path, int contracts, quint64 seed, QDate reference);

} // namespace tavim
