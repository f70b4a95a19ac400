// The recovery copy kept for the editor window (offscreen, with the message
// and file-dialog doubles): when a copy is kept and when not, what New and
// Open do with unsaved work, the offer and what Yes restores, damaged copies.
#include "app/RecoveryKeeper.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "TestFiles.h"
#include "app/Startup.h"
#include "app/frmCreate.h"

#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QWindow>
#include <QtTest>

namespace {
void typeTest(frmCreate &w, const QString &title)
{
    type(w, "txtTitle", title);
    type(w, "txtTeacher", "Class 5");
    type(w, "txtMQuestion", "Capital of France?");
    for (int i = 0; i < 4; ++i)
        type(w, QStringLiteral("txtManswer_%1").arg(i), QStringList{"Berlin", "Madrid", "Paris", "Rome"}[i]);
    click(w, "optABCD_2");
    click(w, "cmdAdd");
}
}

class TestRecovery : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> m_dir;
    QString root() const { return m_dir->filePath("recovery"); }
    RecoveryStore store() const { return RecoveryStore(root()); }
    int slotCount() const
    {
        QStringList names = QDir(root()).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
        names.removeAll("damaged");
        return int(names.size());
    }
    int damagedCount() const
    {
        return int(QDir(store().damagedFolder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
    }

private slots:

    void init() { m_dir = std::make_unique<QTemporaryDir>(); }

    void emptyEditorAndSavedWorkKeepNothing()
    {
        ScopedPlatform p;
        frmCreate w;
        RecoveryKeeper keeper(&w, store());
        keeper.writeNow();
        QCOMPARE(slotCount(), 0);

        typeTest(w, "Europe");
        keeper.writeNow();
        QCOMPARE(slotCount(), 1);

        p.dialogs.answer(m_dir->filePath("europe.ard"));
        click(w, "cmdOkay");
        QVERIFY(QFileInfo::exists(m_dir->filePath("europe.ard")));
        QCOMPARE(slotCount(), 0);
        keeper.writeNow();
        QCOMPARE(slotCount(), 0);

        // A question typed after the save is unsaved work again.
        get<QPlainTextEdit>(w, "txtMQuestion")->setPlainText("Capital of Spain?");
        keeper.writeNow();
        QCOMPARE(slotCount(), 1);
        get<QPlainTextEdit>(w, "txtMQuestion")->clear();
        keeper.writeNow();
        QCOMPARE(slotCount(), 0);
    }

    // The offer comes over an editor that is on screen, not over an empty
    // frame still being drawn.
    void theOfferComesOverAnEditorOnScreen()
    {
        ScopedPlatform p;
        frmCreate w;
        bool exposed = false;
        runStartup(w, QString(), [&] {
            exposed = w.windowHandle() && w.windowHandle()->isExposed();
            return false;
        });
        QVERIFY(exposed);
    }

    // New and Open drop unsaved work from the screen, not from the disk: it
    // is offered at the next start. Open after a save leaves nothing.
    void newOverUnsavedWorkIsOfferedAtTheNextStart()
    {
        {
            ScopedPlatform p;
            frmCreate w;
            RecoveryKeeper keeper(&w, store());
            typeTest(w, "Dropped by New");
            w.mnuFileNew_Click();
            QCOMPARE(slotCount(), 1);
            keeper.writeNow();   // the new, empty test keeps nothing
            QCOMPARE(slotCount(), 1);
        }
        ScopedPlatform p;
        frmCreate w;
        RecoveryKeeper keeper(&w, store());
        p.messages.answers.enqueue(MsgResult::Yes);
        QVERIFY(keeper.offerAbandoned());
        QCOMPARE(p.messages.shown.size(), 1);
        const MessageRequest &offer = p.messages.shown.first();
        QCOMPARE(offer.buttons, MsgButtons::YesNo);
        QCOMPARE(offer.owner, &w);
        QVERIFY2(offer.text.contains("Title: Dropped by New") && offer.text.contains("File: untitled.ard (never saved)")
                     && offer.text.contains("Questions: 1\n"),
                 qPrintable(offer.text));
        QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("Dropped by New"));
        QCOMPARE(w.document().questionCount(), 1);

        // Saved, then another test opened: nothing is kept.
        p.dialogs.answer(m_dir->filePath("saved.ard"));
        click(w, "cmdOkay");
        p.dialogs.answer(writeTest(m_dir->filePath("other.ard"), "Other", "Class", {record({"t", "q", "none", " 0"})}));
        w.mnuFileOpen_Click();
        QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("Other"));
        keeper.writeNow();
        QCOMPARE(slotCount(), 0);
    }

    // Yes brings back the test under its file name (unsaved) and the entry
    // area as it was, here in the middle of editing question 2.
    void yesRestoresTheEntryAreaAndTheFileName()
    {
        const QString path = m_dir->filePath("geo.ard");
        {
            ScopedPlatform p;
            frmCreate w;
            RecoveryKeeper keeper(&w, store());
            typeTest(w, "Geography");
            click(w, "optType_1");
            type(w, "txtTFquestion", "The Rhine flows north.");
            click(w, "cmdAdd");
            p.dialogs.answer(path);
            click(w, "cmdOkay");
            auto *list = get<QComboBox>(w, "cboExist");
            list->setCurrentIndex(1);
            emit list->activated(1);
            type(w, "txtTFquestion", "The Rhine flows\nnorth-west.");
            keeper.writeNow();
        }
        ScopedPlatform p;
        frmCreate w;
        RecoveryKeeper keeper(&w, store());
        QVERIFY(keeper.offerAbandoned());
        QVERIFY(p.messages.texts().value(0).contains("File: geo.ard"));
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - geo.ard *"));   // unsaved work
        QCOMPARE(w.document().currentFile(), path);
        QCOMPARE(w.document().questionCount(), 2);
        QVERIFY(w.isEditMode());
        QCOMPARE(w.controller().editedNumber(), 2);
        QCOMPARE(get<QComboBox>(w, "cboExist")->currentIndex(), 1);
        QCOMPARE(get<QPlainTextEdit>(w, "txtTFquestion")->toPlainText(), QString("The Rhine flows\nnorth-west."));
        // Unsaved, with nothing to undo: the history starts at the restored test.
        const DocumentEditor &editing = w.controller().changes();
        QVERIFY(!editing.isClean());
        QVERIFY(!editing.canUndo());
        QCOMPARE(editing.undoCount(), 0);
        // Still unsaved: the copy stays while the editor runs.
        QCOMPARE(slotCount(), 1);

        // Save Test proposes the file the work belongs to, in its folder.
        click(w, "cmdEdit");
        QVERIFY(!w.isEditMode());
        p.dialogs.answer(QString());
        click(w, "cmdOkay");
        QCOMPARE(p.dialogs.requests.size(), 1);
        QCOMPARE(p.dialogs.requests.first().fileName, QString("geo.ard"));
        QCOMPARE(QDir(p.dialogs.requests.first().initialDir), QDir(m_dir->path()));
        // Once saved, the dialog goes on proposing the test's own file.
        p.dialogs.answer(path);
        click(w, "cmdOkay");
        QVERIFY(editing.isClean());
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - geo.ard"));   // the mark gone
        QCOMPARE(slotCount(), 0);
        p.dialogs.answer(QString());
        click(w, "cmdOkay");
        QCOMPARE(p.dialogs.requests.last().fileName, QString("geo.ard"));
    }

    void noDeletesTheCopy()
    {
        {
            ScopedPlatform p;
            frmCreate w;
            RecoveryKeeper keeper(&w, store());
            type(w, "txtTitle", "Unwanted");
            keeper.writeNow();
        }
        ScopedPlatform p;
        frmCreate w;
        RecoveryKeeper keeper(&w, store());
        p.messages.answers.enqueue(MsgResult::No);
        QVERIFY(!keeper.offerAbandoned());
        QVERIFY(get<QLineEdit>(w, "txtTitle")->text().isEmpty());
        QCOMPARE(slotCount(), 0);
        QVERIFY(!keeper.offerAbandoned());
        QCOMPARE(p.messages.shown.size(), 1);
    }

    // A damaged copy (the store's tests cut one at every length): one
    // message over the editor, moved aside, never offered again.
    void aDamagedCopyIsReportedOnceAndSetAside()
    {
        RecoveryCopy copy;
        copy.work.title = "Cut short";
        copy.work.records = {record({"t", "q", "none", " 0"})};
        copy.lastChange = QDateTime::currentDateTimeUtc();
        QString error;
        {
            auto slot = store().createSlot(&error);
            QVERIFY(slot->write(copy, &error));
            const QByteArray description = readBytes(slot->descriptionPath());
            writeBytes(slot->descriptionPath(), description.left(description.size() / 2));
        }
        ScopedPlatform p;
        frmCreate w;
        RecoveryKeeper keeper(&w, store());
        QVERIFY(!keeper.offerAbandoned());
        QCOMPARE(p.messages.shown.size(), 1);
        QCOMPARE(p.messages.shown.first().icon, MsgIcon::Exclamation);
        QCOMPARE(p.messages.shown.first().owner, &w);
        QCOMPARE(QList<int>({damagedCount(), slotCount()}), QList<int>({1, 0}));
        QVERIFY(!keeper.offerAbandoned());
        QCOMPARE(p.messages.shown.size(), 1);
        QVERIFY(get<QLineEdit>(w, "txtTitle")->text().isEmpty());
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
