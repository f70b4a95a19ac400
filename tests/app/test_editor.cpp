// The editor window driven offscreen through its control names, with the
// message, file-dialog and settings doubles.
#include "widgets/PictureBox.h"
#include "document/QuestionRecord.h"
#include "ControlLookup.h"
#include "TestDoubles.h"
#include "TestFiles.h"
#include "document/RecentFiles.h"
#include "document/TestFile.h"
#include "app/dlgTestLanguage.h"
#include "app/Startup.h"
#include "dialogs/dlgAsk.h"
#include "app/frmCreate.h"
#include "logview/frmLog.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QTimer>
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
#include <memory>

namespace {
// A test file with n true/false questions, written by the core.
QString writeTest(const QString &path, const QString &title, int n)
{
    QStringList records;
    for (int i = 1; i <= n; ++i)
        records << record({"t", QStringLiteral("Question %1").arg(i), "none", " 0"});
    return writeTest(path, title, QStringLiteral("Class"), records);
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

// The commands that need a test; they are on or off together.
const QStringList TestCommands = {"cmdPreview", "cmdOkay", "mnuFileSaveas", "mnuFilePrint"};

class TestEditor : public QObject {
    Q_OBJECT

    static bool testCommandsEnabled(frmCreate &w)
    {
        const QString flags = enabled(w, TestCommands);
        if (flags != "0000" && flags != "1111")
            qFatal("the test commands disagree: %s", qPrintable(flags));
        return flags == "1111";
    }

    static void typeMultipleChoice(frmCreate &w, const QString &q, const QStringList &answers)
    {
        type(w, "txtMQuestion", q);
        for (int i = 0; i < 4; ++i)
            type(w, QStringLiteral("txtManswer_%1").arg(i), answers.value(i));
    }

    static void addTrueFalse(frmCreate &w, const QString &q)
    {
        click(w, "optType_1");
        type(w, "txtTFquestion", q);
        click(w, "cmdAdd");
    }

    static void open(ScopedPlatform &p, frmCreate &w, const QString &path)
    {
        p.dialogs.answer(path);
        click(w, "mnuFileOpen");
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
        QCOMPARE(shown(w, {"cboExist", "lblNumber", "txtMpic"}),
                 QStringList({"No Questions Yet", "Question #1", "None"}));
        QCOMPARE(enabled(w, TestCommands + QStringList{"cboExist", "cmdEdit", "cmdAdd"}), QString("0000001"));
        QVERIFY(get<QLabel>(w, "lblEditMode")->isHidden());
        QVERIFY(get<QPushButton>(w, "cmdAdd")->isDefault());
        for (int i = 0; i < 4; ++i)   // each answer box level with its option
            QCOMPARE(get<QLineEdit>(w, QStringLiteral("txtManswer_%1").arg(i))->y(),
                     get<QRadioButton>(w, QStringLiteral("optABCD_%1").arg(i))->y());
        QVERIFY(!get<QMenu>(w, "mnuFileRecent")->menuAction()->isVisible());
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
        type(w, "txtTitle", "Fractions");
        type(w, "txtTeacher", "5b / Ms Kay");
        click(w, "optType_0");
        typeMultipleChoice(w, "Which is a half?", {"1/3", "2/3", "2/4", "3/5"});
        click(w, "optABCD_2");

        // The media's description: nothing to describe until there is media.
        QVERIFY(!get<QLineEdit>(w, "txtMdesc")->isEnabled());
        p.dialogs.answer(picture);
        click(w, "cmdMpic");
        QCOMPARE(shown(w, {"txtMpic", "lblPreview"}), QStringList({picture, "Picture Thumbnail"}));
        QVERIFY(get<QLineEdit>(w, "txtMdesc")->isEnabled());
        type(w, "txtMdesc", "A grey cat on a mat.");
        auto *box = get<PictureBox>(w, "picPreview");
        QVERIFY(!box->isHidden());
        QCOMPARE(box->innerSize(), QSize(117, 117));
        QCOMPARE(box->pictureRect(), QRect(33, 38, 50, 40));   // never enlarged

        click(w, "cmdAdd");
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.document().record(1),
                 record({"m", "Which is a half?", "1/3", "2/3", "2/4", "3/5", picture, " 2"}));
        QCOMPARE(w.document().description(1), QString("A grey cat on a mat."));
        // The entry area empties, and the next question's right answer is
        // not the last one's: A again.
        QCOMPARE(shown(w, {"lblNumber", "txtMQuestion", "txtMpic", "optABCD_0", "optABCD_2", "lblPreview", "txtMdesc"}),
                 QStringList({"Question # 2", "", "none", "on", "off", "No Media Chosen", ""}));

        const QString path = target.filePath("Fractions.ard");
        p.dialogs.answer(path);
        click(w, "cmdOkay");
        QVERIFY2(p.messages.shown.isEmpty(), qPrintable(p.messages.texts().join('|')));
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - Fractions.ard"));
        QCOMPARE(w.recentFiles().entry(1), path);   // letter case as typed
        QVERIFY(QFile::exists(target.filePath("cat.bmp")));

        const TestReadResult read = readTestFile(path);
        QVERIFY(read.test);
        QCOMPARE(QStringList({read.test->title, read.test->teacher}), QStringList({"Fractions", "5b / Ms Kay"}));
        QCOMPARE(read.test->records,
                 QStringList{record({"m", "Which is a half?", "1/3", "2/3", "2/4", "3/5", "cat.bmp", " 2"})});
        QCOMPARE(read.test->companion.descriptions, QStringList{"A grey cat on a mat."});

        // Reopened in a fresh window; picking the question shows the copy
        // next to the test (bare name, not the working directory).
        frmCreate again;
        open(p, again, path);
        QCOMPARE(shown(again, {"txtTitle", "cboExist"}), QStringList({"Fractions", "Which is a half?"}));
        QCOMPARE(again.recentFiles().entry(1), RecentFiles::listedPath(path));
        pick(again, 0);
        QCOMPARE(shown(again, {"txtMpic", "lblPreview", "optABCD_2", "txtMdesc"}),
                 QStringList({"cat.bmp", "Picture Thumbnail", "on", "A grey cat on a mat."}));
        // A changed description is an edit of the question, undone as one.
        type(again, "txtMdesc", "A cat.");
        click(again, "cmdEdit");
        QCOMPARE(again.document().description(1), QString("A cat."));
        again.controller().undo();
        QCOMPARE(again.document().description(1), QString("A grey cat on a mat."));
    }

    // Edit > Test Language...: chosen from the list by typing its name; a
    // text that names no language is said and the dialog stays.
    // Edit > Move Up, Move Down and Duplicate on the question picked, each
    // one undo step; they are there only in edit mode.
    void questionsMoveAndDuplicateFromTheEditMenu()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        frmCreate w;
        open(p, w, writeTest(dir.filePath("order.ard"), "Order", 3));
        QVERIFY(!w.findChild<QAction *>("mnuEditMoveUp")->isEnabled());
        const auto captions = [&] { return w.document().captions(); };
        const QStringList start = captions();
        pick(w, 2);
        click(w, "mnuEditMoveUp");
        QCOMPARE(captions(), QStringList({start[0], start[2], start[1]}));
        QVERIFY(!w.isEditMode());
        pick(w, 0);
        click(w, "mnuEditDuplicate");
        QCOMPARE(captions(), QStringList({start[0], start[0], start[2], start[1]}));
        // The list shows each question with its number in front (the
        // items keep the questions' texts): the fourth row is wider than
        // its text by "4. ".
        auto *list = get<QComboBox>(w, "cboExist");
        QCOMPARE(list->count(), 4);
        QCOMPARE(list->itemText(3), start[1]);
        const int rowWidth = list->view()->sizeHintForIndex(list->model()->index(3, 0)).width();
        QVERIFY2(rowWidth >= list->view()->fontMetrics().horizontalAdvance("4. " + start[1]),
                 qPrintable(QString::number(rowWidth)));
        pick(w, 3);
        click(w, "mnuEditMoveDown");   // the last one cannot go down
        QCOMPARE(captions().size(), 4);
        click(w, "mnuEditUndo");
        click(w, "mnuEditUndo");
        QCOMPARE(captions(), start);
    }

    // The list opened by its key after typing shows the language typed,
    // not the top of the alphabet.
    void theLanguageListOpensAtWhatWasTyped()
    {
        dlgTestLanguage dialog(QStringLiteral("fr"));
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        auto *box = dialog.findChild<QComboBox *>("cboLanguage");
        QVERIFY(box->view()->model()->index(0, 0).data().toString() != "Welsh (cy)");
        box->lineEdit()->selectAll();
        QTest::keyClicks(box->lineEdit(), "Wels");
        QTest::keyClick(box, Qt::Key_Down, Qt::AltModifier);   // opens the list
        QTRY_VERIFY(box->view()->isVisible());
        QVERIFY2(box->view()->currentIndex().data().toString().startsWith("Welsh"),
                 qPrintable(box->view()->currentIndex().data().toString()));
        box->hidePopup();
    }

    void languageOfTheTest()
    {
        ScopedPlatform p;
        frmCreate w;
        // Answers the dialog once it is open; says where the keyboard was.
        auto focusInBox = std::make_shared<bool>(false);
        const auto answerDialog = [focusInBox](const QString &typed, int returns) {
            QTimer::singleShot(0, [focusInBox, typed, returns] {
                auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                if (!dialog)
                    return;
                auto *box = dialog->findChild<QComboBox *>("cboLanguage");
                // An editable list box keeps the focus itself and hands the keys to its line.
                *focusInBox = QTest::qWaitForWindowActive(dialog) && QApplication::focusWidget() == box;
                box->lineEdit()->selectAll();
                QTest::keyClicks(box->lineEdit(), typed);
                // The first Return may take the completion the list offers.
                for (int i = 0; i < returns && dialog->isVisible(); ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
                if (dialog->isVisible())
                    dialog->reject();   // what a teacher does after being told
            });
        };
        answerDialog("Welsh", 2);
        click(w, "mnuEditLanguage");
        QVERIFY(*focusInBox);
        QCOMPARE(w.document().language(), QString("cy"));
        QCOMPARE(w.controller().createUndoAction(&w)->text(), QString("&Undo Change Test Language"));

        answerDialog("Nowhere!", 1);
        click(w, "mnuEditLanguage");
        QCOMPARE(p.messages.texts(), QStringList{"\"Nowhere!\" names no language. Choose one from the list, or type a "
                                                 "language tag such as fr or pt-BR."});
        QCOMPARE(w.document().language(), QString("cy"));
    }

    // Edit > "Shuffle for Each Student": one undo step, its mark following
    // the test through undo and redo.
    void shuffleForEachStudent()
    {
        ScopedPlatform p;
        frmCreate w;
        auto *shuffle = w.findChild<QAction *>("mnuEditShuffle");
        QVERIFY(shuffle && shuffle->isCheckable() && !shuffle->isChecked());
        shuffle->trigger();
        QVERIFY(w.document().shuffle());
        QVERIFY(w.document().companion().shuffle);
        QCOMPARE(w.controller().createUndoAction(&w)->text(), QString("&Undo Change Shuffle for Each Student"));
        click(w, "mnuEditUndo");
        QVERIFY(!w.document().shuffle());
        QVERIFY(!shuffle->isChecked());
        click(w, "mnuEditRedo");
        QVERIFY(shuffle->isChecked());
    }

    void validationMessagesInOrder()
    {
        ScopedPlatform p;
        frmCreate w;
        typeMultipleChoice(w, "", {});
        click(w, "cmdAdd");
        QCOMPARE(p.messages.texts(), QStringList{"You must enter a question!"});
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::Critical);
        QCOMPARE(p.messages.shown.last().title, QString("Ardenox"));
        // The keyboard goes to the box the message names.
        QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(), QString("txtMQuestion"));

        p.messages.clear();
        typeMultipleChoice(w, "   ", {"a", "", "c", "d"});
        click(w, "cmdAdd");
        QCOMPARE(p.messages.texts(), QStringList{"You must enter four possible answers!"});
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::None);
        QCOMPARE(shown(w, {"txtManswer_0", "lblNumber"}), QStringList({"a", "Question #1"}));   // nothing cleared
        QCOMPARE(w.focusWidget() ? w.focusWidget()->objectName() : QString(), QString("txtManswer_1"));

        // A question of blanks is accepted as typed.
        p.messages.clear();
        type(w, "txtManswer_1", "b");
        click(w, "cmdAdd");
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.document().caption(1), QString("   "));

        // Switching the type keeps what was typed in the other frame.
        typeMultipleChoice(w, "kept", {"1", "2", "3", "4"});
        click(w, "optType_1");
        click(w, "cmdAdd");
        QCOMPARE(p.messages.texts(), QStringList{"You must enter a question!"});
        click(w, "optType_0");
        QCOMPARE(shown(w, {"txtMQuestion"}), QStringList{"kept"});

        // A line break is stored as CR LF; the list shows the first question.
        click(w, "optType_1");
        type(w, "txtTFquestion", "two\nlines");
        click(w, "optTrueAnswer_1");
        click(w, "cmdAdd");
        QCOMPARE(w.document().record(2), record({"t", "two\r\nlines", "none", " 1"}));
        QCOMPARE(shown(w, {"cboExist"}), QStringList{"   "});

    }

    // What the window shows after each command, from a test of four
    // questions opened through File > Open.
    void windowAfterEachCommand()
    {
        // Edit mode, its label shown, then on/off: Add, the type frame,
        // Remove, the test commands, the list.
        struct Shown {
            QString flags;
            QString listLine;
            QString number;
            QStringList items;
        };
        const QStringList four = {"Question 1", "Question 2", "Question 3", "Question 4"};
        const auto edit = [](frmCreate &w, int index, const QString &text) {
            pick(w, index);
            type(w, "txtTFquestion", text);
            click(w, "cmdEdit");
        };
        const struct {
            const char *name;
            std::function<void(frmCreate &)> command;
            Shown shown;
        } cases[] = {
            {"open", [](frmCreate &) {}, {"00" "110" "1111" "1", "Question 1", "Question # 5", four}},
            {"pick", [](frmCreate &w) { pick(w, 1); }, {"11" "001" "0000" "1", "Question 2", "Question # 2", four}},
            {"remove", [](frmCreate &w) { pick(w, 1); click(w, "cmdRemove"); },
             {"00" "110" "1111" "1", "Question 1", "Question # 4", {"Question 1", "Question 3", "Question 4"}}},
            {"edit", [&](frmCreate &w) { edit(w, 1, "Edited"); },
             {"00" "110" "1111" "1", "Question 1", "Question # 5", {"Question 1", "Edited", "Question 3", "Question 4"}}},
            {"add", [](frmCreate &w) { addTrueFalse(w, "Fifth"); },
             {"00" "110" "1111" "1", "Question 1", "Question # 6", four + QStringList{"Fifth"}}},
            {"undo while editing", [](frmCreate &w) { addTrueFalse(w, "Fifth"); pick(w, 0); click(w, "mnuEditUndo"); },
             {"00" "110" "1111" "1", "Question 1", "Question # 5", four}},
            {"leave edit mode", [](frmCreate &w) { dlgAsk::DontAskAgain = dlgAsk::LeaveConfirmed = true; pick(w, 2); w.lblEditMode_Click(); },
             {"00" "110" "1111" "1", "Question 1", "Question # 5", four}},
            {"new", [](frmCreate &w) { click(w, "mnuFileNew"); },
             {"00" "110" "1111" "0", "No questions yet.", "Question # 1", {}}},
        };
        for (const auto &c : cases) {
            ScopedPlatform p;
            QTemporaryDir dir;
            frmCreate w;
            open(p, w, writeTest(dir.filePath("four.ARD"), "Four", 4));   // capitals in the extension are fine
            c.command(w);
            dlgAsk::DontAskAgain = dlgAsk::LeaveConfirmed = false;
            auto *list = get<QComboBox>(w, "cboExist");
            QStringList items;
            for (int i = 0; i < list->count(); ++i)
                items << list->itemText(i);
            const QString flags = QString::number(w.isEditMode()) + QString::number(!get<QLabel>(w, "lblEditMode")->isHidden())
                + enabled(w, QStringList{"cmdAdd", "grpType", "cmdRemove"} + TestCommands + QStringList{"cboExist"});
            // A change the file lacks marks the title bar; undone, it goes.
            const bool changed = QStringList{"remove", "edit", "add"}.contains(c.name);
            const QString caption = (QString(c.name) == "new" ? QString("Ardeno Test Creator - untitled.ard")
                                                               : QString("Ardeno Test Creator - four.ARD"))
                                    + (changed ? " *" : "");
            const QStringList seen = {flags, list->currentText(), shownBy(get<QLabel>(w, "lblNumber")), items.join('|'), w.windowTitle()};
            const QStringList expected = {c.shown.flags, c.shown.listLine, c.shown.number, c.shown.items.join('|'), caption};
            QVERIFY2(p.messages.shown.isEmpty(), c.name);
            QVERIFY2(seen == expected, qPrintable(QString(c.name) + ": " + seen.join(" / ")));
        }
    }

    // Records the boxes cannot show: what is said, and that the list stays
    // in edit mode on the question.
    void corruptedRecords()
    {
        const QString corrupted = "Unable to display this question.  Question appears to be corrupted.";
        const struct {
            QStringList record;
            QStringList said;
        } cases[] = {
            {{"x", "odd kind", "none", " 0"}, {corrupted}},
            {{"  t", "blanks", "none", " 0  "}, {}},   // only blanks are trimmed
            {{"\tt", "tab", "none", " 0"}, {corrupted}},
            {{"t", "no such answer", "none", " 2"}, {corrupted}},
            {{"m", "seven", "a", "b", "c", "d", "none"}, {"An error has occured.  Unable to process question m", corrupted}},
        };
        for (const auto &c : cases) {
            ScopedPlatform p;
            frmCreate w;
            addTrueFalse(w, "fine");
            plant(w, 1, record(c.record));
            pick(w, 0);
            QCOMPARE(p.messages.texts(), c.said);
            QVERIFY(w.isEditMode());
            if (c.said.isEmpty())
                QCOMPARE(shown(w, {"txtTFquestion"}), QStringList{c.record.value(1)});
            else
                QCOMPARE(p.messages.shown.last().icon, MsgIcon::Critical);
            if (c.said.size() == 2)
                QCOMPARE(p.messages.shown.first().icon, MsgIcon::None);
        }
    }

    // A keyboard-only teacher leaves edit mode: Escape does what a click
    // on the label does, and so do Space and Enter on the label, which Tab
    // reaches; the last change stays (undo would take it back).
    void editModeIsLeftByKeys()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        for (const int key : {int(Qt::Key_Escape), int(Qt::Key_Space), int(Qt::Key_Return)}) {
            frmCreate w;
            w.show();
            QVERIFY(QTest::qWaitForWindowExposed(&w));
            open(p, w, writeTest(dir.filePath("keys.ard"), "Keys", 3));
            dlgAsk::DontAskAgain = dlgAsk::LeaveConfirmed = true;
            pick(w, 1);
            QVERIFY(w.isEditMode());
            auto *label = get<QLabel>(w, "lblEditMode");
            QCOMPARE(label->focusPolicy(), Qt::StrongFocus);
            QWidget *target = key == Qt::Key_Escape ? QApplication::focusWidget() : label;
            if (target == label)
                label->setFocus(Qt::TabFocusReason);
            QVERIFY(target);
            QTest::keyClick(target, Qt::Key(key));
            QVERIFY2(!w.isEditMode(), qPrintable(QString::number(key)));
            QCOMPARE(w.document().questionCount(), 3);
        }
        dlgAsk::DontAskAgain = dlgAsk::LeaveConfirmed = false;
    }

    void editModePrompts()
    {
        ScopedPlatform p;
        frmCreate w;
        addTrueFalse(w, "first");

        // Typed, unsaved question: Yes adds it instead of entering edit mode.
        type(w, "txtTFquestion", "typed");
        p.messages.answers.enqueue(MsgResult::Yes);
        pick(w, 0);
        QCOMPARE(p.messages.shown.last().icon, MsgIcon::Question);
        QVERIFY(p.messages.shown.last().text.startsWith("Going to edit mode will result in the loss of information"));
        QVERIFY(!w.isEditMode());
        QCOMPARE(w.document().nextQuestionNumber(), 3);

        // No: the typed text is dropped and the picked question loaded.
        type(w, "txtTFquestion", "dropped");
        p.messages.answers.enqueue(MsgResult::No);
        pick(w, 1);
        QVERIFY(w.isEditMode());
        QCOMPARE(shown(w, {"txtTFquestion"}), QStringList{"typed"});
        QCOMPARE(w.document().nextQuestionNumber(), 3);

        // The label, through the dialog: Cancel with "Don't ask again." ticked.
        QTimer::singleShot(0, [] {
            auto *d = dlgAsk::instance();
            QVERIFY(d);
            QCOMPARE(d->windowTitle(), QString("Leaving Edit Mode"));
            d->findChild<QCheckBox *>("chkAsk")->click();
            d->findChild<QPushButton *>("CancelButton")->click();
        });
        auto *label = get<QLabel>(w, "lblEditMode");
        QTest::mouseClick(label, Qt::RightButton);   // only the left button leaves
        QVERIFY(!dlgAsk::DontAskAgain);
        QTest::mouseClick(label, Qt::LeftButton);
        QVERIFY(dlgAsk::DontAskAgain && !dlgAsk::LeaveConfirmed);
        QVERIFY(w.isEditMode());
        w.lblEditMode_Click();   // no dialog now, and no way out by the label
        QVERIFY(w.isEditMode());
        // Saving still returns to add mode.
        click(w, "cmdEdit");
        QVERIFY(!w.isEditMode());
        QCOMPARE(shown(w, {"cboExist"}), QStringList{"first"});
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
        click(w, "cmdRemove");
        QCOMPARE(undo->text(), QString("&Undo Remove Question 2"));
        undo->trigger();
        QCOMPARE(get<QComboBox>(w, "cboExist")->itemText(1), QString("two"));
        QCOMPARE(shown(w, {"lblNumber"}), QStringList{"Question # 4"});
        QCOMPARE(redo->text(), QString("&Redo Remove Question 2"));
        redo->trigger();
        QCOMPARE(w.document().captions(), QStringList({"one", "three"}));

        pick(w, 0);
        type(w, "txtTFquestion", "typed, not saved");
        undo->trigger();
        QCOMPARE(w.document().captions(), QStringList({"one", "two", "three"}));
        QVERIFY(get<QPlainTextEdit>(w, "txtTFquestion")->toPlainText().isEmpty());

        // Undoing every question leaves the list as it started.
        while (w.document().questionCount() > 0)
            undo->trigger();
        QCOMPARE(shown(w, {"cboExist"}), QStringList{"No Questions Yet"});
    }

    void recentFilesAcrossRestart()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        QStringList paths;
        for (int i = 1; i <= 5; ++i)
            paths << writeTest(dir.filePath(QStringLiteral("t%1.ard").arg(i)), "T", 1);
        {
            frmCreate w;
            for (const QString &path : paths)
                open(p, w, path);
            // Already listed, in any letter case: no change.
            open(p, w, paths[3]);
            // Kept as it changes: a crash before the normal exit loses none.
            QCOMPARE(p.settings.values.value("Ardenox/Settings/MRU1"), RecentFiles::listedPath(paths[4]));
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
        click(w, "mnuRecent_2");
        QVERIFY(p.messages.shown.isEmpty());
        QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - t4.ard"));
        QCOMPARE(QDir(w.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
        QCOMPARE(w.recentFiles().entry(1), RecentFiles::listedPath(paths[4]));   // order unchanged
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

    // Tab through the question frame as a typist does, B marked right: the
    // question, answers A to D, then the right-answer option, then the
    // media; typing after each Tab lands in the box it should.
    void tabWalksTheAnswerBoxesInOrder()
    {
        ScopedPlatform p;
        frmCreate w;
        w.show();
        w.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&w));
        get<QRadioButton>(w, "optABCD_1")->setChecked(true);
        get<QPlainTextEdit>(w, "txtMQuestion")->setFocus();
        QStringList walked;
        for (int i = 0; i < 7; ++i) {
            QTest::keyClick(w.windowHandle(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(walked, QStringList({"txtManswer_0", "txtManswer_1", "txtManswer_2", "txtManswer_3", "optABCD_1",
                                      "txtMpic", "cmdMpic"}));
        // On the option, the arrow keys move the mark.
        get<QRadioButton>(w, "optABCD_1")->setFocus();
        QTest::keyClick(w.windowHandle(), Qt::Key_Down);
        QVERIFY(get<QRadioButton>(w, "optABCD_2")->isChecked());
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
        open(p, w, upper);
        QCOMPARE(w.recentFiles().entry(1), upper);
        w.mnuFileNew_Click();
        click(w, "mnuRecent_1");
        QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("Upper"));
    }

    void startupCommandLine()
    {
        ScopedPlatform p;
        QTemporaryDir dir;
        const QString path = writeTest(dir.filePath("Start Here.ard"), "From the command line", 3);
        {
            // A test on the command line is loaded and named in the title
            // bar (its own file, which Save writes); recent files stay.
            frmCreate w;
            runStartup(w, path);
            QVERIFY(p.messages.shown.isEmpty());
            QCOMPARE(get<QLineEdit>(w, "txtTitle")->text(), QString("From the command line"));
            QCOMPARE(w.document().nextQuestionNumber(), 4);
            QVERIFY(testCommandsEnabled(w));
            QCOMPARE(w.windowTitle(), QString("Ardeno Test Creator - Start Here.ard"));
            QCOMPARE(w.controller().ownFile(), path);
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
        frmCreate w;
        runStartup(w, writeBytes(dir.filePath("scores.LOG"), {}));
        QVERIFY(frmLog::instance());
        QCOMPARE(w.document().questionCount(), 0);   // a log is not a test
        frmLog::instance()->close();
    }

};

QTEST_MAIN(TestEditor)
#include "test_editor.moc"
