#pragma once

#include "app/WindowState.h"

#include <memory>

namespace tavim {

class Clock;
class TdmdCadastro;
class TfrmConfig;
class TfrmImpressao;
class TfrmTavim;

// The long-lived objects, reachable by their names while the program runs.
extern TfrmTavim* frmTavim;
extern TdmdCadastro* dmdCadastro;
extern TfrmImpressao* frmImpressao;
extern TfrmConfig* frmConfig;

// Creates the long-lived objects in their order and destroys them in reverse,
// which closes the result table, the query and the connection.
class TProgram {
public:
    explicit TProgram(const Clock& clock);
    ~TProgram();
    TProgram(const TProgram&) = delete;
    TProgram& operator=(const TProgram&) = delete;

    // Shows the main window as the start request asks (which runs FormShow).
    void showMainWindow(StartState state);

private:
    std::unique_ptr<TfrmTavim> m_frmTavim;
    std::unique_ptr<TdmdCadastro> m_dmdCadastro;
    std::unique_ptr<TfrmImpressao> m_frmImpressao;
    std::unique_ptr<TfrmConfig> m_frmConfig;
};

} // namespace tavim
