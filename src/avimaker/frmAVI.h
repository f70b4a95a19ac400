#pragma once
// frmAVI, "Ardeno AVI Maker": collects BMP files of one size and colour
// depth and writes them as the frames of an AVI video. Opened modeless from
// the editor's Tools menu; it shares nothing with the test being edited.

#include "avimaker/AviMaker.h"

#include <QList>
#include <QUrl>
#include <QWidget>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

class frmAVI : public QWidget {
    Q_OBJECT
public:
    explicit frmAVI(QWidget *parent = nullptr);
    ~frmAVI() override;

    // Opens the window, or brings the one already open to the front.
    static frmAVI *showInstance(QWidget *parent = nullptr);

    // The folder the next add dialog starts in (kept for the whole run).
    static QString rememberedFolder();
    static void setRememberedFolder(const QString &folder);
    // How large a RIFF list may grow before the file goes on as OpenDML
    // (0: the default 1 GiB). For tests.
    static void setRiffLimit(qint64 bytes);

public slots:
    void cmdClearList_Click();
    void cmdFileOpen_Click();
    void cmdWriteAVI_Click();
    void cmdCancel_Click();
    // Files dropped on the window: local files only, in name order
    // ("frame2" before "frame10"), each checked as the add button checks it.
    void addDroppedFiles(const QList<QUrl> &urls);

protected:
    void closeEvent(QCloseEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    class WriteView;
    void Form_Load();
    void Form_Unload();
    void showPreview(const QString &file);
    void addBitmap(const QString &file);
    void removeFrame();
    void moveFrame(int step);
    void showFrameCommands();

    QListWidget *lstDIBList;
    QPushButton *cmdFileOpen;
    QPushButton *cmdClearList;
    QPushButton *cmdRemove;
    QPushButton *cmdMoveUp;
    QPushButton *cmdMoveDown;
    QPushButton *cmdWriteAVI;
    QPushButton *cmdCancel;
    QLabel *lblFrameRate;
    QLineEdit *txtFPS;
    QLabel *lblfps;
    QLabel *imgPreview;
    QLabel *lblStatus;

    ReferenceFormat m_reference;
    bool m_loaded = false;
};
