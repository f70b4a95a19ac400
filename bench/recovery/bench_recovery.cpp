// Prints how long writing the recovery copy of a 100-question test takes
// (temporary files, flush, rename: the goal is at most 5 ms, a small part of
// a frame), and how long a keystroke in the question box takes with and
// without the copy being kept while the copy is written in between.
#include "document/QuestionRecord.h"
#include "app/RecoveryKeeper.h"
#include "document/RecoveryStore.h"
#include "document/TestFile.h"
#include "app/frmCreate.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {
QStringList hundredQuestions()
{
    QStringList records;
    for (int i = 1; i <= 100; ++i) {
        const QString q = QStringLiteral("Question %1: which of these rivers flows through the capital city "
                                         "of the country described in the picture?").arg(i);
        records << QStringList({"m", q, "The Danube", "The Rhine", "The Seine", "The Thames",
                                QStringLiteral("/home/anna/pictures/map%1.jpg").arg(i), " 2"})
                       .join(QuestionRecord::FieldSeparator);
    }
    return records;
}

struct Figures {
    double median = 0, p95 = 0, max = 0;
};

Figures figures(std::vector<double> ms)
{
    std::sort(ms.begin(), ms.end());
    return {ms[ms.size() / 2], ms[ms.size() * 95 / 100], ms.back()};
}

void print(const char *what, const Figures &f)
{
    std::printf("%-52s median %7.3f ms   95%% %7.3f ms   max %7.3f ms\n", what, f.median, f.p95, f.max);
}

std::vector<double> keystrokes(frmCreate &editor, int rounds)
{
    auto *box = editor.findChild<QPlainTextEdit *>(QStringLiteral("txtMQuestion"));
    box->setFocus();
    std::vector<double> ms;
    QElapsedTimer t;
    for (int r = 0; r < rounds; ++r) {
        for (int k = 0; k < 30; ++k) {
            t.start();
            QTest::keyClick(box, Qt::Key(Qt::Key_A + k % 26));
            QCoreApplication::processEvents();
            ms.push_back(double(t.nsecsElapsed()) / 1e6);
        }
        // Past the quiet time: the copy is written now, and the next
        // keystrokes meet a writer that may still be busy.
        QTest::qWait(RecoveryKeeper::QuietMs + 50);
    }
    return ms;
}
}

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QTemporaryDir dir;

    RecoveryCopy copy;
    copy.work.title = QStringLiteral("Rivers of Europe");
    copy.work.teacher = QStringLiteral("Class 5 / Ms Weber");
    copy.work.records = hundredQuestions();
    copy.work.entry.mcQuestion = QStringLiteral("A question being typed");
    copy.lastChange = QDateTime::currentDateTimeUtc();
    std::printf("recovery copy of a 100-question test: %lld bytes\n",
                static_cast<long long>(RecoveryFormat::testBytes(copy.work).size()));

    RecoveryStore store(dir.filePath(QStringLiteral("recovery")));
    QString error;
    auto slot = store.createSlot(&error);
    std::vector<double> writes;
    QElapsedTimer t;
    for (int i = 0; i < 60; ++i) {
        copy.work.entry.mcQuestion += QLatin1Char('x');
        t.start();
        if (!slot->write(copy, &error)) {
            std::printf("write failed: %s\n", qPrintable(error));
            return 1;
        }
        writes.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    std::vector<double> encodes;
    for (int i = 0; i < 200; ++i) {
        t.start();
        const QByteArray test = RecoveryFormat::testBytes(copy.work);
        const QByteArray description = RecoveryFormat::descriptionBytes(copy, QStringLiteral("test-1.ard"), test);
        encodes.push_back(double(t.nsecsElapsed()) / 1e6);
        Q_UNUSED(description);
    }
    print("encode the copy (both files' bytes)", figures(encodes));
    print("write the copy: encode, 2 x (temp, fsync, rename)", figures(writes));

    frmCreate editor;
    editor.restoreUnsavedWork(copy.work);
    editor.show();

    std::vector<double> captures;
    for (int i = 0; i < 200; ++i) {
        t.start();
        const EditorSnapshot s = editor.unsavedWork();
        captures.push_back(double(t.nsecsElapsed()) / 1e6);
        Q_UNUSED(s);
    }
    print("read the editor's work (window thread)", figures(captures));

    print("keystroke in the question box, no copy kept", figures(keystrokes(editor, 3)));
    {
        RecoveryKeeper keeper(&editor, store);
        print("keystroke in the question box, copy kept", figures(keystrokes(editor, 3)));
    }
    return 0;
}
