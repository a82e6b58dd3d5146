#pragma once

#include <QString>

namespace tavim {

class FirebirdSession;

// tools/tavim.sql, built into the program.
QString tavimSchemaScript();

// Runs each statement of an isql script in a transaction of its own.
void runIsqlScript(FirebirdSession& session, const QString& script);

} // namespace tavim
