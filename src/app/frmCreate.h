#pragma once
// The editor window: the teacher types a test's title and class/teacher line,
// enters questions one at a time (multiple choice or true/false, each with an
// optional media file previewed in the panel beside it), edits or removes the
// questions already added, and saves, opens, previews and prints tests.
//
// The window builds the panels and wires them to the EditorController, which
// holds the test, the mode, the rules and which commands are enabled; the
// window shows what the controller announces. Controls keep the names the
// rest of the program and its tests address them by (objectName; array
// elements as name_index). Handlers carry the names of the control and event
// they serve.

#include "app/EditorController.h"
#include "document/RecentFiles.h"
#include "document/RecoverySnapshot.h"
#include "document/TestDocument.h"

#include <QMainWindow>

class DefaultButtonKeys;
class EditorMenus;
class FileCommands;
class MediaChoice;
class MediaPreviewPanel;
class QuestionEntryFlow;
class QuestionEntryPanel;
class QuestionExchangeMenu;
class QuestionListPanel;
class TestTitlePanel;
class QLabel;
class QPushButton;

class frmCreate : public QMainWindow {
    Q_OBJECT

public:
    explicit frmCreate(QWidget *parent = nullptr);
    ~frmCreate() override;

    const TestDocument &document() const { return m_controller.document(); }
    EditorController &controller() { return m_controller; }
    const EditorController &controller() const { return m_controller; }
    const RecentFiles &recentFiles() const;
    // Edit mode: the edit-mode label is shown exactly while it is on.
    bool isEditMode() const { return m_controller.isEditing(); }

    // What a recovery copy keeps: the test and the entry area as typed; and
    // the same put back into an editor that has just started, including a
    // question being edited.
    EditorSnapshot unsavedWork() const;
    void restoreUnsavedWork(const EditorSnapshot &work);

    // --- What the window shows of the controller's state ---
    void ClearEntry();
    void RefreshList();
    void ClearMedia();

    // --- Start and end ---
    // Reads the recent-files list and shows the multiple-choice frame (the
    // window is shown by the start-up routine).
    void Form_Load();
    // Closing the window in any way: stop media, write the recent files,
    // close every other window and end the program.
    void Form_Unload();
    // The start-up routine's "ard" branch: load the test without touching the
    // caption, CurrentFile or the recent files. A missing file is ignored; an
    // unreadable one is reported.
    void loadFromCommandLine(const QString &path);

signals:
    // Something typed or chosen in the entry area changed.
    void entryEdited();

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
    void PickMediaFile(QuestionKind frame);
    void ShowMediaPreview(const QString &path);

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void applyCommands();
    void setListText(const QString &text);

    EditorController m_controller;
    bool m_unloaded = false;

    TestTitlePanel *m_title = nullptr;
    QPushButton *cmdOkay = nullptr;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdCancel = nullptr;
    QuestionEntryPanel *m_entry = nullptr;
    QLabel *lblNumber = nullptr;
    QPushButton *cmdAdd = nullptr;
    DefaultButtonKeys *m_keys = nullptr;
    QuestionListPanel *m_list = nullptr;
    MediaPreviewPanel *m_media = nullptr;
    MediaChoice *m_mediaChoice = nullptr;
    QuestionEntryFlow *m_flow = nullptr;
    EditorMenus *m_menus = nullptr;
    FileCommands *m_files = nullptr;
    QuestionExchangeMenu *m_exchange = nullptr;   // File > Import Questions... / Export As...
};
