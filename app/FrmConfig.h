#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QPushButton;

namespace tavim {

// The contract status dialog: three boxes whose states the next "Gerar" reads.
// It lives for the whole run, so the boxes keep their state between openings.
class TfrmConfig : public QDialog {
public:
    explicit TfrmConfig(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QCheckBox* chkAtivos;
    QCheckBox* chkExtraJudicial;
    QCheckBox* chkJuridico;
    QPushButton* btnFechar;

    void btnFecharClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace tavim
