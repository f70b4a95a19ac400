// The editor's state without a window: adding, editing and removing through
// the controller, the 100-question limit, opening, undo and redo,
// the title lines as undoable steps, the table of enabled commands after
// each step, and how often each operation announces itself.
#include "TestDoubles.h"
#include "app/EditorController.h"
#include "document/TestFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <functional>
#include <gtest/gtest.h>

namespace {
const QString Sep(QChar(0xA9));
QString tf(const QString &q) { return QStringList{"t", q, "none", " 0"}.join(Sep); }
QString mc(const QString &q) { return QStringList{"m", q, "a", "b", "c", "d", "none", " 3"}.join(Sep); }

// add, typeSwitch, edit, remove, testCommands, list, undo, redo
EditorController::Commands table(bool add, bool edit, bool test, bool list, bool undo, bool redo)
{
    EditorController::Commands c;
    c.add = c.typeSwitch = add;
    c.edit = c.remove = edit;
    c.testCommands = test;
    c.list = list;
    c.undo = undo;
    c.redo = redo;
    return c;
}

class EditorControllerTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    QTemporaryDir dir;
    EditorController editor;

    bool addQuestion(const QString &record) { return editor.add(record); }
    QString writeTest(const QString &name, const QStringList &records)
    {
        const QString path = dir.filePath(name);
        writeBytes(path, testFileBytes("Title", "Class", records));
        return path;
    }
};
}

TEST_F(EditorControllerTest, EditModePathsKeepOrDropTheEditedQuestion)
{
    for (const char *q : {"one", "two", "three", "four"})
        addQuestion(tf(q));
    // Nothing to update or remove in add mode.
    EXPECT_FALSE(editor.update(tf("x")));
    EXPECT_FALSE(editor.remove());

    // Removing question 2 of 4: 1, 3, 4 become 1, 2, 3.
    editor.pick(2);
    ASSERT_TRUE(editor.remove());
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(editor.document().captions(), QStringList({"one", "three", "four"}));
    EXPECT_EQ(editor.document().nextQuestionNumber(), 4);
    EXPECT_EQ(editor.editedNumber(), 0);

    // Picking another question while editing moves the edit there.
    editor.pick(1);
    editor.pick(3);
    ASSERT_TRUE(editor.update(tf("FOUR")));
    EXPECT_EQ(editor.document().captions(), QStringList({"one", "three", "FOUR"}));

    // Undo while editing leaves edit mode, then undoes.
    editor.pick(1);
    ASSERT_TRUE(editor.undo());
    EXPECT_FALSE(editor.isEditing());
    EXPECT_EQ(editor.document().captions(), QStringList({"one", "three", "four"}));
    ASSERT_TRUE(editor.undo());   // the removal: "two" back at 2
    EXPECT_EQ(editor.document().captions(), QStringList({"one", "two", "three", "four"}));
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(editor.document().captions(), QStringList({"one", "three", "four"}));
}

TEST_F(EditorControllerTest, AHundredQuestionsAndNoMore)
{
    for (int i = 1; i <= 99; ++i)
        ASSERT_TRUE(addQuestion(tf(QString::number(i))));
    EXPECT_EQ(editor.document().nextQuestionNumber(), 100);
    EXPECT_TRUE(addQuestion(tf("100")));
    EXPECT_EQ(editor.document().nextQuestionNumber(), 101);
    EXPECT_FALSE(addQuestion(tf("101")));
    EXPECT_EQ(editor.document().questionCount(), 100);
    EXPECT_EQ(editor.undoText(), QStringLiteral("Add Question 100"));
    // Undo frees a place; redo fills it again.
    editor.undo();
    EXPECT_TRUE(editor.add(tf("another 100")));
    EXPECT_FALSE(editor.redo());
    EXPECT_EQ(editor.document().caption(100), QStringLiteral("another 100"));
}

TEST_F(EditorControllerTest, CommandTableAfterNewOpenAddEditRemove)
{
    addQuestion(tf("one"));
    // File > New: the list goes off; leaving edit mode as the test is
    // emptied turns the test commands on, as the quiz player's editor does.
    editor.newTest();
    EXPECT_EQ(editor.commands(), table(true, false, true, false, false, false));
    EXPECT_EQ(editor.document().questionCount(), 0);

    // File > Open: a new test, a new undo history, everything on.
    const QString path = writeTest("open.ard", {tf("a"), mc("b"), tf("c")});
    ASSERT_EQ(editor.open(path, EditorController::OpenOrigin::Menu), QString());
    EXPECT_EQ(editor.document().title(), QStringLiteral("Title"));
    EXPECT_EQ(editor.commands(), table(true, false, true, true, false, false));
    EXPECT_EQ(editor.document().currentFile(), path);
    EXPECT_EQ(QDir(editor.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());

    addQuestion(tf("d"));
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    editor.pick(1);
    EXPECT_EQ(editor.commands(), table(false, true, false, true, true, false));
    editor.update(tf("A"));
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    editor.pick(4);
    editor.remove();
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    editor.undo();
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, true));

    // Every way of opening makes the test's folder the place its media are
    // found; the command line keeps the current file, and the caption (and
    // the file Save writes) is the test's own.
    ASSERT_EQ(editor.open(path, EditorController::OpenOrigin::RecentList), QString());
    EXPECT_FALSE(editor.changes().canUndo());
    const QString other = writeTest("other.ard", {tf("x")});
    ASSERT_EQ(editor.open(other, EditorController::OpenOrigin::CommandLine), QString());
    EXPECT_EQ(editor.document().currentFile(), path);
    EXPECT_EQ(editor.captionName(), QStringLiteral("other.ard"));
    EXPECT_EQ(editor.ownFile(), QFileInfo(other).absoluteFilePath());
    EXPECT_EQ(QDir(editor.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(editor.document().records(), QStringList{tf("x")});

    // An unreadable file leaves everything as it was.
    const QString bad = dir.filePath("bad.ard");
    writeBytes(bad, "no separator here\r\n");
    addQuestion(tf("y"));
    EXPECT_FALSE(editor.open(bad, EditorController::OpenOrigin::Menu).isEmpty());
    EXPECT_EQ(editor.document().questionCount(), 2);
    EXPECT_TRUE(editor.changes().canUndo());
}

// A run of typing in one title line is one step; the other line, a question
// or a save starts a new one; a run back to where it began leaves no step.
TEST_F(EditorControllerTest, TitleLinesAreUndoneRunByRun)
{
    for (const char *typed : {"G", "Ge", "Geo"})
        editor.setTitle(typed);
    editor.setTeacher("7B");
    editor.setTitle("Geog");
    EXPECT_EQ(editor.undoText(), QStringLiteral("Change Title"));
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.document().title(), QStringLiteral("Geo"));
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.document().teacher(), QString());
    ASSERT_TRUE(editor.undo());
    EXPECT_EQ(editor.document().title(), QString());
    EXPECT_FALSE(editor.undo());
    ASSERT_TRUE(editor.redo());
    EXPECT_EQ(editor.document().title(), QStringLiteral("Geo"));

    EditorController fresh;
    fresh.setTitle("x");
    fresh.setTitle("");
    EXPECT_FALSE(fresh.changes().canUndo());
    EXPECT_TRUE(fresh.changes().isClean());
}

// Each operation refreshes the command buttons exactly once and empties the
// entry area at most once, however many steps it takes inside.
TEST_F(EditorControllerTest, EachOperationIsAnnouncedOnce)
{
    const QString path = writeTest("three.ard", {tf("a"), mc("b"), tf("c")});
    using Step = std::function<void(EditorController &)>;
    const Step nothing = [](EditorController &) {};
    const Step editing = [](EditorController &e) { e.pick(2); };
    const Step added = [](EditorController &e) { e.add(tf("d")); };
    struct Case {
        const char *name;
        Step setup;
        Step operation;
        int entryCleared;
    };
    const Case cases[] = {
        {"open", nothing, [&](EditorController &e) { e.open(path, EditorController::OpenOrigin::Menu); }, 1},
        {"open from the command line", nothing,
         [&](EditorController &e) { e.open(path, EditorController::OpenOrigin::CommandLine); }, 1},
        {"new", nothing, [](EditorController &e) { e.newTest(); }, 1},
        {"add", nothing, [](EditorController &e) { e.add(tf("d")); }, 1},
        {"import", nothing, [](EditorController &e) { e.importQuestions({tf("d"), tf("e")}); }, 0},
        {"pick", nothing, [](EditorController &e) { e.pick(2); }, 0},
        {"edit", editing, [](EditorController &e) { e.update(tf("B")); }, 1},
        {"remove", editing, [](EditorController &e) { e.remove(); }, 1},
        {"undo", added, [](EditorController &e) { e.undo(); }, 0},
        {"redo", [](EditorController &e) { e.add(tf("d")); e.undo(); }, [](EditorController &e) { e.redo(); }, 0},
        {"undo while editing", [](EditorController &e) { e.add(tf("d")); e.pick(1); },
         [](EditorController &e) { e.undo(); }, 1},
        {"typing in the title", nothing, [](EditorController &e) { e.setTitle("T"); }, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EditorController e;
        ASSERT_EQ(e.open(path, EditorController::OpenOrigin::Menu), QString());
        c.setup(e);
        QSignalSpy commands(&e, &EditorController::commandsChanged);
        QSignalSpy cleared(&e, &EditorController::entryCleared);
        c.operation(e);
        EXPECT_EQ(commands.count(), 1);
        EXPECT_EQ(cleared.count(), c.entryCleared);
    }
}
