#pragma once
// The editor without its window: the test being edited (through its editing
// layer, with undo and redo), whether a question is being added or edited and
// which one, and which commands are enabled. frmCreate shows this state and
// forwards the user's commands here; the tests drive it without a window.
//
// Which commands are enabled is decided in commands() alone. Two operations
// set the state it reads, and the last one wins, as in the window's state
// operations: setTestCommands (the commands that need a test, and the list)
// and setEditMode (edit mode disables adding and the test commands, leaving
// it enables the test commands again).

#include "document/HeldMedia.h"
#include "app/QuestionType.h"
#include "document/DocumentEditor.h"
#include "document/TestFile.h"

#include <QObject>
#include <QString>
#include <functional>
#include <optional>

class EditorController : public QObject {
    Q_OBJECT

public:
    enum class Mode { Adding, Editing };
    // Where the path of a test to open came from: File > Open and the
    // recent-files list keep the path as the current file, the command line
    // does not. Every one makes the test's folder the place its bare media
    // names are looked for.
    enum class OpenOrigin { Menu, RecentList, CommandLine };

    struct Commands {
        bool add = true;          // "Add This Question"
        bool typeSwitch = true;   // the question type options
        bool edit = false;        // "Save This Question"
        bool remove = false;      // "Remove This Question"
        bool testCommands = false;   // Preview Test, Save Test, Save As, Print, Print to PDF
        bool list = false;        // the question list
        bool undo = false;
        bool redo = false;
        bool operator==(const Commands &o) const
        {
            return add == o.add && typeSwitch == o.typeSwitch && edit == o.edit && remove == o.remove
                && testCommands == o.testCommands && list == o.list && undo == o.undo && redo == o.redo;
        }
    };

    explicit EditorController(QObject *parent = nullptr);

    const TestDocument &document() const { return m_editing.document(); }
    DocumentEditor &editing() { return m_editing; }
    // Where imported media wait until the test is saved beside them.
    HeldMedia &heldMedia() { return m_held; }

    Mode mode() const { return m_mode; }
    bool isEditing() const { return m_mode == Mode::Editing; }
    // The kind of question being entered (the type options). It stays when
    // the test is emptied or another one is opened.
    QuestionType questionType() const { return m_questionType; }
    void setQuestionType(QuestionType type) { m_questionType = type; }
    // The number of the question being edited (1 to N); 0 in add mode.
    int editedNumber() const { return isEditing() ? m_editedNumber : 0; }
    Commands commands() const;

    // The state the window's operations set.
    void setTestCommands(bool on);
    void setEditMode(bool on);
    // Empties the test (the current file and test folder stay), ends the
    // undo history, leaves edit mode and disables the list.
    void clearTest();

    // Adds a question; false when the test already holds 100.
    bool add(const QString &record);
    // Enters edit mode for question `number`.
    void pick(int number);
    // Stores the edited question; false when no question is being edited.
    bool update(const QString &record);
    // Removes the edited question; false when none is being edited.
    bool remove();
    // Back to add mode.
    void leaveEditMode() { setEditMode(false); }

    // Reads the test at `path`; on success the document holds it (the undo
    // history ends) and its title and class/teacher line are returned. On
    // failure the document is untouched and *error says why.
    std::optional<LoadedTest> open(const QString &path, OpenOrigin origin, QString *error);
    // Puts back unsaved work from a recovery copy: the questions and the
    // file they belong to, with an empty undo history and not clean.
    void restoreUnsaved(const QStringList &records, const QString &file, const QString &testFolder = QString());
    // The file the test on screen belongs to: the one last opened or saved,
    // also when the command line named it (which the quiz player's rules do
    // not make the current file); "" for a new test.
    QString workFile() const;
    // Where Save As starts: `workingFolder` and the dialog's own proposed
    // name, except for restored work that belongs to a file, whose folder
    // (when it still exists) and name are proposed until it is saved or
    // replaced.
    struct SaveProposal {
        QString folder;
        QString name;   // "" for the dialog's "untitled.ard"
    };
    SaveProposal saveProposal(const QString &workingFolder) const;

    // Saves as File > Save As does; the undo history stays. After a save the
    // saved file's folder is where the test's media are looked for.
    SaveResult save(const QString &path, const QString &title, const QString &teacher,
                    const std::function<void()> &pumpEvents = {});

    // Undo and redo leave edit mode first (as if the teacher had confirmed
    // leaving it); true when the question list changed.
    bool undo();
    bool redo();

signals:
    void commandsChanged();

private:
    void changed();
    void replaceDocument(const TestDocument &doc, DocumentEditor::Saved saved);
    bool undoOrRedo(bool undo);

    DocumentEditor m_editing;
    Mode m_mode = Mode::Adding;
    QuestionType m_questionType = QuestionType::MultipleChoice;
    int m_editedNumber = 0;
    bool m_testCommands = false;
    bool m_list = false;
    HeldMedia m_held;
    QString m_restoredFile;   // the file of restored work, until saved or replaced
    QString m_commandLineFile;   // the file the command line opened, until replaced
};
