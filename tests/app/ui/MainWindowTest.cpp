#include "UiTestSupport.h"

#include "app/FrmConfig.h"
#include "app/FrmTavim.h"
#include "app/Program.h"
#include "app/grid/DataGrid.h"
#include "data/DataModCad.h"
#include "report/FrmImpressao.h"
#include "tests/app/DemoDatabaseEnvironment.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStyleOptionComboBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace tavim;
using namespace tavim::test;

namespace {

const auto* const kDemo = ::testing::AddGlobalTestEnvironment(new DemoDatabaseEnvironment);

class MainWindow : public ::testing::Test {
protected:
    void start(QDate today) {
        m_clock = std::make_unique<FixedClock>(today);
        m_program = std::make_unique<TProgram>(*m_clock);
        m_program->showMainWindow(StartState::Normal);
        shownErrors().clear();
    }
    void TearDown() override { m_program.reset(); }

    void click(QPushButton* button) { QTest::mouseClick(button, Qt::LeftButton); }

    std::unique_ptr<FixedClock> m_clock;
    std::unique_ptr<TProgram> m_program;
};

TEST_F(MainWindow, PeriodDefaultsFromTheLocalClock) {
    struct Case {
        QDate today;
        const char* month;
        QStringList years;
    };
    const Case cases[] = {
        {QDate(2024, 3, 15), "FEVEREIRO", {"2022", "2023", "2024"}},
        {QDate(2024, 1, 10), "DEZEMBRO", {"2022", "2023", "2024"}},
        {QDate(2024, 12, 31), "NOVEMBRO", {"2022", "2023", "2024"}},
    };
    for (const Case& c : cases) {
        start(c.today);
        QStringList years;
        for (int i = 0; i < frmTavim->cbxAno->count(); ++i)
            years << frmTavim->cbxAno->itemText(i);
        EXPECT_EQ(years, c.years) << c.month;
        EXPECT_EQ(frmTavim->cbxAno->currentText(), QStringLiteral("2024"));
        EXPECT_EQ(frmTavim->cbxMes->currentText(), QString::fromUtf8(c.month));
        m_program.reset();
    }
}

TEST_F(MainWindow, ControlsAtTheirDesignPlaces) {
    start(QDate(2024, 3, 15));
    EXPECT_EQ(frmTavim->size(), QSize(813, 569));
    EXPECT_EQ(frmTavim->dbgDados->geometry(), QRect(3, 16, 806, 442));
    EXPECT_FALSE(frmTavim->cbxMes->isEditable());

    frmTavim->resize(913, 669);
    EXPECT_EQ(frmTavim->btnSair->geometry(), QRect(852, 5, 57, 25));
    EXPECT_EQ(frmTavim->btnSituacao->geometry(), QRect(222, 6, 65, 23));
    EXPECT_EQ(frmTavim->pnlDados->geometry(), QRect(0, 36, 912, 601));
    EXPECT_EQ(frmTavim->dbgDados->geometry(), QRect(3, 16, 906, 542));
}

// Every month in full, in the 78-pixel selector and in its list, which may be
// wider; the widths are measured with the fonts the two actually draw with.
TEST_F(MainWindow, EveryMonthNameShowsWholeClosedAndOpen) {
    start(QDate(2024, 3, 15));
    QComboBox* mes = frmTavim->cbxMes;
    ASSERT_EQ(mes->size(), QSize(78, 21));
    ASSERT_EQ(mes->count(), 12);

    QStyleOptionComboBox option;
    option.initFrom(mes);
    option.editable = false;
    option.frame = true;
    option.subControls = QStyle::SC_All;
    const QRect field = mes->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                     QStyle::SC_ComboBoxEditField, mes);
    const QRect arrow =
        mes->style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxArrow, mes);
    const QFontMetrics closedFont(mes->font());
    for (int i = 0; i < mes->count(); ++i) {
        const QString name = mes->itemText(i);
        // The label is drawn 1 pixel inside the field on each side: the name
        // is neither clipped nor touching the arrow's box.
        EXPECT_LE(closedFont.horizontalAdvance(name) + 2, field.width()) << qPrintable(name);
        EXPECT_LE(field.right(), arrow.left()) << qPrintable(name);
    }

    mes->showPopup();
    QAbstractItemView* view = mes->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(view->window()));
    EXPECT_GE(view->window()->width(), mes->width());
    for (int i = 0; i < mes->count(); ++i) {
        const QModelIndex index = view->model()->index(i, 0);
        const QVariant itemFont = index.data(Qt::FontRole);
        const QFontMetrics openFont(itemFont.isValid() ? itemFont.value<QFont>() : view->font());
        const QString name = mes->itemText(i);
        // The item's own width, margins included, is what the list must give
        // it for the name not to be elided.
        EXPECT_LE(openFont.horizontalAdvance(name), view->sizeHintForIndex(index).width())
            << qPrintable(name);
        EXPECT_LE(view->sizeHintForIndex(index).width(), view->viewport()->width())
            << qPrintable(name);
    }
    mes->hidePopup();
}

TEST_F(MainWindow, TabOrder) {
    start(QDate(2024, 3, 15));
    const QWidget* expected[] = {frmTavim->cbxAno,      frmTavim->btnSair, frmTavim->btnImprimir,
                                 frmTavim->btnGerar,    frmTavim->btnAdd,  frmTavim->btnRem,
                                 frmTavim->btnSituacao, frmTavim->dbgDados};
    const QWidget* w = frmTavim->cbxMes;
    for (const QWidget* next : expected) {
        w = w->nextInFocusChain();
        while (w->focusPolicy() == Qt::NoFocus)
            w = w->nextInFocusChain();
        EXPECT_EQ(w, next) << qPrintable(next->objectName());
    }
}

TEST_F(MainWindow, RowButtonsOnTheClosedTableShowTheErrorBox) {
    start(QDate(2024, 3, 15));
    click(frmTavim->btnAdd);
    click(frmTavim->btnRem);
    const QString closed =
        QStringLiteral("cdsTavim: Cannot perform this operation on a closed dataset.");
    EXPECT_EQ(shownErrors(), QStringList({closed, closed}));
    EXPECT_EQ(shownCaption(), static_cast<TApplication*>(qApp)->title());
}

TEST_F(MainWindow, GerarFillsTheTableAndPlusMinusEditIt) {
    start(QDate(2024, 3, 15));
    click(frmTavim->btnGerar);
    ASSERT_TRUE(shownErrors().isEmpty()) << qPrintable(shownErrors().join("\n"));
    TMemTable& table = dmdCadastro->cdsTavim;
    ASSERT_GT(table.rowCount(), 2);
    const int rows = table.rowCount();

    click(frmTavim->btnAdd);
    EXPECT_EQ(table.state(), DataSetState::Insert);
    click(frmTavim->btnRem);
    EXPECT_EQ(table.rowCount(), rows);
    click(frmTavim->btnRem);
    EXPECT_EQ(table.rowCount(), rows - 1);
    EXPECT_TRUE(shownErrors().isEmpty());
}

TEST_F(MainWindow, NoStatusTickedFailsAtTheServer) {
    start(QDate(2024, 3, 15));
    frmConfig->chkAtivos->setChecked(false);
    click(frmTavim->btnGerar);
    ASSERT_EQ(shownErrors().size(), 1);
    EXPECT_FALSE(dmdCadastro->cdsTavim.active());
}

// The error box takes the mouse release when it is shown during the press, so
// each button is pressed and released apart: the press must not leave it down.
TEST_F(MainWindow, AButtonDoesNotActNorStayDownWhenTheGridRefusesItsPendingText) {
    start(QDate(2024, 3, 15));
    click(frmTavim->btnGerar);
    TMemTable& table = dmdCadastro->cdsTavim;
    const int rows = table.rowCount();
    frmTavim->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frmTavim));
    frmTavim->dbgDados->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(frmTavim->dbgDados, Qt::Key_Right);
    // The first character opens the editor; the rest are typed into it.
    QTest::keyClick(frmTavim->dbgDados, Qt::Key_1);
    QTest::keyClicks(frmTavim->dbgDados->findChild<QLineEdit*>(), QStringLiteral("-2"));
    ASSERT_TRUE(frmTavim->dbgDados->textChanged());

    // "Imprimir" and "Situação" would open a modal window if they acted.
    for (QPushButton* button : {frmTavim->btnGerar, frmTavim->btnAdd, frmTavim->btnRem,
                                frmTavim->btnImprimir, frmTavim->btnSituacao}) {
        const QString name = button->objectName();
        shownErrors().clear();
        QTest::mousePress(button, Qt::LeftButton);
        ASSERT_EQ(shownErrors().size(), 1) << qPrintable(name);
        EXPECT_TRUE(shownErrors()[0].startsWith(
            QStringLiteral("'1-2' is not a valid floating point value for field 'ALUGUEL'")))
            << qPrintable(shownErrors()[0]);
        EXPECT_FALSE(button->isDown()) << qPrintable(name);
        QTest::mouseRelease(button, Qt::LeftButton);
        EXPECT_FALSE(button->isDown()) << qPrintable(name);
        EXPECT_EQ(table.state(), DataSetState::Edit) << qPrintable(name);
        EXPECT_EQ(table.rowCount(), rows) << qPrintable(name);
        EXPECT_TRUE(frmTavim->dbgDados->textChanged()) << qPrintable(name);
    }

    // Once the text is corrected the same press acts as usual.
    QTest::keyClick(frmTavim->dbgDados, Qt::Key_Escape);
    click(frmTavim->btnAdd);
    EXPECT_EQ(table.state(), DataSetState::Insert);
}

TEST_F(MainWindow, ImprimirPreviewsTheReportWithThePeriodOfTheSelectors) {
    start(QDate(2024, 3, 15));
    click(frmTavim->btnGerar);
    frmTavim->cbxMes->setCurrentIndex(4);
    bool previewShown = false;
    // The preview is modal: look at it, then close it, from inside its loop.
    std::function<void()> closePreview = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || modal == frmTavim) {
            QTimer::singleShot(20, closePreview);
            return;
        }
        previewShown = modal->windowTitle() == QStringLiteral("Print Preview");
        modal->close();
    };
    QTimer::singleShot(20, closePreview);
    click(frmTavim->btnImprimir);
    EXPECT_TRUE(previewShown);
    EXPECT_TRUE(shownErrors().isEmpty()) << qPrintable(shownErrors().join("\n"));
    EXPECT_EQ(frmImpressao->rpPeriodo->caption(),
              QStringLiteral("Referênte ao mês de MAIO de 2024"));
    EXPECT_TRUE(frmImpressao->relatorio.idle());
}

TEST_F(MainWindow, SairAndTheCloseBoxEndTheLoopWithCodeZero) {
    start(QDate(2024, 3, 15));
    click(frmTavim->btnGerar);
    QTimer::singleShot(0, [] { frmTavim->btnSair->click(); });
    EXPECT_EQ(qApp->exec(), 0);
    EXPECT_TRUE(frmTavim->isVisible()) << "Sair closes no window";

    QTimer::singleShot(0, [] { frmTavim->close(); });
    EXPECT_EQ(qApp->exec(), 0);
    EXPECT_FALSE(frmTavim->isVisible());
}

class StatusDialog : public MainWindow {
protected:
    // Opens the dialog with "Situação" and runs `inside` once it is shown.
    void openAnd(std::function<void()> inside) {
        QTimer::singleShot(0, [inside] {
            inside();
            if (frmConfig->isVisible())
                frmConfig->btnFechar->click();
        });
        click(frmTavim->btnSituacao);
    }
    QString statusList() const {
        return StatusList(frmConfig->chkAtivos->isChecked(),
                          frmConfig->chkExtraJudicial->isChecked(),
                          frmConfig->chkJuridico->isChecked());
    }
};

TEST_F(StatusDialog, OnlyAtivosAtStartAndStateKeptAcrossOpenings) {
    start(QDate(2024, 3, 15));
    openAnd([] {});
    EXPECT_EQ(statusList(), QStringLiteral("('ATIVADO')"));

    openAnd([] {
        QTest::mouseClick(frmConfig->chkJuridico, Qt::LeftButton);
        frmConfig->close();
    });
    EXPECT_FALSE(frmConfig->isVisible());
    EXPECT_EQ(statusList(), QStringLiteral("('ATIVADO', 'JURIDICO')"));

    openAnd([] {});
    EXPECT_EQ(statusList(), QStringLiteral("('ATIVADO', 'JURIDICO')"));

    m_program.reset();
    start(QDate(2024, 3, 15));
    EXPECT_EQ(statusList(), QStringLiteral("('ATIVADO')"));
}

TEST_F(StatusDialog, EscapeAndEnterOnABoxDoNothing) {
    start(QDate(2024, 3, 15));
    bool stillOpen = false;
    openAnd([&] {
        frmConfig->chkExtraJudicial->setFocus();
        QTest::keyClick(frmConfig, Qt::Key_Escape);
        QTest::keyClick(frmConfig->chkExtraJudicial, Qt::Key_Return);
        QTest::keyClick(frmConfig->chkExtraJudicial, Qt::Key_Space);
        stillOpen = frmConfig->isVisible();
        frmConfig->btnFechar->setFocus();
        QTest::keyClick(frmConfig->btnFechar, Qt::Key_Return);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_FALSE(frmConfig->isVisible());
    EXPECT_EQ(statusList(), QStringLiteral("('ATIVADO', 'EXTRA JUDICIAL')"));
}

} // namespace
