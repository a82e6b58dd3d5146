#include "engine/preview/BrProgressForm.h"

#include "engine/store/BrNotices.h"
#include "engine/store/BrPrinter.h"

#include <QCoreApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace tavim {

namespace {

constexpr QSize kClientSize(149, 97);
constexpr int kProgressStep = 5;
// Room a window manager's title bar takes for the icon, buttons and margins.
constexpr int kTitleBarButtons = 128;
// A dialog border: title and close box only, so that the narrow title bar
// keeps its room for the caption.
constexpr Qt::WindowFlags kDialogBorder =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint |
    Qt::MSWindowsFixedSizeDialogHint | Qt::WindowStaysOnTopHint;

} // namespace

TBrProgressForm::TBrProgressForm(TBrPrinter& store, QWidget* parent)
    : QDialog(parent, kDialogBorder), m_store(store), m_gauge(new QProgressBar(this)),
      m_info(new QLabel(this)) {
    setWindowTitle(QStringLiteral("Printing progress"));
    // Wide enough for the caption beside the title bar's icon and buttons,
    // which on Linux take more room than the design's 149 pixels leave; the
    // controls keep their places, centred in the wider window.
    QFont titleFont = font();
    titleFont.setBold(true);
    const int width =
        std::max(kClientSize.width(),
                 QFontMetrics(titleFont).horizontalAdvance(windowTitle()) + kTitleBarButtons);
    setFixedSize(width, kClientSize.height());
    const int dx = (width - kClientSize.width()) / 2;

    m_gauge->setObjectName("Gauge");
    m_gauge->setRange(0, 100);
    m_gauge->setValue(0);
    m_gauge->setTextVisible(false);
    m_gauge->setGeometry(dx + 16, 18, 114, 16);

    m_info->setObjectName("Info");
    m_info->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_info->setGeometry(dx, 44, 145, m_info->fontMetrics().height());

    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName("Cancel");
    cancel->setAutoDefault(false);
    cancel->setGeometry(dx + 36, 60, 75, 25);
    connect(cancel, &QPushButton::clicked, this, [this] { m_store.cancel(); });

    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    store.setClient(this);
}

// The run owns this window; closing it (close box, Esc) asks the run to stop,
// as Cancel does.
void TBrProgressForm::reject() {
    m_store.cancel();
}

bool TBrProgressForm::event(QEvent* event) {
    const auto* progress = notice<TBrProgressEvent>(event);
    if (!progress)
        return QDialog::event(event);
    progressUpdate(progress->percent());
    return true;
}

void TBrProgressForm::progressUpdate(int percent) {
    if (percent % kProgressStep != 0)
        return;
    m_gauge->setValue(percent);
    m_info->setText(QString::number(percent) + QStringLiteral("% ") + QStringLiteral(" Completed"));
    QCoreApplication::processEvents();
}

} // namespace tavim
