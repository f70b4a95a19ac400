// The editor window driven offscreen through its control names, with the
// message, file-dialog and settings doubles.
#include "widgets/PictureBox.h"
#include "document/QuestionRecord.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "document/RecentFiles.h"
#include "document/TestFile.h"
#include "app/Startup.h"
#include "dialogs/dlgAsk.h"
#include "app/frmCreate.h"
#include "logview/frmLog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>
#include <functional>

namespace {
const QChar Sep = QuestionRecord::FieldSeparator;

QString sep(const QStringList &fields) { return fields.join(Sep); }

// A test file with n true/false questions, written by the core.
QString writeTest(const QString &path, const QString &title, int n)
{
    QStringList records;
    for (int i = 1; i <= n; ++i)
        records << sep({"t", QStringLiteral("Question %1").arg(i), "none", " 0"});
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    f.write(testFileBytes(title, QStringLiteral("Class"), records));
    return path;
}

QString writePicture(const QString &path, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::blue);
    if (!image.save(path, "BMP"))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}
}

class TestEditor : public QObject {
    Q_OBJECT

    // Commands that need a test, as one flag (they must agree).
    static bool testCommandsEnabled(frmCreate &w)
    {
        const bool preview = get<QPushButton>(w, "cmdPreview")->isEnabled();
        if (get<QPushButton>(w, "cmdOkay")->isEnabled() != preview
            || get<QAction>(w, "mnuFileSaveas")->isEnabled() != preview
            || get<QAction>(w, "mnuFilePrint")->isEnabled() != preview)
            qFatal("the test commands disagree");
        return preview;
    }

    static void typeMultipleChoice(frmCreate &w, const QString &q, const QStringList &answers)
    {
        get<QPlainTextEdit>(w, "txtMQuestion")->setPlainText(q);
        for (int i = 0; i < 4; ++i)
            get<QLineEdit>(w, QStringLiteral("txtManswer_%1").arg(i))->setText(answers.value(i));
    }

    static void addTrueFalse(frmCreate &w, const QString &q)
    {
        get<QRadioButton>(w, "optType_1")->click();
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText(q);
        get<QPushButton>(w, "cmdAdd")->click();
    }

    // A record made elsewhere (another editor, a damaged file) stored as
    // question `number`.
    static void plant(frmCreate &w, int number, const QString &record)
    {
        w.controller().pick(number);
        w.controller().update(record);
    }

    static void pick(frmCreate &w, int listIndex)
    {
        auto *list = get<QComboBox>(w, "cboExist");
        list->setCurrentIndex(listIndex);
        emit list->activated(listIndex);
    }

private slots:
    void init()
    {
        dlgAsk::DontAskAgain = false;
        dlgAsk::LeaveConfirmed = false;
    }

    void startState()
    {
        ScopedPlatform p;
        frmCreate w;
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - untitled.ard"));
        QCOMPARE(w.centralWidget()->size(), QSize(524, 355));
        QVERIFY(!testCommandsEnabled(w));
        auto *list = get<QComboBox>(w, "cboExist");
        QVERIFY(!list->isEnabled());
        QCOMPARE(list->currentText(), QString("No Questions Yet"));
        QCOMPARE(get<QLabel>(w, "lblNumber")->text(), QString("Question #1"));
        QCOMPARE(get<QLineEdit>(w, "txtMpic")->text(), QString("None"));
        QVERIFY(get<QLabel>(w, "lblEditMode")->isHidden());
        QVERIFY(!get<QPushButton>(w, "cmdEdit")->isEnabled());
        QVERIFY(get<QPushButton>(w, "cmdAdd")->isDefault());
        QCOMPARE(get<QGroupBox>(w, "grpMultiple")->geometry(), QRect(8, 56, 233, 289));
        QCOMPARE(get<QGroupBox>(w, "grpTrueFalse")->x(), -1333);
        for (int i = 0; i < 4; ++i)   // each answer box level with its option
            QCOMPARE(get<QLineEdit>(w, QStringLiteral("txtManswer_%1").arg(i))->y(),
                     get<QRadioButton>(w, QStringLiteral("optABCD_%1").arg(i))->y());
        QCOMPARE(get<QAction>(w, "mnuFileNew")->shortcut(), QKeySequence("Ctrl+N"));
        QCOMPARE(get<QAction>(w, "mnuFileExit")->text(), QString("E&xit"));
        QVERIFY(!get<QMenu>(w, "mnuFileRecent")->menuAction()->isVisible());
        QCOMPARE(w.document().nextQuestionNumber(), 1);
    }

    // Title, class, a multiple-choice question with C correct and a picture,
    // Add, Save Test, open again: the file holds exactly what was typed.
    void typicalRoad()
    {
        ScopedPlatform p;
        QTemporaryDir pics, target;
        if (pics.path().contains(QLatin1Char('.')))
            QSKIP("the temporary folder's path holds a full stop; media kinds cannot be told there");
        const QString picture = writePicture(pics.filePath("cat.bmp"), 50, 40);
        frmCreate w;
        get<QLineEdit>(w, "txtTitle")->setText("Fractions");
        get<QLineEdit>(w, "txtTeacher")->setText("5b / Ms Kay");
        get<QRadioButton>(w, "optType_0")->click();
        typeMultipleChoice(w, "Which is a half?", {"1/3", "2/3", "2/4", "3/5"});
        get<QRadioButton>(w, "optABCD_2")->click();

        p.dialogs.answer(picture);
        get<QPushButton>(w, "cmdMpic")->click();
        const FileDialogRequest &mediaRequest = p.dialogs.requests.last();
        QCOMPARE(mediaRequest.title, QString("Open File..."));
        QCOMPARE(mediaRequest.filters.size(), 7);
        QCOMPARE(mediaRequest.filters.first().pattern, QString("*.bmp;*.jpg;*.wmf;*.wav;*.avi;*.mid;*.mp3;*.mpeg;*.mpg"));
        QCOMPARE(get<QLineEdit>(w, "txtMpic")->text(), picture);
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("Picture Thumbnail"));
        auto *box = get<PictureBox>(w, "picPreview");
        QVERIFY(!box->isHidden());
        QCOMPARE(box->innerSize(), QSize(117, 117));
        QCOMPARE(box->pictureRect(), QRect(33, 38, 50, 40));   // never enlarged

        get<QPushButton>(w, "cmdAdd")->click();
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.document().record(1),
                 sep({"m", "Which is a half?", "1/3", "2/3", "2/4", "3/5", picture, " 2"}));
        QCOMPARE(w.document().nextQuestionNumber(), 2);
        QVERIFY(get<QPlainTextEdit>(w, "txtMQuestion")->toPlainText().isEmpty());
        QCOMPARE(get<QLineEdit>(w, "txtMpic")->text(), QString("none"));
        QVERIFY(get<QRadioButton>(w, "optABCD_2")->isChecked());   // kept
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("No Media Chosen"));

        const QString path = target.filePath("Fractions.ard");
        p.dialogs.answer(path);
        get<QPushButton>(w, "cmdOkay")->click();
        const FileDialogRequest &save = p.dialogs.requests.last();
        QCOMPARE(save.title, QString("Save File..."));
        QCOMPARE(save.fileName, QString("untitled.ard"));
        QCOMPARE(save.defaultExt, QString("ard"));
        QVERIFY(save.overwritePrompt);
        QCOMPARE(save.filters, QList<FileFilter>({{"Ardeno Tests (*.ard)", "*.ard"}}));
        QVERIFY2(p.messages.shown.isEmpty(), qPrintable(p.messages.texts().join('|')));
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - Fractions.ard"));
        QCOMPARE(w.recentFiles().entry(1), path);   // letter case as typed
        QVERIFY(QFile::exists(target.filePath("cat.bmp")));

        const TestReadResult read = readTestFile(path);
        QVERIFY(read.test);
        QCOMPARE(read.test->title, QString("Fractions"));
        QCOMPARE(read.test->teacher, QString("5b / Ms Kay"));
        QCOMPARE(read.test->records,
                 QStringList{sep({"m", "Which is a half?", "1/3", "2/3", "2/4", "3/5", "cat.bmp", " 2"})});

        // Reopen in a fresh window through File > Open.
        frmCreate again;
        p.dialogs.answer(path);
        get<QAction>(again, "mnuFileOpen")->trigger();
        QCOMPARE(p.dialogs.requests.last().defaultExt, QString("ard"));
        QVERIFY(p.dialogs.requests.last().fileMustExist);
        QCOMPARE(get<QLineEdit>(again, "txtTitle")->text(), QString("Fractions"));
        QCOMPARE(get<QComboBox>(again, "cboExist")->currentText(), QString("Which is a half?"));
        QCOMPARE(again.recentFiles().entry(1), RecentFiles::listedPath(path));
        // Picking it shows the copy next to the test (bare name, working directory).
        pick(again, 0);
        QCOMPARE(get<QLineEdit>(again, "txtMpic")->text(), QString("cat.bmp"));
        QCOMPARE(get<QLabel>(again, "lblPreview")->text(), QString("Picture Thumbnail"));
        QVERIFY(get<QRadioButton>(again, "optABCD_2")->isChecked());
    }

    void validationMessagesInOrder()
    {
        ScopedPlatform p;
        frmCreate w;
        typeMultipleChoice(w, "", {});
        get<QPushButton>(w, "cmdAdd")->click();
        QCOMPARE(p.messages.texts(), QStringList{"You must enter a question!"});
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::Critical);
        QCOMPARE(p.messages.shown.last().title, QString("Ardenox"));

        p.messages.clear();
        typeMultipleChoice(w, "   ", {"a", "", "c", "d"});
        get<QPushButton>(w, "cmdAdd")->click();
        QCOMPARE(p.messages.texts(), QStringList{"You must enter four possible answers!"});
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::None);
        QCOMPARE(get<QLineEdit>(w, "txtManswer_0")->text(), QString("a"));   // nothing cleared
        QCOMPARE(w.document().nextQuestionNumber(), 1);

        // A question of blanks is accepted as typed.
        p.messages.clear();
        get<QLineEdit>(w, "txtManswer_1")->setText("b");
        get<QPushButton>(w, "cmdAdd")->click();
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.document().caption(1), QString("   "));

        // Switching the type keeps what was typed in the other frame.
        typeMultipleChoice(w, "kept", {"1", "2", "3", "4"});
        get<QRadioButton>(w, "optType_1")->click();
        QCOMPARE(get<QGroupBox>(w, "grpTrueFalse")->x(), 8);
        QCOMPARE(get<QGroupBox>(w, "grpMultiple")->x(), -1333);
        get<QPushButton>(w, "cmdAdd")->click();
        QCOMPARE(p.messages.texts(), QStringList{"You must enter a question!"});
        get<QRadioButton>(w, "optType_0")->click();
        QCOMPARE(get<QPlainTextEdit>(w, "txtMQuestion")->toPlainText(), QString("kept"));

        // A line break is stored as CR LF.
        get<QRadioButton>(w, "optType_1")->click();
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("two\nlines");
        get<QRadioButton>(w, "optTrueAnswer_1")->click();
        get<QPushButton>(w, "cmdAdd")->click();
        QCOMPARE(w.document().record(2), sep({"t", "two\r\nlines", "none", " 1"}));
        // After a second add the list shows the first question's text.
        QCOMPARE(get<QComboBox>(w, "cboExist")->currentText(), QString("   "));

        // Enter presses the default button, also from the question box;
        // Ctrl+Enter starts a new line there.
        auto *question = get<QPlainTextEdit>(w, "txtTFquestion");
        question->setPlainText("by");
        question->moveCursor(QTextCursor::End);
        QTest::keyClick(question, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(question, "keyboard");
        QTest::keyClick(question, Qt::Key_Return);
        QTRY_COMPARE(w.document().nextQuestionNumber(), 4);
        QCOMPARE(w.document().caption(3), QString("by\r\nkeyboard"));
        get<QLineEdit>(w, "txtTitle")->setFocus();
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("from the title box");
        QTest::keyClick(get<QLineEdit>(w, "txtTitle"), Qt::Key_Enter, Qt::KeypadModifier);
        QTRY_COMPARE(w.document().nextQuestionNumber(), 5);
        // A button that has the focus takes Enter itself ("Save Test" here).
        auto *save = get<QPushButton>(w, "cmdOkay");
        save->setFocus();
        const qsizetype asked = p.dialogs.requests.size();
        QTest::keyClick(save, Qt::Key_Return);
        QTRY_COMPARE(p.dialogs.requests.size(), asked + 1);
        QCOMPARE(p.dialogs.requests.last().title, QString("Save File..."));
        QCOMPARE(w.document().nextQuestionNumber(), 5);
    }

    void hundredQuestionLimit()
    {
        ScopedPlatform p;
        frmCreate w;
        for (int i = 1; i <= 100; ++i)
            addTrueFalse(w, QStringLiteral("Q%1").arg(i));
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.document().nextQuestionNumber(), 101);
        QCOMPARE(get<QLabel>(w, "lblNumber")->text(), QString("Question # 101"));
        addTrueFalse(w, "one too many");
        QCOMPARE(p.messages.texts(), QStringList{"Tests are limited to 100 questions."});
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::Critical);
        QCOMPARE(w.document().nextQuestionNumber(), 101);
        QCOMPARE(get<QComboBox>(w, "cboExist")->count(), 100);
    }

    // What the window shows after each command, from a test of four
    // questions opened through File > Open: edit mode and its label, the
    // test commands, the list and its line, the number label and the list's
    // items.
    void windowAfterEachCommand()
    {
        struct Shown {
            bool editMode;
            bool testCommands;
            bool list;
            QString listLine;
            QString number;
            QStringList items;
        };
        const QStringList four = {"Question 1", "Question 2", "Question 3", "Question 4"};
        const auto edit = [](frmCreate &w, int index, const QString &text) {
            pick(w, index);
            get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText(text);
            get<QPushButton>(w, "cmdEdit")->click();
        };
        const struct {
            const char *name;
            std::function<void(frmCreate &)> command;
            Shown shown;
        } cases[] = {
            {"open", [](frmCreate &) {}, {false, true, true, "Question 1", "Question # 5", four}},
            {"pick", [](frmCreate &w) { pick(w, 1); }, {true, false, true, "Question 2", "Question # 2", four}},
            {"remove", [](frmCreate &w) { pick(w, 1); get<QPushButton>(w, "cmdRemove")->click(); },
             {false, true, true, "Question 1", "Question # 4", {"Question 1", "Question 3", "Question 4"}}},
            {"edit", [&](frmCreate &w) { edit(w, 1, "Edited"); },
             {false, true, true, "Question 1", "Question # 5", {"Question 1", "Edited", "Question 3", "Question 4"}}},
            {"add", [](frmCreate &w) { addTrueFalse(w, "Fifth"); },
             {false, true, true, "Question 1", "Question # 6", four + QStringList{"Fifth"}}},
            {"undo while editing", [](frmCreate &w) { addTrueFalse(w, "Fifth"); pick(w, 0); get<QAction>(w, "mnuEditUndo")->trigger(); },
             {false, true, true, "Question 1", "Question # 5", four}},
            {"leave edit mode", [](frmCreate &w) { dlgAsk::DontAskAgain = dlgAsk::LeaveConfirmed = true; pick(w, 2); w.lblEditMode_Click(); },
             {false, true, true, "Question 1", "Question # 5", four}},
            {"new", [](frmCreate &w) { get<QAction>(w, "mnuFileNew")->trigger(); },
             {false, true, false, "No questions yet.", "Question # 1", {}}},
        };
        for (const auto &c : cases) {
            ScopedPlatform p;
            QTemporaryDir dir;
            const QString path = writeTest(dir.filePath("four.ARD"), "Four", 4);   // capitals in the extension are fine
            frmCreate w;
            p.dialogs.answer(path);
            get<QAction>(w, "mnuFileOpen")->trigger();
            c.command(w);
            dlgAsk::DontAskAgain = dlgAsk::LeaveConfirmed = false;
            const Shown &s = c.shown;
            const QByteArray name = c.name;
            QVERIFY2(p.messages.shown.isEmpty(), name);
            QVERIFY2(w.isEditMode() == s.editMode, name);
            QVERIFY2(get<QLabel>(w, "lblEditMode")->isHidden() != s.editMode, name);
            QVERIFY2(get<QPushButton>(w, "cmdAdd")->isEnabled() != s.editMode, name);
            QVERIFY2(get<QGroupBox>(w, "grpType")->isEnabled() != s.editMode, name);
            QVERIFY2(get<QPushButton>(w, "cmdRemove")->isEnabled() == s.editMode, name);
            QVERIFY2(testCommandsEnabled(w) == s.testCommands, name);
            auto *list = get<QComboBox>(w, "cboExist");
            QVERIFY2(list->isEnabled() == s.list, name);
            QStringList items;
            for (int i = 0; i < list->count(); ++i)
                items << list->itemText(i);
            const QString caption = name == "new" ? "Ardeno Test Creator - untitled.ard" : "Ardeno Test Creator - four.ARD";
            const QStringList seen = {list->currentText(), get<QLabel>(w, "lblNumber")->text(), items.join('|'),
                                      w.windowTitle()};
            const QStringList expected = {s.listLine, s.number, s.items.join('|'), caption};
            QVERIFY2(seen == expected, name + ": " + seen.join(" / ").toUtf8());
        }
    }

    // An edit keeps its position in the kind field and texts longer than the
    // boxes allow (a test made elsewhere); a failed edit names why; Save Test
    // with an empty title asks for the file first, then refuses.
    void editsKeepWhatTheBoxesCannotTake()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        frmCreate w;
        for (const char *q : {"one", "two", "three"})
            addTrueFalse(w, q);
        pick(w, 1);
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("Edited");
        get<QPushButton>(w, "cmdEdit")->click();
        QCOMPARE(w.document().record(2), sep({"t  2", "Edited", "none", " 0"}));

        const QString longQuestion(300, QLatin1Char('q'));
        plant(w, 3, sep({"m", longQuestion, QString(95, 'a'), "b", "c", "d", "none", " 1"}));
        pick(w, 2);
        get<QPushButton>(w, "cmdEdit")->click();
        QCOMPARE(QuestionRecord::fields(w.document().record(3)).value(1), longQuestion);
        QCOMPARE(QuestionRecord::fields(w.document().record(3)).value(2).size(), 95);
        get<QLineEdit>(w, "txtManswer_0")->clear();
        QTest::keyClicks(get<QLineEdit>(w, "txtManswer_0"), QString(95, 'x'));
        QCOMPARE(get<QLineEdit>(w, "txtManswer_0")->text().size(), 90);

        pick(w, 0);
        get<QPlainTextEdit>(w, "txtTFquestion")->clear();
        p.messages.clear();
        get<QPushButton>(w, "cmdEdit")->click();
        QCOMPARE(p.messages.texts(),
                 QStringList({"You must enter a question!", "There has been an error in editing this question."}));
        QVERIFY(w.isEditMode());

        get<QAction>(w, "mnuFileNew")->trigger();
        p.messages.clear();
        p.dialogs.answer(dir.filePath("empty.ard"));
        get<QPushButton>(w, "cmdOkay")->click();
        QCOMPARE(p.messages.texts(), QStringList{"Please fill in all fields before attempting to save this test."});
        QVERIFY(!QFile::exists(dir.filePath("empty.ard")));
    }

    void corruptedRecords()
    {
        ScopedPlatform p;
        frmCreate w;
        addTrueFalse(w, "fine");
        plant(w, 1, sep({"x", "odd kind", "none", " 0"}));
        pick(w, 0);
        QCOMPARE(p.messages.texts(), QStringList{"Unable to display this question.  Question appears to be corrupted."});
        QVERIFY(w.isEditMode());   // stays on

        // Only blanks are trimmed before the kind is read.
        p.messages.clear();
        plant(w, 1, sep({"  t", "blanks", "none", " 0  "}));
        pick(w, 0);
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(get<QPlainTextEdit>(w, "txtTFquestion")->toPlainText(), QString("blanks"));
        plant(w, 1, sep({"\tt", "tab", "none", " 0"}));
        pick(w, 0);
        QCOMPARE(p.messages.texts(), QStringList{"Unable to display this question.  Question appears to be corrupted."});

        p.messages.clear();
        plant(w, 1, sep({"m", "seven", "a", "b", "c", "d", "none"}));
        pick(w, 0);
        QCOMPARE(p.messages.texts(),
                 QStringList({"An error has occured.  Unable to process question m",
                              "Unable to display this question.  Question appears to be corrupted."}));
        QCOMPARE(p.messages.shown.first().icon, MsgIcon::None);
    }

    void editModePrompts()
    {
        ScopedPlatform p;
        frmCreate w;
        addTrueFalse(w, "first");

        // Typed, unsaved question: Yes adds it instead of entering edit mode.
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("typed");
        p.messages.answers.enqueue(MsgResult::Yes);
        pick(w, 0);
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::Question);
        QVERIFY(p.messages.shown.last().text.startsWith("Going to edit mode will result in the loss of information"));
        QVERIFY(!w.isEditMode());
        QCOMPARE(w.document().nextQuestionNumber(), 3);

        // No: the typed text is dropped and the picked question loaded.
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("dropped");
        p.messages.answers.enqueue(MsgResult::No);
        pick(w, 1);
        QVERIFY(w.isEditMode());
        QCOMPARE(get<QPlainTextEdit>(w, "txtTFquestion")->toPlainText(), QString("typed"));
        QCOMPARE(w.document().nextQuestionNumber(), 3);

        // The label, through the dialog: Cancel with "Don't ask again." ticked.
        QTimer::singleShot(0, [] {
            auto *d = dlgAsk::instance();
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QString("Leaving Edit Mode"));
            d->findChild<QCheckBox *>("chkAsk")->click();
            d->findChild<QPushButton *>("CancelButton")->click();
        });
        w.lblEditMode_Click();
        QVERIFY(dlgAsk::DontAskAgain);
        QVERIFY(!dlgAsk::LeaveConfirmed);
        QVERIFY(w.isEditMode());
        w.lblEditMode_Click();   // no dialog now, and no way out by the label
        QVERIFY(w.isEditMode());
        // Saving still returns to add mode.
        get<QPushButton>(w, "cmdEdit")->click();
        QVERIFY(!w.isEditMode());
        QCOMPARE(get<QComboBox>(w, "cboExist")->currentText(), QString("first"));

        // The dialog closed by its close box counts as OK.
        dlgAsk::DontAskAgain = false;
        pick(w, 0);
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("changed, not saved");
        QTimer::singleShot(0, [] { dlgAsk::instance()->close(); });
        w.lblEditMode_Click();
        QVERIFY(dlgAsk::LeaveConfirmed);
        QVERIFY(!w.isEditMode());
        QCOMPARE(w.document().caption(1), QString("first"));
        QCOMPARE(get<QComboBox>(w, "cboExist")->currentText(), QString("first"));
    }

    // Every caption fits its control in the fonts this system has: a label
    // may grow sideways into free room, a wrapped one must fit its height.
    void textsFitTheirBoxes()
    {
        ScopedPlatform p;
        frmCreate w;
        dlgAsk d;
        for (QWidget *window : {static_cast<QWidget *>(&w), static_cast<QWidget *>(&d)}) {
            for (QLabel *l : window->findChildren<QLabel *>()) {
                if (l->text().isEmpty())
                    continue;
                const bool fits = l->wordWrap() ? l->heightForWidth(l->width()) <= l->height()
                                                : l->sizeHint().width() <= l->width();
                QVERIFY2(fits, qPrintable(l->objectName() + ": " + l->text()));
            }
            for (QAbstractButton *b : window->findChildren<QAbstractButton *>()) {
                const bool option = qobject_cast<QRadioButton *>(b);
                const int indicator = qobject_cast<QPushButton *>(b) ? 6
                    : b->style()->pixelMetric(option ? QStyle::PM_ExclusiveIndicatorWidth : QStyle::PM_IndicatorWidth, nullptr, b)
                          + b->style()->pixelMetric(option ? QStyle::PM_RadioButtonLabelSpacing : QStyle::PM_CheckBoxLabelSpacing, nullptr, b);
                const int needed = indicator + b->fontMetrics().horizontalAdvance(b->text());
                QVERIFY2(needed <= b->width(), qPrintable(b->objectName() + ": " + b->text() + QString(" %1 > %2").arg(needed).arg(b->width())));
            }
        }
    }

    // Tab stays among the controls on screen: the parked frame is skipped.
    void tabSkipsTheParkedFrame()
    {
        ScopedPlatform p;
        frmCreate w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        const auto tabFrom = [&w](const char *name) {
            get<QWidget>(w, name)->setFocus();
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            return QApplication::focusWidget();
        };
        auto *trueFalse = get<QWidget>(w, "grpTrueFalse");
        QVERIFY(!trueFalse->isAncestorOf(tabFrom("cmdMRemove")));
        get<QRadioButton>(w, "optType_1")->click();
        auto *multiple = get<QWidget>(w, "grpMultiple");
        QCOMPARE(tabFrom("txtTeacher"), get<QWidget>(w, "txtTFquestion"));
        QVERIFY(!multiple->isAncestorOf(tabFrom("cmdTRemove")));
    }

    // A click on the list's text line opens the list, and it stays open.
    void listOpensFromItsTextLine()
    {
        ScopedPlatform p;
        frmCreate w;
        addTrueFalse(w, "first");
        addTrueFalse(w, "second");
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        auto *list = get<QComboBox>(w, "cboExist");
        QTest::mouseClick(list->lineEdit(), Qt::LeftButton);
        QTRY_VERIFY(list->view()->isVisible());
        QTest::qWait(50);
        QVERIFY(list->view()->isVisible());
        list->hidePopup();

        // The wheel turned over the list without the focus picks nothing.
        get<QLineEdit>(w, "txtTitle")->setFocus();
        QWheelEvent wheel(QPointF(5, 5), list->mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, -120),
                          Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(list, &wheel);
        QVERIFY(!w.isEditMode());
    }

    // The Edit menu: between File and Tools, its texts naming the step, a
    // removal undone back at its number, and an undo while editing dropping
    // what was typed into the edited question.
    void undoRedoMenu()
    {
        ScopedPlatform p;
        frmCreate w;
        QStringList menus;
        for (QAction *a : w.menuBar()->actions())
            menus << a->text();
        QCOMPARE(menus.mid(0, 3), QStringList({"&File", "&Edit", "&Tools"}));
        auto *undo = get<QAction>(w, "mnuEditUndo");
        auto *redo = get<QAction>(w, "mnuEditRedo");
        QCOMPARE(undo->shortcut(), QKeySequence("Ctrl+Z"));
        QCOMPARE(redo->shortcuts(), QList<QKeySequence>({QKeySequence("Ctrl+Shift+Z"), QKeySequence("Ctrl+Y")}));
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QString("&Undo"));

        for (const char *q : {"one", "two", "three"})
            addTrueFalse(w, q);
        QCOMPARE(undo->text(), QString("&Undo Add Question 3"));
        pick(w, 1);
        get<QPushButton>(w, "cmdRemove")->click();
        QCOMPARE(undo->text(), QString("&Undo Remove Question 2"));
        undo->trigger();
        QCOMPARE(get<QComboBox>(w, "cboExist")->itemText(1), QString("two"));
        QCOMPARE(get<QLabel>(w, "lblNumber")->text(), QString("Question # 4"));
        QCOMPARE(redo->text(), QString("&Redo Remove Question 2"));
        redo->trigger();
        QCOMPARE(w.document().captions(), QStringList({"one", "three"}));

        pick(w, 0);
        get<QPlainTextEdit>(w, "txtTFquestion")->setPlainText("typed, not saved");
        undo->trigger();
        QCOMPARE(w.document().captions(), QStringList({"one", "two", "three"}));
        QVERIFY(get<QPlainTextEdit>(w, "txtTFquestion")->toPlainText().isEmpty());
    }

    // The title lines are steps of their own (a run of typing is one); a save
    // keeps the history, File > Open and File > New end it.
    void undoHistoryAcrossSaveOpenAndNew()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        frmCreate w;
        auto *undo = get<QAction>(w, "mnuEditUndo");
        addTrueFalse(w, "one");
        QTest::keyClicks(get<QLineEdit>(w, "txtTitle"), "Te");
        get<QLineEdit>(w, "txtTeacher")->setText("C");
        p.dialogs.answer(dir.filePath("u.ard"));
        get<QPushButton>(w, "cmdOkay")->click();
        QCOMPARE(undo->text(), QString("&Undo Change Class/Teacher"));
        undo->trigger();
        QVERIFY(get<QLineEdit>(w, "txtTeacher")->text().isEmpty());
        QCOMPARE(undo->text(), QString("&Undo Change Title"));
        undo->trigger();
        QVERIFY(get<QLineEdit>(w, "txtTitle")->text().isEmpty());
        undo->trigger();
        QVERIFY(w.document().isEmpty());

        p.dialogs.answer(dir.filePath("u.ard"));
        get<QAction>(w, "mnuFileOpen")->trigger();
        QCOMPARE(w.document().captions(), QStringList({"one"}));
        QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("Te"));
        QVERIFY(!undo->isEnabled());
        QVERIFY(!get<QAction>(w, "mnuEditRedo")->isEnabled());
        addTrueFalse(w, "two");
        QVERIFY(undo->isEnabled());
        get<QAction>(w, "mnuFileNew")->trigger();
        QVERIFY(!undo->isEnabled());
        QCOMPARE(undo->text(), QString("&Undo"));
    }

    void leaveEditModeDialog()
    {
        dlgAsk::LeaveConfirmed = false;
        {
            dlgAsk d;   // opening it counts as OK until Cancel is pressed
            QCOMPARE(d.windowTitle(), QString("Leaving Edit Mode"));
            QVERIFY(dlgAsk::LeaveConfirmed);
            QVERIFY(d.findChild<QPushButton *>("OKButton")->isDefault());
            d.show();
            QTest::keyClick(&d, Qt::Key_Escape);   // Esc is Cancel
            QVERIFY(!dlgAsk::LeaveConfirmed);
            QVERIFY(!d.isVisible());
        }
        {
            dlgAsk d;
            auto *box = d.findChild<QCheckBox *>("chkAsk");
            QVERIFY(!box->isChecked());
            box->click();
            QVERIFY(dlgAsk::DontAskAgain);
            box->click();
            QVERIFY(!dlgAsk::DontAskAgain);
            d.findChild<QPushButton *>("OKButton")->click();
            QVERIFY(dlgAsk::LeaveConfirmed);
        }
        QVERIFY(!dlgAsk::instance());
    }

    void recentFilesAcrossRestart()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths << writeTest(dir.filePath(QStringLiteral("t%1.ard").arg(i)), "T", 1);
        const QString lowerDir = dir.path();
        {
            frmCreate w;
            for (const QString &path : paths) {
                p.dialogs.answer(path);
                get<QAction>(w, "mnuFileOpen")->trigger();
            }
            // Already listed, in any letter case: no change.
            p.dialogs.answer(paths[3]);
            get<QAction>(w, "mnuFileOpen")->trigger();
            // Kept as it changes: a crash before the normal exit loses none.
            QCOMPARE(p.settings.values.value("Ardenox/Settings/MRU1"), RecentFiles::listedPath(paths[4]));
            w.close();
        }
        QCOMPARE(p.settings.values.value("Ardenox/Settings/MRU1"), RecentFiles::listedPath(paths[4]));
        QCOMPARE(p.settings.values.value("Ardenox/Settings/MRU4"), RecentFiles::listedPath(paths[1]));

        frmCreate w;
        QVERIFY(get<QMenu>(w, "mnuFileRecent")->menuAction()->isVisible());
        for (int i = 1; i <= 4; ++i) {
            auto *entry = get<QAction>(w, QStringLiteral("mnuRecent_%1").arg(i));
            QCOMPARE(entry->text(), RecentFiles::listedPath(paths[5 - i]));
            QVERIFY(entry->isEnabled());
        }
        // Choosing an entry loads it and remembers its folder for media.
        get<QAction>(w, "mnuRecent_2")->trigger();
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - t4.ard"));
        QCOMPARE(QDir(w.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
        QCOMPARE(w.recentFiles().entry(1), RecentFiles::listedPath(paths[4]));   // order unchanged
        // A deleted file: nothing happens, the entry stays.
        QFile::remove(paths[1]);
        get<QAction>(w, "mnuRecent_4")->trigger();
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - t4.ard"));
        QVERIFY(get<QAction>(w, "mnuRecent_4")->isVisible());
    }

    // The undo keys where the cursor is: a box with typing to undo takes
    // them; one with none passes them to the test's undo (the question box
    // just emptied by Add is such a box), and focus stays in the box.
    void undoKeysGoWhereTheCursorIs()
    {
        ScopedPlatform p;
        frmCreate w;
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        addTrueFalse(w, "First");
        addTrueFalse(w, "Second");
        auto *box = get<QPlainTextEdit>(w, "txtTFquestion");
        box->setFocus();
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.document().questionCount(), 1);
        QCOMPARE(QApplication::focusWidget(), box);

        QTest::keyClicks(box, "x");
        QTest::keyClick(box, Qt::Key_Z, Qt::ControlModifier);   // the typing goes
        QCOMPARE(box->toPlainText(), QString());
        QCOMPARE(w.document().questionCount(), 1);

        auto *title = get<QLineEdit>(w, "txtTitle");   // nothing typed there
        title->setFocus();
        QTest::keyClick(title, Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.document().questionCount(), 2);
        QTest::keyClick(title, Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);   // nothing left to redo
        QCOMPARE(w.document().questionCount(), 2);
        QCOMPARE(QApplication::focusWidget(), title);
    }

    // Two tests whose names differ only in letter case: the list reopens the
    // one that was opened.
    void recentFilesKeepTheExactName()
    {
        if (RecentFiles::pathCase() == Qt::CaseInsensitive)
            QSKIP("file names ignore letter case here");
        ScopedPlatform p;
        QTemporaryDir dir;
        const QString upper = writeTest(dir.filePath("Quiz.ard"), "Upper", 1);
        writeTest(dir.filePath("quiz.ard"), "Lower", 2);
        frmCreate w;
        p.dialogs.answer(upper);
        get<QAction>(w, "mnuFileOpen")->trigger();
        QCOMPARE(w.recentFiles().entry(1), upper);
        w.mnuFileNew_Click();
        get<QAction>(w, "mnuRecent_1")->trigger();
        QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("Upper"));
    }

    void unreadableTestLeavesTheTestAlone()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        QFile bad(dir.filePath("broken.ard"));
        QVERIFY(bad.open(QIODevice::WriteOnly));
        bad.write("no separator in this header\r\n");
        bad.close();
        frmCreate w;
        get<QLineEdit>(w, "txtTitle")->setText("Mine");
        addTrueFalse(w, "keep me");
        p.dialogs.answer(bad.fileName());
        get<QAction>(w, "mnuFileOpen")->trigger();
        QCOMPARE(p.messages.shown.size(), 1);
        QCOMPARE(p.messages.shown.first().icon, MsgIcon::Critical);
        QVERIFY(!p.messages.shown.first().text.isEmpty());
        QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("Mine"));
        QCOMPARE(w.document().caption(1), QString("keep me"));
        QCOMPARE(w.document().nextQuestionNumber(), 2);
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - untitled.ard"));

        // A file that is not a test by its name is refused before it is read.
        p.messages.clear();
        const QString txt = writeTest(dir.filePath("notes.txt"), "x", 1);
        p.dialogs.answer(txt);
        get<QAction>(w, "mnuFileOpen")->trigger();
        QCOMPARE(p.messages.texts(), QStringList{"File does not appear to be a valid Ardeno test."});
        // Cancelling changes nothing and says nothing.
        p.messages.clear();
        get<QAction>(w, "mnuFileOpen")->trigger();
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.document().nextQuestionNumber(), 2);
    }

    void startupCommandLine()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        const QString path = writeTest(dir.filePath("Start Here.ard"), "From the command line", 3);
        {
            // A test on the command line is loaded; caption and recent files stay.
            frmCreate w;
            runStartup(w, path);
            QVERIFY(p.messages.shown.isEmpty());
            QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("From the command line"));
            QCOMPARE(w.document().nextQuestionNumber(), 4);
            QVERIFY(testCommandsEnabled(w));
            QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - untitled.ard"));
            QVERIFY(!w.recentFiles().isUsed(1));
            QVERIFY(w.document().currentFile().isEmpty());
        }
        for (const QString &other : {dir.filePath("missing.ard"), dir.filePath("notes.txt"), QString()}) {
            frmCreate w;
            runStartup(w, other);
            QVERIFY(p.messages.shown.isEmpty());
            QCOMPARE(w.document().nextQuestionNumber(), 1);
            QVERIFY(!testCommandsEnabled(w));
        }
        QFile log(dir.filePath("scores.LOG"));
        QVERIFY(log.open(QIODevice::WriteOnly));
        log.close();
        frmCreate w;
        runStartup(w, log.fileName());
        QVERIFY(frmLog::instance());
        QCOMPARE(w.document().questionCount(), 0);   // a log is not a test
        frmLog::instance()->close();
    }

    // A teacher whose home folder is anna.berg: the command line from "/",
    // File > Open, Save Test into other.folder, Recent Files: no refusal, and
    // every media file of the test arrives and is shown from where it is.
    void dottedFoldersAndMediaThatFollowTheTest()
    {
        ScopedPlatform p;
        QTemporaryDir top;
        QVERIFY(QDir(top.path()).mkpath("anna.berg/tests") && QDir(top.path()).mkpath("anna.berg/other.folder"));
        const QString tests = top.filePath("anna.berg/tests/"), other = top.filePath("anna.berg/other.folder/");
        writePicture(tests + "map.bmp", 234, 117);
        QVERIFY(QFile::copy(qEnvironmentVariable("ARDENO_TEST_DATA") + "/media/tone.wav", tests + "tone.wav"));
        QFile f(tests + "europe.ard");
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(testFileBytes("Europe", "Geography", {sep({"m", "Where?", "a", "b", "c", "d", "map.bmp", " 1"}),
                                                      sep({"t", "Loud?", "tone.wav", " 0"})}));
        f.close();
        const QString old = QDir::currentPath();
        QDir::setCurrent(QDir::rootPath());
        const auto shownMedia = [](frmCreate &w, int question) {
            pick(w, question);
            return get<QLabel>(w, "lblPreview")->text();
        };
        {
            frmCreate w;
            runStartup(w, tests + "europe.ard");
            QCOMPARE(w.document().nextQuestionNumber(), 3);
            QCOMPARE(shownMedia(w, 0), QString("Picture Thumbnail"));
            QCOMPARE(get<PictureBox>(w, "picPreview")->pictureRect(), QRect(0, 29, 117, 58));
            QCOMPARE(shownMedia(w, 1), QString("Wav Preview"));
        }
        {
            frmCreate w;
            p.dialogs.answer(tests + "europe.ard");
            get<QAction>(w, "mnuFileOpen")->trigger();
            QCOMPARE(w.document().nextQuestionNumber(), 3);
            QDir::setCurrent(QDir::rootPath());   // wherever a dialog leaves it
            p.dialogs.answer(other + "europe.ard");
            get<QPushButton>(w, "cmdOkay")->click();
            QVERIFY2(p.messages.shown.isEmpty(), qPrintable(p.messages.texts().join('\n')));
            QCOMPARE(QDir(other).entryList(QDir::Files), QStringList({"europe.ard", "map.bmp", "tone.wav"}));
            // The originals go; the saved test shows its own copies.
            QVERIFY(QFile::remove(tests + "map.bmp") && QFile::remove(tests + "tone.wav"));
            QCOMPARE(shownMedia(w, 0), QString("Picture Thumbnail"));
            w.close();   // the recent-files list is stored on closing
        }
        frmCreate w;
        get<QAction>(w, "mnuRecent_1")->trigger();
        QCOMPARE(w.document().currentFile(), other + "europe.ard");
        QCOMPARE(shownMedia(w, 0), QString("Picture Thumbnail"));
        QCOMPARE(shownMedia(w, 1), QString("Wav Preview"));
        QVERIFY(p.messages.shown.isEmpty());
        QDir::setCurrent(old);
    }

    // After Remove the focus is on the list (or the question box once the
    // list is empty), never in Test Title with its text selected: the next
    // keystrokes must not replace the title.
    void focusAfterRemoveLeavesTheTitleAlone()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        p.dialogs.answer(writeTest(dir.filePath("two.ard"), "My title", 2));
        frmCreate w;
        w.show();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        get<QAction>(w, "mnuFileOpen")->trigger();
        auto *title = get<QLineEdit>(w, "txtTitle");
        auto *list = get<QComboBox>(w, "cboExist");
        auto *remove = get<QPushButton>(w, "cmdRemove");
        for (int left = 1; left >= 0; --left) {
            pick(w, 0);
            remove->setFocus(Qt::TabFocusReason);
            QTest::keyClick(remove, Qt::Key_Space);   // pressed from the keyboard
            QCOMPARE(list->count(), left);
            QWidget *focus = QApplication::focusWidget();
            if (left > 0)
                QVERIFY(focus == list || focus == list->lineEdit());
            else
                QCOMPARE(focus, get<QPlainTextEdit>(w, "txtTFquestion"));
            QVERIFY(title->selectedText().isEmpty());
            QTest::keyClicks(focus, "Next");
            QCOMPARE(title->text(), QString("My title"));
        }
        QCOMPARE(get<QPlainTextEdit>(w, "txtTFquestion")->toPlainText(), QString("Next"));
    }

    void mediaPanel()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        frmCreate w;
        auto *box = get<PictureBox>(w, "picPreview");
        auto *media = get<QLineEdit>(w, "txtMpic");

        p.dialogs.answer(writePicture(dir.filePath("wide.bmp"), 234, 117));
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(box->pictureRect(), QRect(0, 29, 117, 58));
        // The focus goes where the teacher types next, never back to "...",
        // whose Enter would open the dialog again.
        QCOMPARE(w.focusWidget(), get<QPlainTextEdit>(w, "txtMQuestion"));
        get<QPlainTextEdit>(w, "txtMQuestion")->setPlainText("Which?");
        get<QLineEdit>(w, "txtManswer_0")->setText("a");
        get<QLineEdit>(w, "txtManswer_1")->setText("b");
        p.dialogs.answer(dir.filePath("wide.bmp"));
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(w.focusWidget(), get<QLineEdit>(w, "txtManswer_2"));

        // Cancel: box and panel unchanged.
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(media->text(), dir.filePath("wide.bmp"));
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("Picture Thumbnail"));

        // A damaged picture: the box keeps the path, the user is told.
        QFile junk(dir.filePath("junk.jpg"));
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write("not a picture");
        junk.close();
        p.dialogs.answer(junk.fileName());
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(p.messages.texts(), QStringList{"Error loading media file!"});
        QCOMPARE(media->text(), junk.fileName());

        // Removing: "None" and an empty panel; emptying by hand: "none".
        get<QPushButton>(w, "cmdMRemove")->click();
        QCOMPARE(media->text(), QString("None"));
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("No Media Chosen"));
        QVERIFY(box->isHidden());
        media->clear();
        QCOMPARE(media->text(), QString("none"));

        // A sound: the play button instead of the box.
        const QString data = qEnvironmentVariable("ARDENO_TEST_DATA");
        QVERIFY(QFile::copy(data + "/media/tune.mid", dir.filePath("tune.mid")));
        QVERIFY(QFile::copy(data + "/media/tone.wav", dir.filePath("tone.wav")));
        p.dialogs.answer(dir.filePath("tune.mid"));
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("Midi Preview"));
        QCOMPARE(get<QPushButton>(w, "cmdPlaywav")->text(), QString("Play Midi"));
        QVERIFY(!get<QPushButton>(w, "cmdPlaywav")->isHidden());
        QVERIFY(box->isHidden());
        p.dialogs.answer(dir.filePath("tone.wav"));
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(get<QPushButton>(w, "cmdPlaywav")->text(), QString("Play Wav"));
        get<QPushButton>(w, "cmdPlaywav")->click();

        // A file of no known kind is stored but not shown.
        p.dialogs.answer(junk.fileName().replace("junk.jpg", "notes.txt"));
        QFile(dir.filePath("notes.txt")).open(QIODevice::WriteOnly);
        get<QPushButton>(w, "cmdMpic")->click();
        QCOMPARE(media->text(), dir.filePath("notes.txt"));
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("Wav Preview"));

        // Switching the type empties the panel; the media boxes keep their text.
        get<QRadioButton>(w, "optType_1")->click();
        QCOMPARE(get<QLabel>(w, "lblPreview")->text(), QString("No Media Chosen"));
        QCOMPARE(media->text(), dir.filePath("notes.txt"));
        QCOMPARE(get<QLineEdit>(w, "txtTFpic")->text(), QString("None"));
    }
};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
