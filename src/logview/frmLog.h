#pragma once
// The score log viewer "View Score Logs": shows score logs unscrambled as
// editable text, prints them and saves them as plain text files.
//
// txtLog shows the text the way a Windows text box holds it: lines ending in
// CR LF. A QPlainTextEdit cannot hold CR LF as such, so the box holds one
// paragraph per line and shows a lone LF inside a line as the visible sign
// U+240A; shownText()/setShownText() convert between the two, and Save and
// Print always work on the CR LF text.
//
// Our choice: the window can be resized, and txtLog follows its size. A log
// far larger than a class's (see LogLineIndex::isLarge) is shown read-only
// by a LargeLogView instead, which lays out only the lines on screen; Save
// and Print write the same bytes either way.

#include <QMainWindow>
#include <QPointer>
#include <QString>

class LargeLogView;
class QAction;
class QPlainTextEdit;
class QStackedWidget;

class frmLog : public QMainWindow {
    Q_OBJECT

public:
    // The path program start asks the viewer to open; emptied by the first
    // load that reads it.
    static QString StartupLog;

    // Opens the viewer modeless, or brings the open one to the front with
    // its contents unchanged.
    static frmLog *showLog(QWidget *owner = nullptr);
    // The open viewer, or nullptr.
    static frmLog *instance();

    explicit frmLog(QWidget *owner = nullptr);
    ~frmLog() override;

    // The window's current file ("" when none).
    QString LogFileName;

    // The text of txtLog as CR LF text, and back.
    QString shownText() const;
    void setShownText(const QString &text);
    QPlainTextEdit *textBox() const { return txtLog; }
    // The read-only view of a large log; shown instead of the text box.
    LargeLogView *largeView() const { return largeLog; }
    bool showsLargeLog() const;

    // Display form <-> CR LF text (exposed for tests).
    static QString toDisplay(const QString &crlfText);
    static QString fromDisplay(const QString &displayText);

public slots:
    void OpenThisLog();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuPrint_Click();
    void mnuClass_Click();
    void mnuExit_Click();
    void mnuEditUndo_Click();
    void mnuEditCut_Click();
    void mnuEditCopy_Click();
    void mnuEditPaste_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Form_Load();
    void insertAtCaret(const QString &crlfText);
    void caretToStart();
    void showLarge(const QString &crlfText);

    QStackedWidget *pages = nullptr;
    QPlainTextEdit *txtLog = nullptr;
    LargeLogView *largeLog = nullptr;
    static QPointer<frmLog> s_instance;
};
