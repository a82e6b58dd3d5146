#pragma once

#include <QString>

class QWidget;

namespace tavim {

// The system dialogs the preview's Save and Load buttons ask; a test answers
// them without showing anything modal.
class TBrPreviewFileDialogs {
public:
    virtual ~TBrPreviewFileDialogs() = default;
    // The chosen file name, or empty when the user cancelled.
    virtual QString saveReportName(QWidget* parent);
    virtual QString loadReportName(QWidget* parent);
    virtual void information(QWidget* parent, const QString& text);
};

} // namespace tavim
