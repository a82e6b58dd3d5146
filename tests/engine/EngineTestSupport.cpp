#include "EngineTestSupport.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QtEndian>
#include <gtest/gtest.h>

namespace tavim::test {

namespace {

// Painting text needs a QGuiApplication; one for the whole test program.
class GuiEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        m_app = std::make_unique<QGuiApplication>(m_argc, m_argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    int m_argc = 1;
    char m_name[16] = "engine-tests";
    char* m_argv[2] = {m_name, nullptr};
    std::unique_ptr<QGuiApplication> m_app;
};

[[maybe_unused]] const auto* const kEnvironment =
    ::testing::AddGlobalTestEnvironment(new GuiEnvironment);

} // namespace

std::shared_ptr<FakePrinter> capablePrinter() {
    auto printer = std::make_shared<FakePrinter>();
    printer->caps = {true, true, true, true, true, true, true, {}};
    for (int code = 1; code <= 26; ++code)
        printer->caps.paperCodes << code;
    printer->caps.paperCodes << 256;
    printer->defaults.paperCode = 9;
    printer->defaults.paperSource = 7;
    printer->mode = printer->defaults;
    return printer;
}

std::shared_ptr<FakePrinter> noPrinter() {
    auto printer = std::make_shared<FakePrinter>();
    printer->printers.clear();
    printer->defaultIndex = -1;
    return printer;
}

std::unique_ptr<TBrPrinter> storeOn(const std::shared_ptr<FakePrinter>& printer) {
    return std::make_unique<TBrPrinter>(std::make_unique<FakePrinterDriver>(printer));
}

void drawPage(TBrPrinter& store, int number) {
    QPainter& painter = *store.canvas();
    painter.setFont(QFont(QStringLiteral("Liberation Sans"), 9));
    for (int line = 0; line < 20; ++line) {
        const int y = store.toDeviceY(384 + 45 * line);
        painter.drawText(store.toDeviceX(26), y,
                         QStringLiteral("Page %1 line %2").arg(number).arg(line));
        painter.drawLine(store.toDeviceX(26), y + 2, store.toDeviceX(2087), y + 2);
    }
}

void produce(TBrPrinter& store, int pages) {
    store.beginDoc();
    for (int page = 1; page <= pages; ++page) {
        store.newPage();
        drawPage(store, page);
    }
    store.endDoc();
}

std::vector<ArchivedPdfCase> archivedPdfCases() {
    return {
        {{QStringLiteral("Referênte ao mês de FEVEREIRO de 2024"),
          QStringLiteral("TAMBRI IMOVEIS LTDA")},
         3},
        // Characters that XML and PDF strings must escape.
        {{QStringLiteral("A <b> & (c) \\ 'd'"), QStringLiteral("Irmãos & Cia <\"Ltda\">")}, 1},
    };
}

QByteArray readAll(const QString& fileName) {
    QFile file(fileName);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << fileName.toStdString();
    return file.readAll();
}

void writeAll(const QString& fileName, const QByteArray& bytes) {
    QFile file(fileName);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

qint32 int32At(const QByteArray& bytes, qint64 at) {
    return qFromLittleEndian<qint32>(bytes.constData() + at);
}

} // namespace tavim::test
