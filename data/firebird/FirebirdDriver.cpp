#include "data/firebird/FirebirdDriver.h"

namespace tavim {

std::unique_ptr<FirebirdSession> FirebirdDriver::connectSession(const ConnectionOptions& options) {
    return std::make_unique<FirebirdSession>(FbClient::load(m_vendorLib), options);
}

} // namespace tavim
