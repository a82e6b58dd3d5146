#include "StoreFixture.h"

#include "engine/emf/EmfPaintEngine.h"
#include "engine/emf/EmfRecords.h"
#include "engine/emf/GlyphAdvances.h"
#include "engine/preview/BrFindBar.h"
#include "engine/preview/BrPageImage.h"
#include "engine/preview/BrPreview.h"
#include "engine/preview/BrPreviewFileDialogs.h"
#include "engine/preview/BrStandardPreview.h"
#include "error/Exception.h"

#include <QAction>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>

namespace tavim::test {
namespace {

struct AnsweringDialogs : TBrPreviewFileDialogs {
    QString saveReportName(QWidget*) override { return saveName; }
    QString loadReportName(QWidget*) override { return loadName; }
    void information(QWidget*, const QString& text) override { told << text; }
    QStringList told;
    QString saveName;
    QString loadName;
};

struct CountingOwner : TBrStoreOwner {
    void printRequested() override {}
    void previewClosed() override { ++closed; }
    int closed = 0;
};

const QPointF kTextAt(100, 200);

QFont findFont() {
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(16);
    return font;
}

// Begins a page with `lines` drawn one under the other from kTextAt.
void textPage(TBrPrinter& store, const QStringList& lines) {
    onWorker([&] {
        store.newPage();
        QPainter& canvas = *store.canvas();
        canvas.setFont(findFont());
        canvas.setPen(Qt::black);
        for (qsizetype i = 0; i < lines.size(); ++i)
            canvas.drawText(kTextAt + QPointF(0, 18.0 * double(i)), lines[i]);
    });
}

class PreviewWindowTest : public ::testing::Test {
protected:
    void open() {
        window = std::make_unique<TBrStandardPreview>(*store);
        auto dialogs = std::make_unique<AnsweringDialogs>();
        answers = dialogs.get();
        window->setFileDialogs(std::move(dialogs));
        window->show();
        deliverNotices();
    }
    QAction* action(const char* name) const { return window->findChild<QAction*>(name); }
    void trigger(const char* name) const { action(name)->trigger(); }
    QString panel(const char* name) const { return window->findChild<QLabel*>(name)->text(); }
    bool pictureShown() const { return window->preview().image().pictureLoaded(); }

    std::unique_ptr<TBrPrinter> store = makeStore();
    std::unique_ptr<TBrStandardPreview> window;
    AnsweringDialogs* answers = nullptr; // owned by the window
};

TEST_F(PreviewWindowTest, PageOneAppearsOnceThePageAfterItBegins) {
    beginDoc(*store);
    newPage(*store);
    open();
    EXPECT_FALSE(pictureShown());
    EXPECT_EQ(panel("PagePanel"), "Page");

    newPage(*store);
    deliverNotices();
    EXPECT_TRUE(pictureShown());
    EXPECT_EQ(panel("PagePanel"), "Page 1 of 2");
    EXPECT_EQ(window->preview().zoomMode(), TBrZoomMode::Width);
    EXPECT_FALSE(action("Print")->isEnabled());
    EXPECT_FALSE(action("PrintSetup")->isEnabled());
}

TEST_F(PreviewWindowTest, OnePageReportShowsNothingUntilTheRunEnds) {
    beginDoc(*store);
    open();
    newPage(*store);
    deliverNotices();
    EXPECT_FALSE(pictureShown());

    endDoc(*store);
    deliverNotices();
    EXPECT_TRUE(pictureShown());
    EXPECT_EQ(panel("PagePanel"), "Page 1 of 1");
    EXPECT_TRUE(action("Print")->isEnabled());
    EXPECT_TRUE(action("PrintSetup")->isEnabled());
}

TEST_F(PreviewWindowTest, RunFinishedBeforeTheWindowIsCaughtUpOn) {
    fill(*store, 2);
    open();
    EXPECT_TRUE(pictureShown());
    EXPECT_EQ(window->preview().zoomMode(), TBrZoomMode::Width);
    EXPECT_EQ(panel("PagePanel"), "Page 1 of 2");
    EXPECT_TRUE(action("Print")->isEnabled());
    EXPECT_TRUE(action("PrintSetup")->isEnabled());
}

TEST_F(PreviewWindowTest, ProgressPanelStepsByFivePoints) {
    struct Case {
        std::vector<int> percents;
        QStringList shown;
    };
    const std::vector<Case> cases = {
        {{33, 66, 100}, {"33%", "66%", ""}},
        {{2, 4, 5}, {"0%", "0%", "5%"}},
    };
    for (const Case& c : cases) {
        store = makeStore();
        open();
        for (std::size_t i = 0; i < c.percents.size(); ++i) {
            store->progress(c.percents[i]);
            deliverNotices();
            EXPECT_EQ(panel("ProgressPanel"), c.shown[qsizetype(i)]) << c.percents[i];
        }
        window.reset();
    }
}

TEST_F(PreviewWindowTest, Zoom100OnA4) {
    open();
    trigger("Zoom100");
    EXPECT_EQ(window->preview().image().size(), QSize(798, 1127));
    EXPECT_TRUE(action("Zoom100")->isChecked());
    EXPECT_FALSE(action("ZoomToWidth")->isChecked());
}

TEST_F(PreviewWindowTest, PageMovesByKey) {
    struct Case {
        int start;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int expected;
    };
    const Case cases[] = {
        {1, Qt::Key_PageUp, Qt::NoModifier, 1},
        {3, Qt::Key_PageDown, Qt::NoModifier, 3},
        {1, Qt::Key_PageDown, Qt::NoModifier, 2},
        {3, Qt::Key_PageUp, Qt::ControlModifier, 1},
        {3, Qt::Key_PageUp, Qt::ControlModifier | Qt::ShiftModifier, 2},
        {1, Qt::Key_PageDown, Qt::ControlModifier, 3},
        {1, Qt::Key_End, Qt::NoModifier, 3},
    };
    fill(*store, 3);
    open();
    for (const Case& c : cases) {
        window->preview().setPageNumber(c.start);
        QTest::keyClick(&window->preview(), c.key, c.modifiers);
        EXPECT_EQ(window->preview().pageNumber(), c.expected) << c.start << " key " << c.key;
        EXPECT_EQ(panel("PagePanel"), QString("Page %1 of 3").arg(c.expected));
    }
}

TEST_F(PreviewWindowTest, SaveWritesOnlyAFinishedRunAndReplacesTheFile) {
    const QString fileName = tempPath("save.BRP");
    QFile old(fileName);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("junk");
    old.close();

    beginDoc(*store);
    newPage(*store);
    open();
    answers->saveName = fileName;
    trigger("SaveReport");
    EXPECT_EQ(QFile(fileName).size(), 4);
    EXPECT_EQ(answers->told,
              QStringList{"The report is still being generated; save it when it is finished."});

    endDoc(*store);
    deliverNotices();
    trigger("SaveReport");
    EXPECT_GT(QFile(fileName).size(), 128);
    EXPECT_EQ(answers->told.size(), 1);
    QFile::remove(fileName);
}

TEST_F(PreviewWindowTest, OpeningAFileDuringARunShowsTheFile) {
    const QString fileName = tempPath("load.BRP");
    {
        auto saved = makeStore();
        fill(*saved, 2);
        saved->save(fileName);
    }
    beginDoc(*store);
    newPage(*store);
    newPage(*store);
    open();
    newPage(*store); // its notice is still queued when the file is opened
    answers->loadName = fileName;
    trigger("LoadReport");
    deliverNotices();
    EXPECT_EQ(store->status(), TBrStatus::Finished);
    EXPECT_TRUE(pictureShown());
    EXPECT_EQ(panel("PagePanel"), "Page 1 of 2");
    EXPECT_FALSE(action("PrintSetup")->isEnabled());
    EXPECT_TRUE(action("Print")->isEnabled());

    // The replaced run goes on and ends without disturbing the window.
    newPage(*store);
    endDoc(*store);
    deliverNotices();
    EXPECT_FALSE(action("PrintSetup")->isEnabled());
    EXPECT_EQ(store->pageCount(), 2);
    QFile::remove(fileName);
}

TEST_F(PreviewWindowTest, OpeningAFileClearsTheProgressOfTheReplacedRun) {
    const QString fileName = tempPath("progress.BRP");
    {
        auto saved = makeStore();
        fill(*saved, 1);
        saved->save(fileName);
    }
    beginDoc(*store);
    newPage(*store);
    open();
    store->progress(50);
    deliverNotices();
    ASSERT_EQ(panel("ProgressPanel"), "50%");
    store->progress(55); // still queued when the file is opened
    answers->loadName = fileName;
    trigger("LoadReport");
    deliverNotices();
    EXPECT_EQ(panel("ProgressPanel"), "");
    QFile::remove(fileName);
}

// What a run that fails does to its store: the document is aborted, the error
// kept and the client told.
void failRun(TBrPrinter& store, const QString& message) {
    onWorker([&] {
        store.abortDoc();
        store.keepRunError(std::make_exception_ptr(Exception(message)));
        store.notifyRunFailed();
    });
}

QString errorOfNotices() {
    try {
        deliverNotices();
    } catch (const Exception& e) {
        return e.message();
    }
    return QStringLiteral("no error");
}

TEST_F(PreviewWindowTest, AFailedRunIsShownAtOnceWithItsPages) {
    beginDoc(*store);
    newPage(*store);
    open();
    store->progress(30);
    newPage(*store);
    newPage(*store);
    failRun(*store, QStringLiteral("boom"));
    EXPECT_EQ(errorOfNotices(), "boom") << "the error box comes up while the window is open";
    EXPECT_EQ(panel("PagePanel"), "Page 1 of 3");
    EXPECT_EQ(panel("ProgressPanel"), "30%");
    EXPECT_TRUE(pictureShown());
    EXPECT_TRUE(action("Print")->isEnabled());
    trigger("LastPage");
    EXPECT_TRUE(pictureShown()) << "the page open when the run failed is viewable";
    EXPECT_EQ(store->takeRunError(), nullptr) << "shown once, not again when the window closes";
}

TEST_F(PreviewWindowTest, ARunThatFailedBeforeTheWindowOpenedIsShownOnOpening) {
    beginDoc(*store);
    newPage(*store);
    failRun(*store, QStringLiteral("early"));
    window = std::make_unique<TBrStandardPreview>(*store);
    window->show();
    EXPECT_EQ(errorOfNotices(), "early");
    EXPECT_EQ(panel("PagePanel"), "Page 1 of 1");
    EXPECT_TRUE(pictureShown());
}

// What the window shows: page, page image, status panels and which buttons work.
struct Shown {
    int page;
    int imagePage;
    QString position;
    QString progress;
    QList<bool> enabled;
    QImage image;

    bool operator==(const Shown&) const = default;
};

Shown shownBy(TBrStandardPreview& window) {
    Shown shown{window.preview().pageNumber(),
                window.preview().image().pageNumber(),
                window.findChild<QLabel*>("PagePanel")->text(),
                window.findChild<QLabel*>("ProgressPanel")->text(),
                {},
                window.preview().image().grab().toImage()};
    for (const QAction* action : window.findChildren<QAction*>())
        shown.enabled << action->isEnabled();
    return shown;
}

// A damaged file opened over a finished or a running report changes nothing
// on screen, and a run going on ends as it would have.
TEST_F(PreviewWindowTest, FailedLoadShowsWhatWasShownBefore) {
    const QString damaged = tempPath("damaged.BRP");
    const QString blank = tempPath("blank.BRP");
    {
        auto saved = makeStore();
        fill(*saved, 1);
        saved->save(damaged);
        QFile file(damaged);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite));
        const QByteArray bytes = file.readAll();
        file.resize(0);
        file.write(bytes.left(100));
        file.close();
        saved->save(blank);
        QFile header(blank);
        ASSERT_TRUE(header.open(QIODevice::ReadWrite));
        header.seek(128 + 8 + 41);
        header.write("XYZ");
    }
    struct Case {
        const char* name;
        bool running;
        QString file;
        QString error;
    };
    const Case cases[] = {
        {"finished, short file", false, damaged, "Stream read error"},
        {"finished, broken image", false, blank, "Metafile is not valid"},
        {"running, short file", true, damaged, "Stream read error"},
        {"running, broken image", true, blank, "Metafile is not valid"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        store = makeStore();
        beginDoc(*store);
        newPage(*store);
        newPage(*store);
        if (c.running)
            newPage(*store); // page 2 is finished, page 3 open
        else
            endDoc(*store);
        open();
        store->progress(40);
        deliverNotices();
        window->nextPage();
        const Shown before = shownBy(*window);
        ASSERT_EQ(before.position, c.running ? "Page 2 of 3" : "Page 2 of 2");
        ASSERT_TRUE(pictureShown());

        answers->loadName = c.file;
        QString error;
        try {
            window->loadReport();
        } catch (const Exception& e) {
            error = e.message();
        }
        deliverNotices();
        EXPECT_EQ(error, c.error);
        EXPECT_TRUE(shownBy(*window) == before);
        EXPECT_FALSE(store->reportLoaded());
        EXPECT_FALSE(store->cancelled());
        // The document is still there to page through (and, when whole, to save).
        window->firstPage();
        EXPECT_EQ(panel("PagePanel"), c.running ? "Page 1 of 3" : "Page 1 of 2");
        EXPECT_TRUE(pictureShown());
        if (!c.running) {
            const QString saved = tempPath("kept.BRP");
            answers->saveName = saved;
            window->saveReport();
            EXPECT_GT(QFile(saved).size(), 128);
            QFile::remove(saved);
        }

        if (c.running) {
            newPage(*store);
            endDoc(*store);
            deliverNotices();
            EXPECT_EQ(panel("PagePanel"), "Page 1 of 4");
            EXPECT_TRUE(action("Print")->isEnabled());
            EXPECT_TRUE(action("PrintSetup")->isEnabled());
            window->lastPage();
            EXPECT_TRUE(pictureShown());
        }
        window.reset();
    }
    QFile::remove(damaged);
    QFile::remove(blank);
}

TEST_F(PreviewWindowTest, ClosingDuringARunCancelsItAndTellsTheReportOnce) {
    const std::vector<std::function<void(TBrStandardPreview&)>> closings = {
        [](TBrStandardPreview& w) { w.findChild<QPushButton*>("ExitButton")->click(); },
        [](TBrStandardPreview& w) { QTest::keyClick(&w.preview(), Qt::Key_Escape); },
        [](TBrStandardPreview& w) { w.close(); },
    };
    for (const auto& closeWindow : closings) {
        CountingOwner owner;
        store = makeStore();
        store->setOwner(&owner);
        beginDoc(*store);
        newPage(*store);
        open();
        closeWindow(*window);
        EXPECT_FALSE(window->isVisible());
        EXPECT_TRUE(store->cancelled());
        window.reset();
        EXPECT_EQ(owner.closed, 1);
        store->progress(50); // no client any more: nothing to deliver to
        deliverNotices();
        store.reset();
    }
}

// Pages 1 to 3 are finished, page 4 is still open until the run ends.
TEST_F(PreviewWindowTest, FindBarSearchesFinishedPagesAndNewOnesAsTheyCome) {
    beginDoc(*store);
    textPage(*store, {"Contrato de João da Silva"});
    textPage(*store, {"Contrato renovado", "em janeiro"});
    textPage(*store, {"Inquilino: JOSÉ Pereira"});
    textPage(*store, {"Beltrano"});
    open();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(&window->preview(), Qt::Key_F, Qt::ControlModifier);
    TBrFindBar& bar = window->findBar();
    ASSERT_TRUE(bar.isVisible());
    auto* text = window->findChild<QLineEdit*>("FindText");
    ASSERT_TRUE(text->hasFocus());

    struct Case {
        const char* text; // nullptr: the run ends instead, the text stays
        int matches;
        int page;
        std::size_t boxes;
        const char* count;
    };
    const Case cases[] = {
        {"JOAO", 1, 1, 1, "1 of 1"},           // accents and case
        {"renovado em", 1, 2, 2, "1 of 1"},    // across the lines of one text
        {"contrato", 2, 2, 1, "2 of 2"},       // the first from the page shown
        {"jose pereira", 1, 3, 1, "1 of 1"},   // the last page finished so far
        {"beltrano", 0, 3, 0, "No matches"},   // the open page is not searched
        {nullptr, 1, 4, 1, "1 of 1"},          // until the run finishes it
        {"nada disso", 0, 4, 0, "No matches"}, // the outline goes with the match
    };
    for (const Case& c : cases) {
        if (c.text)
            text->setText(QString::fromUtf8(c.text));
        else
            endDoc(*store);
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return bar.caughtUp() && bar.matchCount() == c.matches; }, 5000))
            << (c.text ? c.text : "end of run") << ": " << bar.matchCount();
        EXPECT_EQ(window->preview().pageNumber(), c.page) << c.text;
        EXPECT_EQ(window->findChild<QLabel*>("FindCount")->text(), c.count) << c.text;
        EXPECT_EQ(window->preview().image().outlineOnImage().size(), c.boxes) << c.text;
    }
    // Past the last match the search starts from the first; F3 and Shift+F3
    // step through the matches and round; Esc closes the bar first.
    text->setText(QStringLiteral("contrato"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return bar.caughtUp() && bar.matchCount() == 2; }, 5000));
    EXPECT_EQ(window->preview().pageNumber(), 1);
    QTest::keyClick(text, Qt::Key_F3);
    EXPECT_EQ(window->preview().pageNumber(), 2);
    QTest::keyClick(text, Qt::Key_Return);
    EXPECT_EQ(window->preview().pageNumber(), 1);
    QTest::keyClick(text, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(panel("PagePanel"), "Page 2 of 4");
    // A file opened meanwhile is searched instead of the pages it replaced.
    const QString fileName = tempPath("find.BRP");
    {
        auto saved = makeStore();
        beginDoc(*saved);
        textPage(*saved, {"Outro contrato"});
        endDoc(*saved);
        saved->save(fileName);
    }
    answers->loadName = fileName;
    trigger("LoadReport");
    EXPECT_TRUE(QTest::qWaitFor([&] { return bar.caughtUp() && bar.matchCount() == 1; }, 5000))
        << bar.matchCount();
    QFile::remove(fileName);
    QTest::keyClick(text, Qt::Key_Escape);
    EXPECT_FALSE(bar.isVisible());
    EXPECT_TRUE(window->preview().image().outlineOnImage().empty());
    EXPECT_TRUE(window->isVisible());
}

// A page that cannot be read any more (its file cut short after it was
// opened) stops the search with the reason beside what was found.
TEST_F(PreviewWindowTest, FindBarShowsWhyThePagesCouldNotAllBeSearched) {
    const QString fileName = tempPath("cut.BRP");
    {
        auto saved = makeStore();
        beginDoc(*saved);
        textPage(*saved, {"Contrato um"});
        textPage(*saved, {"Contrato dois"});
        endDoc(*saved);
        saved->save(fileName);
    }
    store->load(fileName);
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 100));
    file.close();
    open();
    window->findBar().open();
    window->findChild<QLineEdit*>("FindText")->setText(QStringLiteral("contrato"));
    const QLabel* count = window->findChild<QLabel*>("FindCount");
    EXPECT_TRUE(QTest::qWaitFor([&] { return window->findBar().caughtUp(); }, 5000));
    EXPECT_EQ(count->text(), "1 of 1 (Stream read error)");
    QFile::remove(fileName);
}

// The box lies where the recorder put the characters, at any zoom, for each
// alignment the band engine writes (a rent is right-aligned, a title centred).
TEST_F(PreviewWindowTest, FoundTextIsOutlinedAtEveryZoom) {
    const QString line = QStringLiteral("Contrato de João da Silva");
    GlyphAdvances& advances = GlyphAdvances::of(findFont());
    const int width = qRound(advances.width(line));
    const int before = qRound(advances.width(QStringLiteral("Contrato de ")));
    const int through = qRound(advances.width(QStringLiteral("Contrato de João")));
    const std::pair<quint32, int> alignments[] = {
        {emf::TA_LEFT, 0}, {emf::TA_RIGHT, width}, {emf::TA_CENTER, width / 2}};
    for (const auto& [align, back] : alignments) {
        window.reset();
        store = makeStore();
        beginDoc(*store);
        onWorker([&] {
            store->newPage();
            auto* engine = dynamic_cast<EmfPaintEngine*>(store->canvas()->paintEngine());
            ASSERT_NE(engine, nullptr);
            engine->drawTextLine(kTextAt, align | emf::TA_BASELINE, line, findFont(), 0, Qt::black);
        });
        endDoc(*store);
        open();
        window->findBar().open();
        window->findChild<QLineEdit*>("FindText")->setText(QStringLiteral("joão"));
        ASSERT_TRUE(QTest::qWaitFor([&] { return window->findBar().matchCount() == 1; }, 5000));
        const double left = kTextAt.x() - back + before;
        const double right = kTextAt.x() - back + through;
        for (const int zoom : {100, 250}) {
            window->preview().setZoom(zoom);
            const TBrPageImage& image = window->preview().image();
            const double scale = image.width() / 794.0;
            ASSERT_EQ(image.outlineOnImage().size(), 1u) << zoom;
            const QRect box = image.outlineOnImage().front();
            EXPECT_NEAR(box.left(), left * scale - 2, 2) << align << " " << zoom;
            EXPECT_NEAR(box.right(), right * scale + 2, 2) << align << " " << zoom;
            EXPECT_LT(box.top(), kTextAt.y() * scale) << zoom;
            EXPECT_GT(box.bottom(), kTextAt.y() * scale) << zoom;
        }
    }
}

} // namespace
} // namespace tavim::test
