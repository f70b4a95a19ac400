// The editor's heavy parts are modules loaded on first use. Without them
// (a module folder that holds none), each part that needs one says which
// is missing and the rest goes on: Class Results shows and prints the
// class without its charts, a metafile is refused with the reason, and no
// QR code is drawn. A test program of its own, as a process loads (or
// fails to load) each module once.

#include "TestFiles.h"
#include "TestDoubles.h"
#include "classresults/ClassLogs.h"
#include "classresults/ClassTableModel.h"
#include "classresults/ResultLog.h"
#include "logview/ClassReportPrintout.h"
#include "logview/frmClass.h"
#include "pictures/QrCode.h"
#include "pictures/WmfReader.h"
#include "print/PdfProbe.h"
#include "print/PrintSurface.h"

#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

class WithoutModules : public QObject {
    Q_OBJECT
    QTemporaryDir m_empty;

private slots:
    void initTestCase() { qputenv("ARDENO_MODULE_DIR", QFile::encodeName(m_empty.path())); }
    void cleanupTestCase() { qunsetenv("ARDENO_MODULE_DIR"); }

    void classResultsWithoutCharts()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        const QStringList right = {"A", "True"};
        ClassResults results;
        for (const char *name : {"Ann", "Ben"}) {
            const QString file = QStringLiteral("Rivers - %1.log").arg(QLatin1String(name));
            results.add(ResultLog::parse(scrambled(logLines({name, {"A", "False"}, right})), file), file);
        }
        ClassTableModel table;
        table.show(&results, {});

        // Where each chart would be, the reason.
        frmClass w;
        w.show();
        for (const char *chart : {"chtScores", "chtFacility"}) {
            auto *label = w.findChild<QLabel *>(QLatin1String(chart));
            QVERIFY2(label, chart);
            QVERIFY(label->text().startsWith(QStringLiteral("The charts cannot be drawn:")));
            QVERIFY(label->text().contains(QStringLiteral("libardeno_charts.so")));
        }

        // The report prints the class, and says why it has no charts.
        if (!PdfProbe::available())
            QSKIP("poppler-utils missing");
        const QString pdf = dir.filePath(QStringLiteral("report.pdf"));
        {
            const auto printer = PrintSurface::toPdf(pdf);
            QVERIFY(ClassReportPrintout::print(*printer, results, table));
        }
        const QString printed = PdfProbe::run(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        QVERIFY(printed.contains(QStringLiteral("Ben")));
        QVERIFY(printed.contains(QStringLiteral("The charts cannot be drawn")));
        // The folders the module was looked for in stay on this computer.
        QVERIFY(!printed.contains(m_empty.path()));
    }

    void aMetafileIsRefusedWithTheReasonAndNoCodeIsDrawn()
    {
        QFile sample(QStringLiteral(ARDENO_SAMPLES_DIR "/shapes.wmf"));
        QVERIFY(sample.open(QIODevice::ReadOnly));
        const QByteArray wmf = sample.readAll();
        const Wmf::Info info = Wmf::readInfo(wmf);
        QVERIFY(!info.ok());
        QVERIFY2(info.error.contains(QStringLiteral("libardeno_wmf.so")), qPrintable(info.error));
        QVERIFY(QrCode::image(QStringLiteral("http://192.168.1.20:8080/k3m9tx/")).isNull());
    }
};

QTEST_MAIN(WithoutModules)
#include "test_without_modules.moc"
