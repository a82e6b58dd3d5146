#include "engine/preview/BrPreviewFileDialogs.h"

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>

namespace tavim {

namespace {

QString chosenFile(QFileDialog& dialog) {
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

} // namespace

QString TBrPreviewFileDialogs::saveReportName(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Save report"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Report file(*.BRP)"));
    dialog.setDefaultSuffix(QStringLiteral("BRP"));
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    return chosenFile(dialog);
}

// Any name is accepted here: a missing file is told by the caller.
QString TBrPreviewFileDialogs::loadReportName(QWidget* parent) {
    QFileDialog dialog(parent, QStringLiteral("Load report"));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(QStringLiteral("Report file (*.BRP)"));
    return chosenFile(dialog);
}

void TBrPreviewFileDialogs::information(QWidget* parent, const QString& text) {
    QMessageBox::information(parent, QApplication::applicationDisplayName(), text, QMessageBox::Ok);
}

} // namespace tavim
