#include "tools/Schema.h"

#include "data/firebird/FirebirdSession.h"
#include "tools/IsqlScript.h"

namespace tavim {

extern const char kTavimSchemaSql[];

QString tavimSchemaScript() {
    return QString::fromUtf8(kTavimSchemaSql);
}

void runIsqlScript(FirebirdSession& session, const QString& script) {
    for (const QString& statement : splitIsqlScript(script))
        session.executeImmediate(statement);
}

} // namespace tavim
