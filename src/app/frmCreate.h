#pragma once
// The editor window: the teacher types a test's title and class/teacher line,
// enters questions one at a time (multiple choice or true/false, each with an
// optional media file previewed in the panel beside it), edits or removes the
// questions already added, and saves, opens, previews and prints tests.
//
// Controls keep the names the rest of the program and its tests address them
// by (objectName; array elements as name_index). Handlers carry the names of
// the control and event they serve. The window owns the one TestDocument.

#include "document/RecentFiles.h"
#include "document/TestDocument.h"

#include <QMainWindow>
#include <QPointer>

class PictureBox;
class QAction;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;

class frmCreate : public QMainWindow {
    Q_OBJECT

public:
    explicit frmCreate(QWidget *parent = nullptr);
    ~frmCreate() override;

    // The editor window of this process (nullptr before it exists).
    static frmCreate *instance();

    TestDocument &document() { return m_doc; }
    const TestDocument &document() const { return m_doc; }
    const RecentFiles &recentFiles() const { return m_recent; }

    // The media file last shown in the panel; the play button plays it again.
    QString PreviewMediaPath;

    // Edit mode is on exactly while the edit-mode label is shown.
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

    // --- Recent files ---
    void AddToRecentFiles(const QString &path);

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
    bool AddMultipleChoice();
    bool AddTrueFalse();
    bool LoadMultipleChoice(const QString &record);
    bool LoadTrueFalse(const QString &record);
    bool UpdateMultipleChoice(int position);
    bool UpdateTrueFalse(int position);
    void PickMediaFile(QLineEdit *mediaBox);
    void ShowMediaPreview(const QString &path);
    void ShowThumbnail();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void buildMenus();
    void setTestCommandsEnabled(bool on);   // Preview, Save Test, Save As, Print
    void setListText(const QString &text);
    void fitListPopup();
    void focusQuestionPicker();   // the list, or the question box when it is empty
    void showRecentEntries();
    void pressDefaultButton();
    static QString multiLineText(const QPlainTextEdit *box);
    void showQuestionFrame(int typeIndex);
    static bool enteredQuestion(const QPlainTextEdit *box, QString &question);
    bool enteredAnswers(QString (&answers)[4]) const;
    static QString enteredMedia(const QLineEdit *box);
    int enteredCorrectAnswer() const;
    static void setMultiLineText(QPlainTextEdit *box, const QString &text);
    static void setBoxText(QLineEdit *box, const QString &text, int maxLength);

    TestDocument m_doc;
    RecentFiles m_recent;
    QString m_imgHidePath;   // the picture loaded into imgHide
    bool m_unloaded = false;

    // Test title and commands
    QLabel *lblTitle[3] = {};
    QLineEdit *txtTitle = nullptr;
    QLineEdit *txtTeacher = nullptr;
    QPushButton *cmdOkay = nullptr;
    QPushButton *cmdPreview = nullptr;
    QPushButton *cmdCancel = nullptr;

    // Question entry
    QLabel *lblNumber = nullptr;
    QPushButton *cmdAdd = nullptr;
    QGroupBox *grpType = nullptr;
    QRadioButton *optType[2] = {};
    QGroupBox *grpMultiple = nullptr;
    QLabel *lblMultipleQuestion[6] = {};
    QPlainTextEdit *txtMQuestion = nullptr;
    QRadioButton *optABCD[4] = {};
    QLineEdit *txtManswer[4] = {};
    QLineEdit *txtMpic = nullptr;
    QPushButton *cmdMpic = nullptr;
    QPushButton *cmdMRemove = nullptr;
    QGroupBox *grpTrueFalse = nullptr;
    QLabel *lblTrueQuestion[3] = {};
    QPlainTextEdit *txtTFquestion = nullptr;
    QRadioButton *optTrueAnswer[2] = {};
    QLineEdit *txtTFpic = nullptr;
    QPushButton *cmdPic = nullptr;
    QPushButton *cmdTRemove = nullptr;

    // Question list and edit mode
    QComboBox *cboExist = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdRemove = nullptr;
    QLabel *lblEditMode = nullptr;

    // Media panel
    QLabel *lblPreview = nullptr;
    PictureBox *picPreview = nullptr;
    QPushButton *cmdPlaywav = nullptr;
    PictureBox *imgHide = nullptr;

    // File menu
    QMenu *mnuFile = nullptr;
    QAction *mnuFileNew = nullptr;
    QAction *mnuFileOpen = nullptr;
    QAction *mnuFileSaveas = nullptr;
    QAction *mnuFilePrint = nullptr;
    QAction *mnuFilePrintPdf = nullptr;
    QAction *mnuFileExit = nullptr;
    QMenu *mnuFileRecent = nullptr;
    QAction *mnuRecent[RecentFiles::Count + 1] = {};   // 1 to 4
};
