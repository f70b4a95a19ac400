#pragma once
// The editing layer of a TestDocument: it owns the document and its undo
// stack, and every change of the questions goes through it as one undo
// command (add, replace, remove a question). Readers see the document as it
// is; the change signals tell them what changed. The commands themselves
// stay inside this layer: windows call these methods, never QUndoCommand.
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
    bool addQuestion(const QString &record);
    bool replaceQuestion(int number, const QString &record);
    bool removeQuestion(int number);
    // Appends several questions as one step named `text` (an import).
    // False (nothing done) when there are none or they do not all fit.
    bool addQuestions(const QStringList &records, const QString &text);

    // Whether a replaced document is what its file holds (a test was
    // loaded, or New) or unsaved work (a recovery copy put back).
    enum class Saved { Yes, No };
    // Replaces the whole document: the undo history ends here.
    void resetDocument(const TestDocument &doc, Saved saved = Saved::Yes);
    // Changes outside the undo history: the file the test belongs to, and
    // the records as a save rewrote them (media names made relative).
    void setCurrentFile(const QString &path);
    void setTestFolder(const QString &folder);
    TestDocument &documentForSave() { return m_doc; }

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
    // Before the document is replaced, while it still holds the old test.
    void aboutToReset();
    void documentReset();
    // setClean marked the document as saved.
    void cleanStateSet();
    // After any change of the questions (each of the above).
    void questionsChanged();
    // The undo or redo text or availability changed.
    void undoStateChanged();

private:
    // The raw changes the commands make, each with its signals.
    int nextQuestionNumber() const override { return m_doc.nextQuestionNumber(); }
    void insertRecord(int number, const QString &record) override;
    QString exchangeRecord(int number, const QString &record) override;
    QString takeRecord(int number) override;

    TestDocument m_doc;
    QUndoStack m_undo;
};
