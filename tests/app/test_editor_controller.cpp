// The editor's state without a window: adding, editing and removing through
// the controller, the 100-question limit, opening and saving, undo and redo,
// and the table of enabled commands after each step.
#include "TestDoubles.h"
#include "app/EditorController.h"
#include "document/TestFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
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

    // What the window does for "Add This Question".
    bool addQuestion(const QString &record)
    {
        if (!editor.add(record))
            return false;
        editor.setTestCommands(true);
        return true;
    }
    QString writeTest(const QString &name, const QStringList &records)
    {
        const QString path = dir.filePath(name);
        QFile f(path);
        f.open(QIODevice::WriteOnly);
        f.write(testFileBytes("Title", "Class", records));
        return path;
    }
};
}

TEST_F(EditorControllerTest, TypicalRoadFromAnEmptyTestToASavedOne)
{
    EXPECT_EQ(editor.commands(), table(true, false, false, false, false, false));   // fresh
    ASSERT_TRUE(addQuestion(mc("Capital of France?")));
    ASSERT_TRUE(addQuestion(tf("The sky is blue.")));
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    EXPECT_EQ(editor.document().nextQuestionNumber(), 3);

    editor.pick(2);
    EXPECT_TRUE(editor.isEditing());
    EXPECT_EQ(editor.editedNumber(), 2);
    EXPECT_EQ(editor.commands(), table(false, true, false, true, true, false));
    ASSERT_TRUE(editor.update(QStringList{"t  2", "The sky is green.", "none", " 1"}.join(Sep)));
    editor.leaveEditMode();
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    EXPECT_EQ(editor.document().caption(2), QStringLiteral("The sky is green."));

    const QString path = dir.filePath("road.ard");
    ASSERT_TRUE(editor.save(path, "Geography", "Class 2").saved());
    EXPECT_EQ(editor.document().currentFile(), path);
    TestDocument reread;
    ASSERT_TRUE(LoadTest(reread, path).test);
    EXPECT_EQ(reread.records(), editor.document().records());
    // The undo history outlives the save.
    EXPECT_EQ(editor.editing().undoText(), QStringLiteral("Edit Question 2"));
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
    editor.leaveEditMode();
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
    EXPECT_EQ(editor.editing().undoText(), QStringLiteral("Add Question 100"));
    // Undo frees a place; redo fills it again.
    editor.undo();
    EXPECT_TRUE(editor.add(tf("another 100")));
    EXPECT_FALSE(editor.redo());
    EXPECT_EQ(editor.document().caption(100), QStringLiteral("another 100"));
}

TEST_F(EditorControllerTest, CommandTableAfterNewOpenAddEditRemove)
{
    addQuestion(tf("one"));
    // File > New: the test commands go off, the list goes off, and clearing
    // the test leaves edit mode, which turns the test commands on again.
    editor.setTestCommands(false);
    editor.clearTest();
    EXPECT_EQ(editor.commands(), table(true, false, true, false, false, false));
    EXPECT_EQ(editor.document().questionCount(), 0);

    // File > Open: a new test, a new undo history, everything on.
    const QString path = writeTest("open.ard", {tf("a"), mc("b"), tf("c")});
    QString error;
    const auto loaded = editor.open(path, EditorController::OpenOrigin::Menu, &error);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->title, QStringLiteral("Title"));
    editor.setTestCommands(true);
    EXPECT_EQ(editor.commands(), table(true, false, true, true, false, false));
    EXPECT_EQ(editor.document().currentFile(), path);
    EXPECT_EQ(QDir(editor.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());

    addQuestion(tf("d"));
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    editor.pick(1);
    EXPECT_EQ(editor.commands(), table(false, true, false, true, true, false));
    editor.update(tf("A"));
    editor.leaveEditMode();
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    editor.pick(4);
    editor.remove();
    editor.leaveEditMode();
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, false));
    editor.undo();
    EXPECT_EQ(editor.commands(), table(true, false, true, true, true, true));

    // Every way of opening makes the test's folder the place its media are
    // found; the command line keeps the current file.
    editor.editing().setTestFolder(QStringLiteral("/elsewhere/"));
    ASSERT_TRUE(editor.open(path, EditorController::OpenOrigin::RecentList, &error));
    EXPECT_FALSE(editor.editing().canUndo());
    EXPECT_EQ(QDir(editor.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
    const QString other = writeTest("other.ard", {tf("x")});
    editor.editing().setTestFolder(QStringLiteral("/elsewhere/"));
    ASSERT_TRUE(editor.open(other, EditorController::OpenOrigin::CommandLine, &error));
    EXPECT_EQ(editor.document().currentFile(), path);
    EXPECT_EQ(QDir(editor.document().testFolder()).canonicalPath(), QDir(dir.path()).canonicalPath());
    EXPECT_EQ(editor.document().records(), QStringList{tf("x")});

    // An unreadable file leaves everything as it was.
    const QString bad = dir.filePath("bad.ard");
    QFile f(bad);
    f.open(QIODevice::WriteOnly);
    f.write("no separator here\r\n");
    f.close();
    addQuestion(tf("y"));
    EXPECT_FALSE(editor.open(bad, EditorController::OpenOrigin::Menu, &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(editor.document().questionCount(), 2);
    EXPECT_TRUE(editor.editing().canUndo());
}
