// The windows as a window manager sees them: run by under-openbox.sh on an
// Xvfb display that openbox manages. Captions are read back with xprop, as the
// title bar shows them. The run leaves PNGs of the whole screen, title bars
// included, in the working folder.

#include "app/Application.h"
#include "app/Clock.h"
#include "app/FrmTavim.h"
#include "app/Program.h"
#include "app/grid/DataGrid.h"
#include "data/DataModCad.h"
#include "engine/preview/BrProgressForm.h"
#include "engine/store/BrPrinter.h"
#include "tests/app/DemoDatabaseEnvironment.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavim;

namespace {

class FixedClock : public Clock {
public:
    QDate today() const override { return QDate(2024, 3, 15); }
};

// The values of a window's properties as xprop prints them, each a list of
// the property's strings ("" for a property that is set but not a string).
using Properties = QMap<QString, QStringList>;

QStringList quotedStrings(const QString& value) {
    QStringList strings;
    static const QRegularExpression quoted(QStringLiteral(R"re("((?:[^"\\]|\\.)*)")re"));
    for (const QRegularExpressionMatch& m : quoted.globalMatch(value)) {
        QString s = m.captured(1);
        s.replace(QStringLiteral("\\\""), QStringLiteral("\""))
            .replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
        strings << s;
    }
    return strings;
}

Properties readProperties(const QWidget* window) {
    QProcess xprop;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    xprop.setProcessEnvironment(env);
    xprop.start(QStringLiteral("xprop"),
                {QStringLiteral("-notype"), QStringLiteral("-id"), QString::number(window->winId()),
                 QStringLiteral("_NET_WM_NAME"), QStringLiteral("WM_NAME"),
                 QStringLiteral("WM_CLASS"), QStringLiteral("_NET_FRAME_EXTENTS")});
    if (!xprop.waitForFinished(5000) || xprop.exitCode() != 0) {
        ADD_FAILURE() << "xprop failed: " << qPrintable(xprop.errorString());
        return {};
    }
    Properties properties;
    static const QRegularExpression line(QStringLiteral(R"(^(\w+) = (.*)$)"));
    for (const QString& text : QString::fromUtf8(xprop.readAllStandardOutput()).split('\n')) {
        const QRegularExpressionMatch m = line.match(text);
        if (m.hasMatch())
            properties[m.captured(1)] = quotedStrings(m.captured(2));
    }
    return properties;
}

// Waits until openbox has framed the window, then reads its properties.
Properties managedProperties(const QWidget* window) {
    Properties properties;
    const bool framed = QTest::qWaitFor(
        [&] {
            properties = readProperties(window);
            return properties.contains(QStringLiteral("_NET_FRAME_EXTENTS"));
        },
        5000);
    EXPECT_TRUE(framed) << "openbox did not manage " << qPrintable(window->windowTitle());
    return properties;
}

std::string text(const QStringList& strings) {
    return strings.join(QStringLiteral("\", \"")).toStdString();
}

// The caption in both the title bar's name properties, nothing appended.
void expectCaption(const QWidget* window, const QString& caption) {
    const Properties properties = managedProperties(window);
    EXPECT_EQ(text(properties.value(QStringLiteral("_NET_WM_NAME"))), caption.toStdString());
    EXPECT_EQ(text(properties.value(QStringLiteral("WM_NAME"))), caption.toStdString());
}

void saveScreen(const QString& name) {
    QTest::qWait(150); // the window manager's frames and our own paint
    const QPixmap screen = QGuiApplication::primaryScreen()->grabWindow(0);
    const QString path = QDir::current().filePath(name);
    EXPECT_TRUE(screen.save(path)) << qPrintable(path);
}

// Print is enabled once the run has finished every page.
void waitForTheWholeReport(QWidget* preview) {
    const QAction* print = preview->findChild<QAction*>(QStringLiteral("Print"));
    ASSERT_NE(print, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return print->isEnabled(); }, 10000));
}

// Runs `inside` from within the event loop of the next modal window, then
// closes that window (Cancel for a question).
void onModal(const std::function<void(QWidget*)>& inside, int tries) {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal && modal->isVisible()) {
        inside(modal);
        modal->close();
        return;
    }
    if (tries > 0)
        QTimer::singleShot(20, [inside, tries] { onModal(inside, tries - 1); });
}

void whenModal(const std::function<void(QWidget*)>& inside) {
    QTimer::singleShot(20, [inside] { onModal(inside, 250); });
}

class WindowManager : public ::testing::Test {
protected:
    void SetUp() override {
        m_program = std::make_unique<TProgram>(m_clock);
        m_program->showMainWindow(StartState::Normal);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frmTavim));
    }
    void TearDown() override { m_program.reset(); }

    // A money text the field refuses, left pending in the grid's editor.
    void leaveRefusedMoneyText() {
        QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
        ASSERT_TRUE(dmdCadastro->cdsTavim.active());
        frmTavim->dbgDados->setFocus();
        for (int i = 0; i < 3; ++i) // to ALUGUEL
            QTest::keyClick(frmTavim->dbgDados, Qt::Key_Right);
        // The first character opens the editor; the rest are typed into it.
        QTest::keyClick(frmTavim->dbgDados, Qt::Key_1);
        QTest::keyClicks(frmTavim->dbgDados->findChild<QLineEdit*>(), QStringLiteral("-2"));
        ASSERT_TRUE(frmTavim->dbgDados->textChanged());
    }

    const FixedClock m_clock;
    std::unique_ptr<TProgram> m_program;
};

TEST_F(WindowManager, MainWindowIsTavimAndGroupsUnderTheApplicationTitle) {
    // This executable's title is not "Tavim": the caption must not follow it.
    const QString title = static_cast<TApplication*>(qApp)->title();
    ASSERT_NE(title, QStringLiteral("Tavim"));
    expectCaption(frmTavim, QStringLiteral("Tavim"));
    const QString instance = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    EXPECT_EQ(text(readProperties(frmTavim).value(QStringLiteral("WM_CLASS"))),
              text({instance, title}));

    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    ASSERT_TRUE(dmdCadastro->cdsTavim.active());
    saveScreen(QStringLiteral("main-window-wm.png"));
}

TEST_F(WindowManager, MonthListOpen) {
    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    frmTavim->cbxMes->showPopup();
    QWidget* popup = frmTavim->cbxMes->view()->window();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popup));
    saveScreen(QStringLiteral("month-list.png"));
    frmTavim->cbxMes->hidePopup();
}

TEST_F(WindowManager, StatusDialogIsConfiguracoes) {
    bool seen = false;
    whenModal([&](QWidget* dialog) {
        expectCaption(dialog, QStringLiteral("Configurações"));
        seen = true;
    });
    QTest::mouseClick(frmTavim->btnSituacao, Qt::LeftButton);
    EXPECT_TRUE(seen);
}

TEST_F(WindowManager, DeleteConfirmationIsConfirm) {
    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    const int rows = dmdCadastro->cdsTavim.rowCount();
    bool seen = false;
    whenModal([&](QWidget* box) {
        expectCaption(box, QStringLiteral("Confirm"));
        seen = true;
    });
    frmTavim->dbgDados->setFocus();
    QTest::keyClick(frmTavim->dbgDados, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(seen);
    EXPECT_EQ(dmdCadastro->cdsTavim.rowCount(), rows);
}

// A real click on "Gerar" with a refused text pending: the error box, under
// the application title, takes the release; "Gerar" neither runs nor stays down.
TEST_F(WindowManager, ErrorBoxHasTheApplicationTitleAndLeavesNoButtonDown) {
    leaveRefusedMoneyText();
    QString text;
    whenModal([&](QWidget* box) {
        expectCaption(box, static_cast<TApplication*>(qApp)->title());
        text = static_cast<QMessageBox*>(box)->text();
    });
    const QPoint centre = frmTavim->btnGerar->mapToGlobal(frmTavim->btnGerar->rect().center());
    ASSERT_EQ(QProcess::execute(QStringLiteral("xdotool"),
                                {QStringLiteral("mousemove"), QString::number(centre.x()),
                                 QString::number(centre.y()), QStringLiteral("click"),
                                 QStringLiteral("1")}),
              0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !text.isEmpty(); }, 5000));
    QTest::qWait(100);
    EXPECT_TRUE(text.startsWith(QStringLiteral("'1-2' is not a valid floating point value")))
        << qPrintable(text);
    EXPECT_FALSE(frmTavim->btnGerar->isDown());
    EXPECT_EQ(dmdCadastro->cdsTavim.state(), DataSetState::Edit) << "Gerar ran";
    EXPECT_TRUE(frmTavim->dbgDados->textChanged());
}

TEST_F(WindowManager, PreviewIsPrintPreview) {
    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    bool seen = false;
    whenModal([&](QWidget* preview) {
        waitForTheWholeReport(preview);
        expectCaption(preview, QStringLiteral("Print Preview"));
        saveScreen(QStringLiteral("preview-wm.png"));
        seen = true;
    });
    QTest::mouseClick(frmTavim->btnImprimir, Qt::LeftButton);
    EXPECT_TRUE(seen);
}

// Ctrl+F opens the find bar under the page; the first match is outlined in view.
TEST_F(WindowManager, PreviewFindBarShowsTheFirstMatch) {
    QTest::mouseClick(frmTavim->btnGerar, Qt::LeftButton);
    bool seen = false;
    whenModal([&](QWidget* preview) {
        waitForTheWholeReport(preview);
        QTest::keyClick(preview, Qt::Key_F, Qt::ControlModifier);
        auto* text = preview->findChild<QLineEdit*>(QStringLiteral("FindText"));
        ASSERT_NE(text, nullptr);
        EXPECT_TRUE(text->isVisible());
        QTest::keyClicks(text, QStringLiteral("joao"));
        const auto* count = preview->findChild<QLabel*>(QStringLiteral("FindCount"));
        EXPECT_TRUE(QTest::qWaitFor([&] { return count->text().contains(" of "); }, 10000))
            << qPrintable(count->text());
        saveScreen(QStringLiteral("find-bar-wm.png"));
        seen = true;
    });
    QTest::mouseClick(frmTavim->btnImprimir, Qt::LeftButton);
    EXPECT_TRUE(seen);
}

TEST(WindowManagerProgress, ProgressWindowIsPrintingProgress) {
    TBrPrinter store;
    {
        TBrProgressForm progress(store);
        progress.show();
        expectCaption(&progress, QStringLiteral("Printing progress"));
    }
    store.setClient(nullptr);
}

} // namespace

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::AddGlobalTestEnvironment(new tavim::test::DemoDatabaseEnvironment);
    TApplication application(argc, argv);
    return RUN_ALL_TESTS();
}
