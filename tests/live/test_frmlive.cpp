// The Live Class window in the real widgets: its QR code decodes (zbarimg)
// to the address the server answers on, students reached over real sockets
// fill its table as they answer, names hide for the projector, closing
// with students mid-quiz asks first, "End Class" says who did not finish,
// and the results open in Class Results. Also: a test not saved as it is on
// screen is refused, and the editor's Tools menu and --live lead here.

#include "FileSizeLimit.h"
#include "TestDoubles.h"
#include "app/Startup.h"
#include "app/frmCreate.h"
#include "classresults/ClassTableModel.h"
#include "document/TestFile.h"
#include "live/frmLive.h"
#include "logview/frmClass.h"

#include <QCheckBox>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {
const QStringList kRecords = {
    QStringLiteral("m\u00A9Longest river?\u00A9Thames\u00A9Rhine\u00A9Nile\u00A9Seine\u00A9none\u00A9 2"),
    QStringLiteral("t\u00A9The Rhine flows into the Black Sea.\u00A9none\u00A9 1"),
    QStringLiteral("m\u00A9Which flows through Paris?\u00A9Seine\u00A9Po\u00A9Tiber\u00A9Ebro\u00A9none\u00A9 0"),
};

// One HTTP request over a plain socket: the status and the body.
QPair<int, QByteArray> http(const QString &address, const QByteArray &method, const QString &path,
                            const QJsonObject &body = {})
{
    const QUrl url(address);
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in to{};
    to.sin_family = AF_INET;
    to.sin_port = htons(quint16(url.port()));
    ::inet_pton(AF_INET, url.host().toLatin1().constData(), &to.sin_addr);
    if (::connect(fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
        ::close(fd);
        return {0, {}};
    }
    const QByteArray json = body.isEmpty() ? QByteArray() : QJsonDocument(body).toJson(QJsonDocument::Compact);
    const QByteArray request = method + ' ' + (url.path() + path).toUtf8() + " HTTP/1.0\r\nHost: x\r\nContent-Length: "
                               + QByteArray::number(json.size()) + "\r\n\r\n" + json;
    ::write(fd, request.constData(), size_t(request.size()));
    QByteArray reply;
    char block[65536];
    for (ssize_t n; (n = ::read(fd, block, sizeof block)) > 0;)
        reply.append(block, n);
    ::close(fd);
    const int status = reply.mid(9, 3).toInt();
    return {status, reply.mid(reply.indexOf("\r\n\r\n") + 4)};
}

QString cell(const frmLive &w, int row, int column)
{
    return w.grdStudents->model()->index(row, column).data().toString();
}
}

class TestFrmLive : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_test;

    QString join(const QString &address, const QString &name)
    {
        const auto [status, body] = http(address, "POST", QStringLiteral("join"), {{"name", name}});
        return status == 201 ? QJsonDocument::fromJson(body).object()["student"].toString() : QString();
    }
    int answer(const QString &address, const QString &token, int q, const QString &given)
    {
        return http(address, "POST", QStringLiteral("answer"), {{"student", token}, {"question", q}, {"answer", given}, {"ms", 900}})
            .first;
    }

private slots:
    void initTestCase()
    {
        m_test = m_dir.filePath(QStringLiteral("rivers.ard"));
        QFile f(m_test);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testFileBytes(QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords));
    }

    void theWindowFollowsTheClass()
    {
        ScopedPlatform platform;
        frmLive *w = frmLive::open(m_test, nullptr);
        QVERIFY(w);
        const QString address = w->lblAddress->text();
        QVERIFY2(QRegularExpression(QStringLiteral("^http://[0-9.]+:\\d+/[a-z2-9]{6}/$")).match(address).hasMatch(),
                 qPrintable(address));
        QCOMPARE(w->lblFolder->text(), QStringLiteral("Results go to ") + m_dir.filePath(QStringLiteral("rivers results "))
                                           + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")));

        // The QR code on screen is the address, and the server answers there.
        const QString png = m_dir.filePath(QStringLiteral("qr.png"));
        QVERIFY(w->picQR->grab().save(png));
        QProcess zbar;
        zbar.start(QStringLiteral("zbarimg"), {QStringLiteral("--raw"), QStringLiteral("-q"), png});
        QVERIFY(zbar.waitForFinished(30000));
        QCOMPARE(QString::fromUtf8(zbar.readAllStandardOutput()).trimmed(), address);
        QCOMPARE(http(address, "GET", QString()).first, 200);

        const QString anna = join(address, QStringLiteral("Anna"));
        const QString ben = join(address, QStringLiteral("Ben"));
        QVERIFY(!anna.isEmpty() && !ben.isEmpty());
        QCOMPARE(answer(address, anna, 1, QStringLiteral("C")), 200);
        for (const auto &[q, given] : {qMakePair(1, "A"), qMakePair(2, "False"), qMakePair(3, "A")})
            QCOMPARE(answer(address, ben, q, QString::fromLatin1(given)), 200);
        QCOMPARE(http(address, "POST", QStringLiteral("finish"), {{"student", ben}, {"seconds", 61}}).first, 200);
        QTRY_COMPARE(cell(*w, 1, LiveTableModel::Finished), QStringLiteral("yes"));
        QCOMPARE(cell(*w, 0, LiveTableModel::Name), QStringLiteral("Anna"));
        QCOMPARE(cell(*w, 0, LiveTableModel::Progress), QStringLiteral("question 2 of 3"));
        QCOMPARE(cell(*w, 0, LiveTableModel::Device), QUrl(address).host());   // this test's own device
        QVERIFY(!w->cmdFolder->isEnabled());

        // On the projector while the class answers: progress only. Nothing
        // tells a right answer: no right-so-far, no figure per option.
        QCOMPARE(w->lblProgress->text(), QStringLiteral("2 joined, 1 finished."));
        QVERIFY(w->grdStudents->isColumnHidden(LiveTableModel::Right));
        QVERIFY(!w->grdItems->isVisible() && !w->lblFigures->isVisible());
        QCOMPARE(w->grdItems->model()->rowCount(), 0);
        // The teacher asks for the analysis, and is told it shows answers.
        QTest::mouseClick(w->chkShowAnalysis, Qt::LeftButton, {}, QPoint(5, w->chkShowAnalysis->height() / 2));
        QVERIFY(w->lblAnalysisWarning->isVisible() && w->grdItems->isVisible());
        QCOMPARE(cell(*w, 0, LiveTableModel::Right), QStringLiteral("1 of 1"));
        QCOMPARE(cell(*w, 1, LiveTableModel::Right), QStringLiteral("2 of 3"));
        QVERIFY(w->lblFigures->text().startsWith(QStringLiteral("2 students counted.")));
        QCOMPARE(w->grdItems->model()->rowCount(), 3);
        QTest::mouseClick(w->chkShowAnalysis, Qt::LeftButton, {}, QPoint(5, w->chkShowAnalysis->height() / 2));
        QVERIFY(!w->grdItems->isVisible());

        // The room locked from the window; one name let in by typing it.
        QTest::mouseClick(w->chkLock, Qt::LeftButton, {}, QPoint(5, w->chkLock->height() / 2));
        QCOMPARE(http(address, "POST", QStringLiteral("join"), {{"name", "Late"}}).first, 403);
        QTest::keyClicks(w->txtLetIn, QStringLiteral("Late"));
        QTest::keyClick(w->txtLetIn, Qt::Key_Return);
        const QString late = join(address, QStringLiteral("Late"));
        QVERIFY(!late.isEmpty());
        // ... and taken out again: chosen in the table, removed, confirmed.
        QTRY_COMPARE(w->grdStudents->model()->rowCount(), 3);
        w->grdStudents->selectRow(2);
        platform.messages.answers.enqueue(MsgResult::Yes);
        QTest::mouseClick(w->cmdRemove, Qt::LeftButton);
        QCOMPARE(answer(address, late, 1, QStringLiteral("C")), 403);
        QTRY_COMPARE(w->grdStudents->model()->rowCount(), 2);

        // For the projector: names hidden, by a click on the box.
        QTest::mouseClick(w->chkHideNames, Qt::LeftButton, {}, QPoint(5, w->chkHideNames->height() / 2));
        QCOMPARE(cell(*w, 0, LiveTableModel::Name), QStringLiteral("Student 1"));

        // Closing with Anna mid-quiz asks; "No" keeps the class going.
        platform.messages.answers.enqueue(MsgResult::No);
        QVERIFY(!w->close());
        QCOMPARE(platform.messages.texts().last(), QStringLiteral("1 student is still taking the test. End the class and close?"));
        QCOMPARE(answer(address, anna, 2, QStringLiteral("False")), 200);

        // End Class asks first; names stay hidden in what it says.
        platform.messages.answers.enqueue(MsgResult::No);
        QTest::mouseClick(w->cmdEnd, Qt::LeftButton);
        QCOMPARE(answer(address, anna, 3, QStringLiteral("A")), 200);
        platform.messages.answers.enqueue(MsgResult::Yes);
        QTest::mouseClick(w->cmdEnd, Qt::LeftButton);
        QCOMPARE(platform.messages.texts().last(), QStringLiteral("The class has ended. Not finished: Student 1 (question 3 of 3)."));
        QCOMPARE(answer(address, anna, 3, QStringLiteral("A")), 410);
        QCOMPARE(w->lblHeading->text(), QStringLiteral("The class has ended"));
        // After the class, the analysis is there without asking.
        QVERIFY(w->grdItems->isVisible() && !w->lblAnalysisWarning->isVisible());

        QTest::mouseClick(w->cmdOpenResults, Qt::LeftButton);
        frmClass *results = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (auto *c = qobject_cast<frmClass *>(top))
                results = c;
        QVERIFY(results);
        QTRY_COMPARE(results->table()->index(0, 0).data().toString(), QStringLiteral("Ben"));
        results->close();
        QVERIFY(w->close());   // ended: nothing to ask
    }

    // A full disk is said where the teacher looks, with what to do; the
    // pages are refused (and send again), nothing is claimed as kept.
    void aFullDiskIsSaidToTheTeacher()
    {
        ScopedPlatform platform;
        const QString test = m_dir.filePath(QStringLiteral("full.ard"));
        QVERIFY(QFile::copy(m_test, test));
        frmLive *w = frmLive::open(test, nullptr);
        QVERIFY(w);
        const QString address = w->lblAddress->text();
        const QString anna = join(address, QStringLiteral("Anna"));
        for (const auto &[q, given] : {qMakePair(1, "C"), qMakePair(2, "False"), qMakePair(3, "A")})
            QCOMPARE(answer(address, anna, q, QString::fromLatin1(given)), 200);
        QVERIFY(w->lblTrouble->isHidden());
        {
            const FileSizeLimit full(100);   // the disk fills up: a result log no longer fits
            QCOMPARE(http(address, "POST", QStringLiteral("finish"), {{"student", anna}, {"seconds", 20}}).first, 503);
            QTRY_VERIFY(w->lblTrouble->isVisible());
            QVERIFY2(w->lblTrouble->text().startsWith(QStringLiteral("Anna's result could not be saved in the results "
                                                                     "folder (File too large).")),
                     qPrintable(w->lblTrouble->text()));
            // Nor does the journal take another line.
            QCOMPARE(http(address, "POST", QStringLiteral("join"), {{"name", "Ben"}}).first, 503);
            QTRY_VERIFY(w->lblTrouble->text().startsWith(QStringLiteral("Answers can no longer be kept: the results "
                                                                        "folder cannot be written (File too large).")));
        }
        const QDir results(m_dir.filePath(QStringLiteral("full results ")
                                          + QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"))));
        QVERIFY(results.exists());
        QVERIFY(results.entryList({QStringLiteral("*.log")}, QDir::Files).isEmpty());   // no log cut short
        platform.messages.answers.enqueue(MsgResult::Yes);
        w->cmdEnd->click();
        QVERIFY(w->close());
    }

    void aTestNotSavedAsOnScreenIsRefused()
    {
        QCOMPARE(LiveSession::unsavedReason(QString(), QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords),
                 QStringLiteral("Save the test first: a class takes the test as it is saved."));
        QCOMPARE(LiveSession::unsavedReason(m_test, QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords), QString());
        QStringList changed = kRecords;
        changed.removeLast();
        QVERIFY(LiveSession::unsavedReason(m_test, QStringLiteral("Rivers"), QStringLiteral("Class 3"), changed)
                    .contains(QStringLiteral("not saved yet")));
        // A language the page would carry, not yet in the companion file; a
        // description of a question without media is none the class sees.
        QVERIFY(!LiveSession::unsavedReason(m_test, QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords,
                                            {QStringLiteral("en"), {}}).isEmpty());
        QCOMPARE(LiveSession::unsavedReason(m_test, QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords,
                                            {QString(), {QStringLiteral("no media")}}), QString());

        // The class gets the test as it was read for the check: another file
        // put under its name meanwhile is not what the students take.
        const QString checked = m_dir.filePath(QStringLiteral("checked.ard"));
        QVERIFY(QFile::copy(m_test, checked));
        LoadedTest read;
        QCOMPARE(LiveSession::unsavedReason(checked, QStringLiteral("Rivers"), QStringLiteral("Class 3"), kRecords, {},
                                            &read), QString());
        QFile other(checked);
        QVERIFY(other.open(QIODevice::WriteOnly | QIODevice::Truncate));
        other.write(testFileBytes(QStringLiteral("Swapped"), QStringLiteral("Class 3"), kRecords));
        other.close();
        LiveSession session;
        QString reason;
        QVERIFY(session.prepare(checked, &reason, nullptr, &read));
        QCOMPARE(session.testTitle(), QStringLiteral("Rivers"));
    }

    void theEditorLeadsHere()
    {
        ScopedPlatform platform;
        frmCreate editor;
        runStartupWith(editor, {QStringLiteral("--live"), m_test}, [] { return false; });
        frmLive *w = editor.findChild<frmLive *>();
        QVERIFY(w);
        QCOMPARE(w->windowTitle(), QStringLiteral("Live Class - Rivers"));
        w->close();
        auto *live = editor.menuBar()->findChild<QAction *>(QStringLiteral("mnuToolLive"));
        QVERIFY(live);
        QCOMPARE(live->text(), QStringLiteral("&Live Class..."));
        const QList<QAction *> tools = editor.menuBar()->findChild<QMenu *>(QStringLiteral("mnuToolS"))->actions();
        QCOMPARE(tools.indexOf(live), tools.indexOf(editor.menuBar()->findChild<QAction *>(QStringLiteral("mnuToolClass"))) + 1);
    }
};

QTEST_MAIN(TestFrmLive)
#include "test_frmlive.moc"
