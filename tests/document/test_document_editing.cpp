// The typed view of a record and the editing layer: records survive byte for
// byte, every edit is undone and redone exactly (also across a save), and
// clean is what was loaded or saved.
#include "TestDoubles.h"
#include "document/DocumentEditor.h"
#include "document/QuestionView.h"
#include "document/TestFile.h"
#include "TestFiles.h"
#include "MediaBytes.h"

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {
const QString Sep(QChar(0xA9));
QString mc(const QString &q, const QString &media = QStringLiteral("none"))
{
    return record({"m", q, "a", "b", "c", "d", media, " 2"});
}
QString tf(const QString &q) { return record({"t", q, "none", " 1"}); }
}

TEST(QuestionView, WritesBackEveryRecordExactly)
{
    // Unknown kinds, missing and extra fields, a typed separator, blanks and
    // line breaks: unchanged through the view.
    for (const QString &r : {QString(), QStringLiteral("no separator"), record({"x", "odd", "none", " 0"}),
                             record({"m", "seven", "a", "b", "c", "d", "none"}),
                             record({"t", "extra", "none", " 0", "", "more"}),
                             record({"  t ", " q\r\nline ", "", "1"}), mc("a" + Sep + "b")}) {
        EXPECT_EQ(QuestionView(r).record(), r);
    }
    QuestionView v(record({"t", "q", "none", " 0", "kept"}));
    v.setMedia(QStringLiteral("pic.bmp"));
    v.setRightAnswer(1);
    EXPECT_EQ(v.record(), record({"t", "q", "pic.bmp", " 1", "kept"}));
    QuestionView m(mc("q"));
    m.setAnswer(3, QStringLiteral("D!"));
    m.setKindField(QStringLiteral("m  4"));
    EXPECT_EQ(m.record(), record({"m  4", "q", "a", "b", "c", "D!", "none", " 2"}));
}

TEST(TestDocument, KeepsRecordsPrivateAndInsertsAtANumber)
{
    TestDocument doc;
    EXPECT_EQ(doc.nextQuestionNumber(), 1);
    EXPECT_EQ(doc.record(1), QString());
    ASSERT_TRUE(doc.append(mc("one")));
    ASSERT_TRUE(doc.append(mc("three")));
    ASSERT_TRUE(doc.insert(2, tf("two")));
    EXPECT_EQ(doc.captions(), QStringList({"one", "two", "three"}));
    EXPECT_FALSE(doc.insert(5, tf("gap")));
    EXPECT_EQ(doc.replace(2, tf("TWO")), tf("two"));
    EXPECT_EQ(doc.remove(1), mc("one"));
    EXPECT_EQ(doc.nextQuestionNumber(), 3);
    EXPECT_EQ(doc.question(1).question(), QStringLiteral("TWO"));
}

class DocumentEditorTest : public ::testing::Test {
protected:
    ScopedPlatform platform;
    DocumentEditor editor;
    QStringList records() const { return editor.document().records(); }
};

TEST_F(DocumentEditorTest, EveryEditIsUndoneAndRedoneExactly)
{
    QSignalSpy changed(&editor, &DocumentEditor::testChanged);
    const QString odd = record({"x", "odd kind", "none", " 0", "", "extra"});
    // Each question's media description goes with it through every step.
    const auto descriptions = [&] { return editor.document().descriptions(); };
    ASSERT_TRUE(editor.addQuestion(mc("one"), "first"));
    ASSERT_TRUE(editor.addQuestion(odd, "odd"));
    ASSERT_TRUE(editor.addQuestion(tf("three")));
    ASSERT_TRUE(editor.replaceQuestion(1, record({"m  1", "ONE", "a", "b", "c", "d", "none", " 0"}), "FIRST"));
    ASSERT_TRUE(editor.removeQuestion(2));
    EXPECT_EQ(changed.count(), 5);
    const QStringList end = records();
    EXPECT_EQ(end, QStringList({record({"m  1", "ONE", "a", "b", "c", "d", "none", " 0"}), tf("three")}));
    EXPECT_EQ(descriptions(), QStringList({"FIRST", ""}));

    // Back step by step, each state exact; the removal comes back at its number.
    EXPECT_EQ(editor.undoText(), QStringLiteral("Remove Question 2"));
    editor.undo();
    EXPECT_EQ(records(), QStringList({record({"m  1", "ONE", "a", "b", "c", "d", "none", " 0"}), odd, tf("three")}));
    EXPECT_EQ(descriptions(), QStringList({"FIRST", "odd", ""}));
    EXPECT_EQ(editor.undoText(), QStringLiteral("Edit Question 1"));
    editor.undo();
    EXPECT_EQ(records(), QStringList({mc("one"), odd, tf("three")}));
    EXPECT_EQ(descriptions(), QStringList({"first", "odd", ""}));
    EXPECT_EQ(editor.document().caption(1), QStringLiteral("one"));
    editor.undo();
    editor.undo();
    EXPECT_EQ(editor.undoText(), QStringLiteral("Add Question 1"));
    editor.undo();
    EXPECT_TRUE(records().isEmpty());
    EXPECT_FALSE(editor.canUndo());
    EXPECT_EQ(editor.redoText(), QStringLiteral("Add Question 1"));

    for (int i = 0; i < 5; ++i)
        editor.redo();
    EXPECT_EQ(records(), end);
    EXPECT_EQ(descriptions(), QStringList({"FIRST", ""}));
    EXPECT_FALSE(editor.canRedo());
    // Out of range or full: refused without an undo step.
    EXPECT_FALSE(editor.removeQuestion(3));
    EXPECT_FALSE(editor.replaceQuestion(0, tf("x"), QString()));
    EXPECT_EQ(editor.undoCount(), 5);

    // The test's language is a step of its own, typed as a run.
    editor.setTitleLine(TitleLine::Language, "f");
    editor.setTitleLine(TitleLine::Language, "fr");
    EXPECT_EQ(editor.undoText(), QStringLiteral("Change Test Language"));
    EXPECT_EQ(editor.document().companion().language, QStringLiteral("fr"));
    editor.undo();
    EXPECT_EQ(editor.document().language(), QString());
}

// Move Up, Move Down and Duplicate: one undo step each, descriptions
// travelling with their questions.
TEST_F(DocumentEditorTest, QuestionsMoveAndDuplicateAsOneStepEach)
{
    ASSERT_TRUE(editor.addQuestion(mc("one"), "d1"));
    ASSERT_TRUE(editor.addQuestion(tf("two")));
    ASSERT_TRUE(editor.addQuestion(mc("three"), "d3"));
    const QStringList start = records();
    ASSERT_TRUE(editor.moveQuestion(3, 2));   // three up
    EXPECT_EQ(records(), QStringList({mc("one"), mc("three"), tf("two")}));
    EXPECT_EQ(editor.document().descriptions(), QStringList({"d1", "d3", ""}));
    EXPECT_EQ(editor.undoText(), QStringLiteral("Move Question 3"));
    ASSERT_TRUE(editor.moveQuestion(1, 2));   // one down
    EXPECT_EQ(records(), QStringList({mc("three"), mc("one"), tf("two")}));
    ASSERT_TRUE(editor.duplicateQuestion(1));
    EXPECT_EQ(records(), QStringList({mc("three"), mc("three"), mc("one"), tf("two")}));
    EXPECT_EQ(editor.document().descriptions(), QStringList({"d3", "d3", "d1", ""}));
    editor.undo();
    editor.undo();
    editor.undo();
    EXPECT_EQ(records(), start);
    EXPECT_EQ(editor.document().descriptions(), QStringList({"d1", "", "d3"}));
    // Nowhere to go, or no room: refused without a step.
    const int steps = editor.undoCount();
    EXPECT_FALSE(editor.moveQuestion(1, 0));
    EXPECT_FALSE(editor.moveQuestion(3, 4));
    EXPECT_FALSE(editor.moveQuestion(2, 2));
    EXPECT_EQ(editor.undoCount(), steps);
    for (int i = 3; i < TestDocument::MaxQuestions; ++i)
        ASSERT_TRUE(editor.addQuestion(tf("more")));
    const int full = editor.undoCount();
    EXPECT_FALSE(editor.duplicateQuestion(1));
    EXPECT_EQ(editor.undoCount(), full);
}

TEST_F(DocumentEditorTest, UndoAfterASaveRestoresTheSavedBytes)
{
    QTemporaryDir dir;
    const QString media = dir.filePath("media/pic.bmp");
    QDir().mkpath(dir.filePath("media"));
    writeBytes(media, mediaBytes("pic.bmp"));
    const auto save = [&](const QString &path) {
        const SaveResult r = SaveTest(editor.document(), path);
        if (r.saved())
            editor.markSaved(path, r.records);
        return r.saved();
    };
    editor.setTitleLine(TitleLine::Title, "Title");
    editor.setTitleLine(TitleLine::Teacher, "Class");
    editor.addQuestion(tf("keep"));
    editor.addQuestion(mc("with picture", media));
    editor.addQuestion(tf("drop"));
    editor.removeQuestion(3);
    const QString test = dir.filePath("t.ard");
    ASSERT_TRUE(save(test));
    const QByteArray saved = readBytes(test);
    // The save made the media name relative; undo and redo keep that.
    EXPECT_EQ(editor.document().question(2).media(), QStringLiteral("pic.bmp"));

    editor.undo();   // the removal
    editor.undo();   // adding "drop"
    editor.undo();   // adding the question with the picture
    EXPECT_EQ(editor.document().questionCount(), 1);
    editor.redo();
    editor.redo();
    editor.redo();
    const QString again = dir.filePath("again.ard");
    ASSERT_TRUE(save(again));
    EXPECT_EQ(readBytes(again), saved);
}

TEST_F(DocumentEditorTest, CleanIsWhatWasLoadedOrSaved)
{
    TestDocument loaded;
    loaded.append(tf("one"));
    editor.resetDocument(loaded);
    EXPECT_TRUE(editor.isClean());
    editor.addQuestion(tf("two"));
    EXPECT_FALSE(editor.isClean());
    editor.undo();
    EXPECT_TRUE(editor.isClean());

    QSignalSpy saved(&editor, &DocumentEditor::cleanStateSet);
    editor.redo();
    // A save renames the media it took along: the document takes the saved
    // records and the file, outside the history.
    QSignalSpy renamed(&editor, &DocumentEditor::questionReplaced);
    editor.markSaved(QStringLiteral("/tests/quiz.ard"), {tf("one"), tf("TWO")});
    EXPECT_EQ(saved.count(), 1);
    EXPECT_EQ(renamed.count(), 1);
    EXPECT_EQ(editor.document().caption(2), QStringLiteral("TWO"));
    EXPECT_EQ(editor.document().testFolder(), QStringLiteral("/tests/"));
    EXPECT_TRUE(editor.isClean());
    EXPECT_EQ(editor.undoText(), QStringLiteral("Add Question 2"));
    editor.undo();
    EXPECT_FALSE(editor.isClean());

    // Unsaved work put back: nothing to undo, and not clean until saved.
    editor.resetDocument(loaded, DocumentEditor::Saved::No);
    EXPECT_FALSE(editor.canUndo());
    EXPECT_FALSE(editor.isClean());
}
