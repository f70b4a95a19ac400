#pragma once
// The editing layer of a TestDocument and the one place that announces its
// changes: it owns the document and its undo stack, and every change of the
// test goes through it as one undo command (add, replace, remove a question;
// a run of typing in the title or class/teacher line). Readers see the
// document as it is; each change is announced once, by the signal that names
// it, and then by testChanged. The commands themselves stay inside this
// layer: callers use these methods, never QUndoCommand.
//
// Loading another test or starting a new one replaces the document and
// clears the undo stack; saving does not, so an edit can be undone after it
// was saved.

#include "document/QuestionEdits.h"
#include "document/TestDocument.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

class DocumentEditor : public QObject, private QuestionEdits {
    Q_OBJECT

public:
    explicit DocumentEditor(QObject *parent = nullptr);
    ~DocumentEditor() override;

    const TestDocument &document() const { return m_doc; }

    // The questions, each one undoable step. False (nothing done) when the
    // test is full or the number is out of range.
    // A question comes with the description of its media ("" for none).
    bool addQuestion(const QString &record, const QString &description = QString());
    bool replaceQuestion(int number, const QString &record, const QString &description);
    bool removeQuestion(int number);
    // Question `from` taken to number `to`, the ones between shifting; one
    // undo step. False for numbers the test does not hold.
    bool moveQuestion(int from, int to);
    // A copy of question `number` right after it; false when the test is full.
    bool duplicateQuestion(int number);
    // Appends several questions as one step named `text` (an import), with
    // their descriptions (as many as the records, or none).
    // False (nothing done) when there are none or they do not all fit.
    bool addQuestions(const QStringList &records, const QString &text,
                      const QStringList &descriptions = QStringList());
    // The title, class/teacher line or language as typed; a run of typing in
    // one line is one step. Nothing happens when the text is what the test holds.
    void setTitleLine(TitleLine line, const QString &text);

    // Whether a replaced document is what its file holds (a test was
    // loaded, or New) or unsaved work (a recovery copy put back).
    enum class Saved { Yes, No };
    // Replaces the whole document: the undo history ends here.
    void resetDocument(const TestDocument &doc, Saved saved = Saved::Yes);
    // Changes outside the undo history: the file the test belongs to, and
    // where the media it holds wait.
    void setCurrentFile(const QString &path);
    void setTestFolder(const QString &folder);
    void setHeldMediaRoot(const QString &root) { m_doc.setHeldMediaRoot(root); }
    // The test was saved to `path` as `records` (its media named by their
    // copies beside it): the document takes them, belongs to that file and
    // is clean. The undo history stays.
    void markSaved(const QString &path, const QStringList &records);

    bool canUndo() const { return m_undo.canUndo(); }
    bool canRedo() const { return m_undo.canRedo(); }
    // "Remove Question 3": what the next undo or redo would do ("" for none).
    QString undoText() const { return m_undo.undoText(); }
    QString redoText() const { return m_undo.redoText(); }
    void undo() { m_undo.undo(); }
    void redo() { m_undo.redo(); }
    int undoCount() const { return m_undo.count(); }

    // Clean: the questions are as last loaded or saved (undoing back to that
    // point makes them clean again). A reset is clean unless it says
    // Saved::No; setClean marks a save.
    bool isClean() const { return m_undo.isClean(); }
    void setClean();

signals:
    void questionInserted(int number);
    void questionReplaced(int number);
    void questionRemoved(int number);
    // The title or the class/teacher line changed.
    void titleChanged();
    // Before the document is replaced, while it still holds the old test.
    void aboutToReset();
    void documentReset();
    // markSaved marked the document as saved.
    void cleanStateSet();
    // After any change of the test (each of the above but the clean state).
    void testChanged();
    // The undo or redo text or availability changed (once per step done,
    // undone or redone, and when the history ends).
    void undoStateChanged();

private:
    // The raw changes the commands make, each with its signals.
    int nextQuestionNumber() const override { return m_doc.nextQuestionNumber(); }
    void insertQuestion(int number, const StoredQuestion &question) override;
    StoredQuestion exchangeQuestion(int number, const StoredQuestion &question) override;
    StoredQuestion takeQuestion(int number) override;
    QString titleLine(TitleLine line) const override;
    QString exchangeTitleLine(TitleLine line, const QString &text) override;

    TestDocument m_doc;
    QUndoStack m_undo;
};
