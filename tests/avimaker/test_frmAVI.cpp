// The AVI maker window with scripted file dialogs and recorded messages; the
// compression options dialog is answered when it comes up.

#include "avimaker/AviRiffWriter.h"
#include "BmpFixture.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "avimaker/cDIB.h"
#include "avimaker/dlgAVIOptions.h"
#include "dialogs/FileDlgLogic.h"
#include "avimaker/FrameEncoder.h"
#include "avimaker/frmAVI.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QSlider>
#include <QTimer>
#include <QtTest>
#include <functional>

namespace {
// Runs `act` on the options dialog as soon as it is shown.
void whenOptionsShown(std::function<void(dlgAVIOptions *)> act)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act]() {
        if (auto *dlg = qobject_cast<dlgAVIOptions *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            act(dlg);
        }
    });
    timer->start();
}
}

class TestFrmAVI : public QObject {
    Q_OBJECT
    QTemporaryDir dir;
    QString bmp(const QString &name, BmpSpec spec)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, makeBmp(spec));
        return path;
    }
    template <class T> static T *child(QWidget *w, const char *name)
    {
        return w->findChild<T *>(QLatin1String(name));
    }

private slots:
    void init()
    {
        frmAVI::setRememberedFolder(QString());
        dlgAVIOptions::forgetLastChoice();
    }

    // Tab goes the way the window reads: the list, the buttons down the
    // right, the frame rate under them, Exit last; real Tab keys.
    void tabFollowsTheLayout()
    {
        frmAVI w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        auto *list = w.findChild<QWidget *>("lstDIBList");
        const auto edge = [list] {
            const QImage shot = list->grab().toImage();
            return shot.pixelColor(0, shot.height() / 2);
        };
        w.findChild<QWidget *>("cmdCancel")->setFocus(Qt::TabFocusReason);
        QVERIFY2(edge() != QColor(Qt::black), qPrintable(edge().name()));
        list->setFocus(Qt::TabFocusReason);
        // The empty list shows that it has the keyboard: framed in black.
        QCOMPARE(edge(), QColor(Qt::black));
        QStringList order;
        for (int i = 0; i < 4; ++i) {
            order << (QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString());
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        }
        // (Clear and Write wait, disabled, for bitmaps in the list.)
        QCOMPARE(order, QStringList({"lstDIBList", "cmdFileOpen", "txtFPS", "cmdCancel"}));
    }

    void controlsAndLibraryLifetime()
    {
        ScopedPlatform platform;
        {
            frmAVI form;
            QCOMPARE(form.windowTitle(), QString("Ardeno AVI Maker"));
            QCOMPARE(shown(form, {"cmdFileOpen", "cmdClearList", "cmdWriteAVI", "cmdCancel", "lblFrameRate", "txtFPS",
                                  "lblfps", "lblStatus", "imgPreview"}),
                     QStringList({"Add BMP file to list...", "Clear file list", "Write AVI...", "Exit",
                                  "Frames Per Second:", "6", "(1 - 30)", "AVI Status", ""}));
            QCOMPARE(enabled(form, {"lstDIBList", "cmdClearList", "cmdWriteAVI"}), QString("100"));
            QCOMPARE(aviFileUsers(), 1);
        }
        QCOMPARE(aviFileUsers(), 0);

        // One window at a time: a second request brings the open one forward.
        frmAVI *a = frmAVI::showInstance();
        QCOMPARE(frmAVI::showInstance(), a);
        a->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(aviFileUsers(), 0);
    }

    // Many frames in one dialog, in a file manager's order; a frame removed
    // or moved alone, by its buttons and by the Delete key.
    void framesAreAddedTogetherRemovedAndMoved()
    {
        ScopedPlatform platform;
        BmpSpec rgb;
        frmAVI form;
        form.show();
        form.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&form));
        auto *list = child<QListWidget>(&form, "lstDIBList");
        const auto names = [list] {
            QStringList out;
            for (int i = 0; i < list->count(); ++i)
                out << QFileInfo(list->item(i)->text()).fileName();
            return out;
        };
        platform.dialogs.answers.enqueue({bmp("frame10.bmp", rgb), bmp("frame2.bmp", rgb), bmp("frame1.bmp", rgb)});
        QTest::mouseClick(child<QPushButton>(&form, "cmdFileOpen"), Qt::LeftButton);
        QVERIFY(platform.dialogs.requests.last().multiSelect);
        QCOMPARE(names(), QStringList({"frame1.bmp", "frame2.bmp", "frame10.bmp"}));
        QCOMPARE(enabled(form, {"cmdRemove", "cmdMoveUp", "cmdMoveDown"}), QString("000"));   // none chosen

        list->setCurrentRow(2);
        QCOMPARE(enabled(form, {"cmdRemove", "cmdMoveUp", "cmdMoveDown"}), QString("110"));
        QTest::mouseClick(child<QPushButton>(&form, "cmdMoveUp"), Qt::LeftButton);
        QCOMPARE(names(), QStringList({"frame1.bmp", "frame10.bmp", "frame2.bmp"}));
        QCOMPARE(list->currentRow(), 1);
        QTest::mouseClick(child<QPushButton>(&form, "cmdMoveDown"), Qt::LeftButton);
        QCOMPARE(names(), QStringList({"frame1.bmp", "frame2.bmp", "frame10.bmp"}));
        QTest::mouseClick(child<QPushButton>(&form, "cmdRemove"), Qt::LeftButton);
        QCOMPARE(names(), QStringList({"frame1.bmp", "frame2.bmp"}));
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->count(), 0);
        // The last frame gone, the list starts over: a bitmap of another size is taken.
        QVERIFY(!child<QPushButton>(&form, "cmdWriteAVI")->isEnabled());
        BmpSpec wide = rgb;
        wide.width = 9;
        platform.dialogs.answer(bmp("wide.bmp", wide));
        QTest::mouseClick(child<QPushButton>(&form, "cmdFileOpen"), Qt::LeftButton);
        QCOMPARE(names(), QStringList({"wide.bmp"}));
        QVERIFY(platform.messages.shown.isEmpty());
    }

    void addChecksTheFormatAgainstTheFirstBitmap()
    {
        ScopedPlatform platform;
        BmpSpec rgb;
        BmpSpec pal = rgb;
        pal.bitCount = 8;
        BmpSpec wide = rgb;
        wide.width = 9;
        BmpSpec x32 = rgb;
        x32.bitCount = 32;
        BmpSpec x32masks = x32;
        x32masks.compression = 3;
        x32masks.infoSize = 108;
        frmAVI form;
        auto *list = child<QListWidget>(&form, "lstDIBList");
        auto add = [&](const QString &file) {
            platform.dialogs.answer(file);
            QTest::mouseClick(child<QPushButton>(&form, "cmdFileOpen"), Qt::LeftButton);
        };

        add(bmp("a.bmp", rgb));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), dir.filePath("a.bmp"));
        QVERIFY(child<QPushButton>(&form, "cmdWriteAVI")->isEnabled());
        QVERIFY(!child<QLabel>(&form, "imgPreview")->pixmap().isNull());
        const FileDialogRequest &req = platform.dialogs.requests.at(0);
        QCOMPARE(req.title, QString("Choose BMP file to add to video stream"));
        QCOMPARE(req.filters.size(), 2);
        QCOMPARE(req.initialDir, FileDlg::specialFolderPath(5));

        add(bmp("p.bmp", pal));
        add(bmp("w.bmp", wide));
        QCOMPARE(list->count(), 1);
        QCOMPARE(platform.messages.texts(), QStringList({"Chosen bitmap file is a different format!",
                                                         "Chosen bitmap file is a different format!"}));
        QCOMPARE(platform.messages.shown[0].icon, MsgIcon::Information);

        // Cancelling adds nothing; a missing file shows the reader's message.
        platform.dialogs.answer("");
        QTest::mouseClick(child<QPushButton>(&form, "cmdFileOpen"), Qt::LeftButton);
        QCOMPARE(list->count(), 1);

        // After Clear any format starts a new list; compression is not compared.
        QTest::mouseClick(child<QPushButton>(&form, "cmdClearList"), Qt::LeftButton);
        QCOMPARE(list->count(), 0);
        QVERIFY(!child<QPushButton>(&form, "cmdWriteAVI")->isEnabled());
        QVERIFY(child<QLabel>(&form, "imgPreview")->pixmap().isNull());
        add(bmp("x.bmp", x32));
        add(bmp("m.bmp", x32masks));
        QCOMPARE(list->count(), 2);
    }

    void writeShowsProgressAndRemembersTheCodec()
    {
        ScopedPlatform platform;
        BmpSpec spec;
        spec.width = 16;
        spec.height = 12;
        frmAVI form;
        for (int i = 0; i < 3; ++i) {
            spec.seed = i;
            platform.dialogs.answer(bmp(QString("w%1.bmp").arg(i), spec));
            form.cmdFileOpen_Click();
        }
        child<QLineEdit>(&form, "txtFPS")->setText("45");

        const QString out = dir.filePath("movie.avi");
        platform.dialogs.answer(out);
        QStringList offered;
        whenOptionsShown([&](dlgAVIOptions *dlg) {
            offered = dlg->compressorNames();
            QVERIFY(dlg->selectCompressor(makeFourCC("MJPG")));
            dlg->accept();
        });
        QTest::mouseClick(child<QPushButton>(&form, "cmdWriteAVI"), Qt::LeftButton);

        const FileDialogRequest &save = platform.dialogs.requests.last();
        QCOMPARE(save.mode, FileDialogRequest::Mode::Save);
        QCOMPARE(QStringList({save.title, save.fileName, save.defaultExt}),
                 QStringList({"Choose a filename to save AVI to...", "MyAVI.avi", "avi"}));
        QCOMPARE(offered.value(0), QString("Full Frames (Uncompressed)"));
        QVERIFY(offered.contains("Motion JPEG"));
        QCOMPARE(child<QLabel>(&form, "lblStatus")->text(), QString("Finished!"));
        QCOMPARE(child<QListWidget>(&form, "lstDIBList")->currentRow(), 2);
        QVERIFY(platform.messages.shown.isEmpty());
        const QByteArray file = readBytes(out);
        QVERIFY(file.startsWith("RIFF") && file.contains("MJPG"));
        QCOMPARE(child<QListWidget>(&form, "lstDIBList")->count(), 3);   // the list stays

        // The next write offers the same codec first; cancelling it leaves
        // a file without frames and no message.
        platform.dialogs.answer(dir.filePath("empty.avi"));
        QString preselected;
        whenOptionsShown([&](dlgAVIOptions *dlg) {
            preselected = dlg->findChild<QComboBox *>("cboCompressor")->currentText();
            dlg->reject();
        });
        form.cmdWriteAVI_Click();
        QCOMPARE(preselected, QString("Motion JPEG"));
        QVERIFY(QFile::exists(dir.filePath("empty.avi")));
        QVERIFY(platform.messages.shown.isEmpty());

        // Cancelling the save dialog writes and shows nothing.
        platform.dialogs.answer("");
        form.cmdWriteAVI_Click();
        QVERIFY(!QFile::exists(dir.filePath("MyAVI.avi")));
        QVERIFY(platform.messages.shown.isEmpty());
    }
};

QTEST_MAIN(TestFrmAVI)
#include "test_frmAVI.moc"
