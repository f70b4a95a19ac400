#pragma once
// The editor without its window, and the only way from the windows to the
// test: the test being edited (through its editing layer, with undo and
// redo), whether a question is being added or edited and which one, which
// commands are enabled, and the editor's rules that tie them together (what
// Save and Remove act on, leaving edit mode on undo, when the entry area is
// emptied). The windows show this state and forward the teacher's commands
// here; the tests drive it without a window.
//
// Each operation announces its outcome once, when it is over: entryCleared
// when the entry area is to be emptied, captionChanged when the window's
// caption names another file, then commandsChanged. The document's own
// changes (questions, title lines, reset, clean state) come from changes().

#include "document/QuestionKind.h"
#include "document/DocumentEditor.h"
#include "document/HeldMedia.h"
#include "document/RecoverySnapshot.h"
#include "document/TestFile.h"

#include <functional>
#include <QObject>
#include <QString>

class QAction;

class EditorController : public QObject {
    Q_OBJECT

public:
    enum class Mode { Adding, Editing };
    // Where the path of a test to open came from: File > Open and the
    // recent-files list keep the path as the current file and name it in the
    // caption, the command line does neither. Every one makes the test's
    // folder the place its bare media names are looked for.
    enum class OpenOrigin { Menu, RecentList, CommandLine };

    struct Commands {
        bool add = true;          // "Add This Question"
        bool typeSwitch = true;   // the question type options
        bool edit = false;        // "Save This Question", and the edit-mode label
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
    ~EditorController() override;

    const TestDocument &document() const { return m_editing.document(); }
    // Where the document's changes are announced; read-only.
    const DocumentEditor &changes() const { return m_editing; }
    // Where imported media wait until the test is saved beside them.
    HeldMedia &heldMedia() { return m_held; }

    Mode mode() const { return m_mode; }
    bool isEditing() const { return m_mode == Mode::Editing; }
    // The kind of question being entered (the type options). It stays when
    // the test is emptied or another one is opened.
    QuestionKind questionType() const { return m_questionType; }
    void setQuestionType(QuestionKind type) { m_questionType = type; }
    // The number of the question being edited (1 to N); 0 in add mode.
    int editedNumber() const { return isEditing() ? m_editedNumber : 0; }
    Commands commands() const;
    // "Remove Question 3": what the next undo or redo would do ("" for none).
    QString undoText() const { return m_editing.undoText(); }
    QString redoText() const { return m_editing.redoText(); }
    // The file name the window's caption shows ("untitled.ard" at start).
    QString captionName() const { return m_captionName; }

    // File > New: an empty test (the current file and test folder stay, as
    // the quiz player's editor has it); the undo history ends.
    void newTest();
    // Reads the test at `path`; on success the document holds it (the undo
    // history ends) and "" is returned; on failure the document is untouched
    // and the message naming the file and the problem is returned. A test
    // opened without its companion file's descriptions says why in *notice.
    QString open(const QString &path, OpenOrigin origin, QString *notice = nullptr);
    // File > Open names the chosen file as the current one before reading it
    // (a cancelled dialog names none).
    void chooseFileToOpen(const QString &path);
    // Puts back unsaved work from a recovery copy: the test and the file it
    // belongs to, with an empty undo history and not clean. The entry area is
    // the window's to restore.
    void restoreUnsaved(const EditorSnapshot &work);

    // The title and class/teacher line as typed (a run of typing is one step).
    void setTitle(const QString &title);
    void setTeacher(const QString &teacher);
    // The language the test is written in, as a language tag ("" for none).
    void setLanguage(const QString &language);
    // Each student of a web quiz, package or live class in an order of
    // their own (kept in the companion file); one undo step.
    void setShuffle(bool shuffle);

    // Adds a question with the description of its media; false when the
    // test already holds 100.
    bool add(const QString &record, const QString &description = QString());
    // Appends imported questions as one step; what is being typed stays.
    bool importQuestions(const QStringList &records, const QStringList &descriptions = QStringList());
    // Enters edit mode for question `number`.
    void pick(int number);
    // Stores the edited question and goes back to adding; false when no
    // question is being edited.
    bool update(const QString &record, const QString &description = QString());
    // Removes the edited question and goes back to adding; false when none
    // is being edited.
    // Edit > Move Up / Move Down (steps -1, +1) and Duplicate on the
    // question being edited: one undo step each; edit mode ends.
    bool move(int steps);
    bool duplicate();
    bool remove();
    // Back to adding, dropping what was typed into the edited question.
    void leaveEditMode();

    // Undo and redo leave edit mode first (as if the teacher had confirmed
    // leaving it); false when there was nothing to undo or redo.
    bool undo();
    bool redo();
    // Edit > Undo and Redo: their texts name the step, they are enabled while
    // there is one, and they undo through the rules above.
    QAction *createUndoAction(QObject *parent);
    QAction *createRedoAction(QObject *parent);

    // The file the test on screen belongs to: the one last opened or saved,
    // also when the command line named it (which the quiz player's rules do
    // not make the current file); "" for a new test.
    QString workFile() const;
    // The whole test and the given entry area, as a recovery copy keeps them.
    EditorSnapshot snapshot(const EntryArea &entry) const;
    // The test's own file, which File > Save writes without asking: the one
    // it was opened from (by a menu or the command line), last saved to, or
    // that restored work belongs to; "" for a new or imported test.
    QString ownFile() const { return m_ownFile; }
    // Whether the test has changes its file lacks (the title bar's mark).
    bool hasUnsavedChanges() const { return !m_editing.isClean(); }
    // Where Save Test and Save As start: the test's own folder and name;
    // for a test without a file, the folder of the test last opened or
    // saved (else `workingFolder`) and the dialog's own proposed name.
    struct SaveProposal {
        QString folder;
        QString name;   // "" for the dialog's "untitled.ard"
    };
    SaveProposal saveProposal(const QString &workingFolder) const;
    // Saves as File > Save As does; the undo history stays. After a save the
    // saved file's folder is where the test's media are looked for, and the
    // caption names it.
    SaveResult save(const QString &path, const SaveOptions &options = {});

signals:
    void entryCleared();
    void captionChanged();
    void commandsChanged();

private:
    class Operation;
    void replaceDocument(const TestDocument &doc, DocumentEditor::Saved saved);
    void setEditMode(bool on);
    void clearEntry() { m_entryToClear = true; }
    void setCaptionName(const QString &name);
    bool changeEdited(const std::function<bool(int number)> &change);
    bool undoOrRedo(bool undo);
    QAction *createStepAction(QObject *parent, bool undo);

    DocumentEditor m_editing;
    Mode m_mode = Mode::Adding;
    QuestionKind m_questionType = QuestionKind::MultipleChoice;
    int m_editedNumber = 0;
    bool m_testCommands = false;
    bool m_list = false;
    HeldMedia m_held;
    QString m_restoredFile;      // the file of restored work, until saved or replaced
    QString m_commandLineFile;   // the file the command line opened, until replaced
    QString m_ownFile;           // see ownFile()
    QString m_lastFolder;        // of the test last opened or saved
    QString m_captionName;
    // What the operation under way has to announce when it is over.
    int m_depth = 0;
    bool m_commandsToAnnounce = false;
    bool m_entryToClear = false;
    bool m_captionToAnnounce = false;
};
