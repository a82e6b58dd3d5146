#pragma once

#include "app/grid/DataSource.h"

#include <QWidget>

class QComboBox;
class QFrame;
class QLabel;
class QPushButton;

namespace tavim {

class Clock;
class TDataGrid;

// The main window: the period, the status dialog, generating the listing into
// the grid, "+" and "-", printing and quitting.
class TfrmTavim : public QWidget {
public:
    explicit TfrmTavim(const Clock& clock);
    ~TfrmTavim() override;

    QFrame* pnlEntrada;
    QLabel* Label1;
    QComboBox* cbxMes;
    QLabel* Label2;
    QComboBox* cbxAno;
    QPushButton* btnSituacao;
    QPushButton* btnAdd;
    QPushButton* btnRem;
    QPushButton* btnGerar;
    QPushButton* btnImprimir;
    QPushButton* btnSair;
    QFrame* pnlDados;
    TDataGrid* dbgDados;
    TDataSource dsTavim;

    void FormShow();
    void btnGerarClick();
    void btnImprimirClick();
    void btnAddClick();
    void btnRemClick();
    void btnSituacaoClick();
    void btnSairClick();

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void createEntryPanel();
    void createDataPanel();
    void setTabOrders();
    bool gridKeptFocus() const;

    const Clock& m_clock;
};

} // namespace tavim
