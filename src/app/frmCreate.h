#pragma once
// The editor window: the teacher types a test's title and class/teacher line,
// enters questions one at a time (multiple choice or true/false, each with an
// optional media file previewed in the panel beside it), edits or removes the
// questions already added, and saves, opens, previews and prints tests.
//
// Controls keep the names the rest of the program and its tests address them
// by (objectName; array elements as name_index). Handlers carry the names of
// the control and event they serve. The test, the mode and which commands are
// enabled live in the EditorController; the window shows them.

#include "app/EditorController.h"
#include "app/QuestionEntryPanel.h"
#include "document/RecentFiles.h"
#include "document/TestDocument.h"

#include <QMainWindow>
#include <QPointer>

class DefaultButtonKeys;
class EditorMenus;
class FileCommands;
class MediaChoice;
class QuestionExchangeMenu;
class MediaPreviewPanel;
class QuestionListPanel;
class TestTitlePanel;
class QLabel;
class QLineEdit;
class QPushButton;

class frmCreate : public QMainWindow {
    Q_OBJECT

public:
    explicit frmCreate(QWidget *parent = nullptr);
    ~frmCreate() override;

    // The editor window of this process (nullptr before it exists).

    const TestDocument &document() const { return m_controller.document(); }
    EditorController &controller() { return m_controller; }
    const EditorController &controller() const { return m_controller; }
    const RecentFiles &recentFiles() const;

    // Edit mode: the edit-mode label is shown exactly while it is on.
    bool isEditMode() const;

    // --- Editor state operations ---
    void ClearTest();
    void ShowLoadedTest(const QString &title, const QString &teacher);
    void EnableQuestionCommands(bool on);
    void ClearEntry();
    void SetEditMode(bool on);
    void RefreshList();
    void ClearMedia();

    // --- Start and end ---
    // Reads the recent-files list and prepares an empty test (the window is
    // shown by the start-up routine).
    void Form_Load();
    // Closing the window in any way: stop media, write the recent files,
    // close every other window and end the program.
    void Form_Unload();
    // The start-up routine's "ard" branch: load the test without touching the
    // caption, CurrentFile or the recent files. A missing file is ignored; an
    // unreadable one is reported.
    void loadFromCommandLine(const QString &path);

public slots:
    // File menu and the test buttons
    void mnuFileNew_Click();
    void mnuFileOpen_Click();
    void mnuFileSaveas_Click();
    void cmdOkay_Click();
    void mnuFileExit_Click();
    void cmdCancel_Click();
    void mnuRecent_Click(int index);
    void cmdPreview_Click();
    void mnuFilePrint_Click();
    void mnuFilePrintPdf_Click();

    // Edit menu: undo and redo of adding, editing and removing questions
    void mnuEditUndo_Click();
    void mnuEditRedo_Click();

    // Question entry
    void optType_Click(int index);
    void cmdAdd_Click();

    // Question list and edit mode
    void cboExist_Click(int listIndex);
    void cmdEdit_Click();
    void cmdRemove_Click();
    void lblEditMode_Click();

    // Media panel
    void cmdMpic_Click();
    void cmdPic_Click();
    void cmdMRemove_Click();
    void cmdTRemove_Click();
    void txtMpic_Change();
    void txtTFpic_Change();
    void cmdPlaywav_Click();

public:
    bool AddMultipleChoice();
    bool AddTrueFalse();
    bool LoadMultipleChoice(const QString &record);
    bool LoadTrueFalse(const QString &record);
    bool UpdateMultipleChoice(int position);
    bool UpdateTrueFalse(int position);
    void PickMediaFile(QLineEdit *mediaBox);
    void ShowMediaPreview(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void appendImportedQuestions(const QStringList &records);
    void buildControls();
    void buildMenus();
    void applyCommands();
    void showClearedTest();
    void showUndoneQuestions();
    void undoOrRedo(bool undo);
    void setListText(const QString &text);
    void showOpenedTest(const QString &title, const QString &teacher, EditorController::OpenOrigin origin,
                        const QString &path);
    void focusQuestionPicker();   // the list, or the question box when it is empty
    void showQuestionFrame(QuestionType type);
    bool addEnteredQuestion(QuestionType type);
    bool loadQuestion(QuestionType type, const QString &record);
    bool updateEditedQuestion(QuestionType type, int position);

    EditorController m_controller;
    bool m_unloaded = false;

    // Test title and commands
    TestTitlePanel *m_title = nullptr;
    QPushButton *cmdOkay = nullptr;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Question entry
    QuestionEntryPanel *m_entry = nullptr;
    QLabel *lblNumber = nullptr;
    QPushButton *cmdAdd = nullptr;
    DefaultButtonKeys *m_keys = nullptr;

    // Question list and edit mode
    QuestionListPanel *m_list = nullptr;

    // Media panel
    MediaPreviewPanel *m_media = nullptr;
    MediaChoice *m_mediaChoice = nullptr;

    // Menus and the file commands
    EditorMenus *m_menus = nullptr;
    FileCommands *m_files = nullptr;
    QuestionExchangeMenu *m_exchange = nullptr;   // File > Import Questions... / Export As...
};
