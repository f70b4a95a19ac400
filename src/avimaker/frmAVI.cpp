#include "avimaker/frmAVI.h"

#include "widgets/AccessibleWindow.h"
#include "widgets/FocusRing.h"

#include "platform/NaturalOrder.h"

#include "avimaker/cDIB.h"
#include "dialogs/cFileDlg.h"
#include "avimaker/dlgAVIOptions.h"
#include "platform/MsgBox.h"

#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QShortcut>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
QString g_rememberedFolder;   // survives closing the window, not the run
qint64 g_riffLimit = 0;
QPointer<frmAVI> g_instance;
const QSize kPreviewSize(240, 180);
}

// Connects the writer to this window: list selection, preview, status.
// The frame loop does not return to the event loop, so each change is
// painted at once.
class frmAVI::WriteView : public AviMakerView {
public:
    explicit WriteView(frmAVI *form) : f(form) {}
    void selectEntry(int index) override { f->lstDIBList->setCurrentRow(index); }
    bool chooseOptions(const cDIB &first, AVICOMPRESSOPTIONS &options) override
    {
        return AVISaveOptions(f, ICMF_CHOOSE_KEYFRAME | ICMF_CHOOSE_DATARATE, first.bitmapInfo(),
                              options) == 1;
    }
    void frameWritten(int, const QString &file) override
    {
        f->showPreview(file);
        f->imgPreview->repaint();
    }
    void setStatus(const QString &text) override
    {
        f->lblStatus->setText(text);
        f->lblStatus->repaint();
    }

private:
    frmAVI *f;
};

frmAVI::frmAVI(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmAVI"));
    setWindowTitle(QStringLiteral("Ardeno AVI Maker"));
    AccessibleWindow::mark(this);
    // A window of its own, but in the editor's window font, as its dialogs.
    if (parent)
        setFont(parent->window()->font());

    lstDIBList = new QListWidget(this);
    lstDIBList->setAccessibleName(tr("Bitmaps"));
    lstDIBList->setObjectName(QStringLiteral("lstDIBList"));
    FocusRing::frameWhenFocused(lstDIBList);   // an empty list shows no focus of its own
    cmdFileOpen = new QPushButton(QStringLiteral("Add BMP file to list..."), this);
    cmdFileOpen->setObjectName(QStringLiteral("cmdFileOpen"));
    cmdClearList = new QPushButton(QStringLiteral("Clear file list"), this);
    cmdClearList->setObjectName(QStringLiteral("cmdClearList"));
    // A frame added by mistake, or in the wrong place, goes or moves alone.
    cmdRemove = new QPushButton(tr("&Remove frame"), this);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    cmdMoveUp = new QPushButton(tr("Move &up"), this);
    cmdMoveUp->setObjectName(QStringLiteral("cmdMoveUp"));
    cmdMoveDown = new QPushButton(tr("Move &down"), this);
    cmdMoveDown->setObjectName(QStringLiteral("cmdMoveDown"));
    cmdWriteAVI = new QPushButton(QStringLiteral("Write AVI..."), this);
    cmdWriteAVI->setObjectName(QStringLiteral("cmdWriteAVI"));
    cmdCancel = new QPushButton(QStringLiteral("Exit"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    lblFrameRate = new QLabel(QStringLiteral("Frames Per Second:"), this);
    lblFrameRate->setObjectName(QStringLiteral("lblFrameRate"));
    txtFPS = new QLineEdit(QStringLiteral("6"), this);
    txtFPS->setObjectName(QStringLiteral("txtFPS"));
    txtFPS->setMaximumWidth(fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 12);
    lblFrameRate->setBuddy(txtFPS);
    lblfps = new QLabel(QStringLiteral("(1 - 30)"), this);
    lblfps->setObjectName(QStringLiteral("lblfps"));
    imgPreview = new QLabel(this);
    imgPreview->setObjectName(QStringLiteral("imgPreview"));
    imgPreview->setFixedSize(kPreviewSize);
    imgPreview->setAlignment(Qt::AlignCenter);
    imgPreview->setFrameShape(QFrame::StyledPanel);
    lblStatus = new QLabel(QStringLiteral("AVI Status"), this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    // List on top; preview and status lower left; buttons and the frame
    // rate lower right.
    auto *left = new QVBoxLayout;
    left->addWidget(imgPreview);
    left->addWidget(lblStatus);
    left->addStretch();
    auto *fpsRow = new QHBoxLayout;
    fpsRow->addWidget(lblFrameRate);
    fpsRow->addWidget(txtFPS);
    fpsRow->addWidget(lblfps);
    fpsRow->addStretch();
    auto *right = new QVBoxLayout;
    right->addWidget(cmdFileOpen);
    auto *frameRow = new QHBoxLayout;
    frameRow->addWidget(cmdRemove);
    frameRow->addWidget(cmdMoveUp);
    frameRow->addWidget(cmdMoveDown);
    right->addLayout(frameRow);
    right->addWidget(cmdClearList);
    right->addWidget(cmdWriteAVI);
    right->addSpacing(8);
    right->addLayout(fpsRow);
    right->addStretch();
    right->addWidget(cmdCancel);
    auto *bottom = new QHBoxLayout;
    bottom->addLayout(left);
    bottom->addSpacing(12);
    bottom->addLayout(right, 1);
    auto *top = new QVBoxLayout(this);
    top->addWidget(lstDIBList, 1);
    top->addLayout(bottom);
    resize(560, 460);
    setAcceptDrops(true);
    // Tab follows the layout: the list, the buttons down the right, the
    // frame rate under them, Exit last.
    setTabOrder(lstDIBList, cmdFileOpen);
    setTabOrder(cmdFileOpen, cmdRemove);
    setTabOrder(cmdRemove, cmdMoveUp);
    setTabOrder(cmdMoveUp, cmdMoveDown);
    setTabOrder(cmdMoveDown, cmdClearList);
    setTabOrder(cmdClearList, cmdWriteAVI);
    setTabOrder(cmdWriteAVI, txtFPS);
    setTabOrder(txtFPS, cmdCancel);

    connect(cmdClearList, &QPushButton::clicked, this, &frmAVI::cmdClearList_Click);
    connect(cmdRemove, &QPushButton::clicked, this, &frmAVI::removeFrame);
    connect(cmdMoveUp, &QPushButton::clicked, this, [this] { moveFrame(-1); });
    connect(cmdMoveDown, &QPushButton::clicked, this, [this] { moveFrame(1); });
    connect(lstDIBList, &QListWidget::currentRowChanged, this, &frmAVI::showFrameCommands);
    connect(new QShortcut(QKeySequence::Delete, lstDIBList, nullptr, nullptr, Qt::WidgetShortcut), &QShortcut::activated,
            this, &frmAVI::removeFrame);
    showFrameCommands();
    connect(cmdFileOpen, &QPushButton::clicked, this, &frmAVI::cmdFileOpen_Click);
    connect(cmdWriteAVI, &QPushButton::clicked, this, &frmAVI::cmdWriteAVI_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &frmAVI::cmdCancel_Click);

    Form_Load();
}

frmAVI::~frmAVI()
{
    Form_Unload();
}

frmAVI *frmAVI::showInstance(QWidget *parent)
{
    if (!g_instance) {
        g_instance = new frmAVI(parent);
        g_instance->setAttribute(Qt::WA_DeleteOnClose);
    }
    g_instance->show();
    g_instance->raise();
    g_instance->activateWindow();
    return g_instance;
}

QString frmAVI::rememberedFolder() { return g_rememberedFolder; }
void frmAVI::setRememberedFolder(const QString &folder) { g_rememberedFolder = folder; }
void frmAVI::setRiffLimit(qint64 bytes) { g_riffLimit = bytes; }

void frmAVI::Form_Load()
{
    AVIFileInit();
    m_loaded = true;
    cmdClearList_Click();
}

void frmAVI::Form_Unload()
{
    if (!m_loaded)
        return;
    m_loaded = false;
    AVIFileExit();
    cmdClearList_Click();
}

void frmAVI::closeEvent(QCloseEvent *event)
{
    Form_Unload();
    event->accept();
}

void frmAVI::showPreview(const QString &file)
{
    // The reader has accepted the file as a BMP, whatever its extension.
    QImageReader reader(file, "bmp");
    reader.setAutoTransform(false);
    const QImage image = reader.read();
    if (image.isNull()) {
        imgPreview->clear();
        return;
    }
    imgPreview->setPixmap(QPixmap::fromImage(
        image.scaled(kPreviewSize - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
}

void frmAVI::showFrameCommands()
{
    const int row = lstDIBList->currentRow();
    cmdRemove->setEnabled(row >= 0);
    cmdMoveUp->setEnabled(row > 0);
    cmdMoveDown->setEnabled(row >= 0 && row + 1 < lstDIBList->count());
}

void frmAVI::removeFrame()
{
    const int row = lstDIBList->currentRow();
    if (row < 0)
        return;
    delete lstDIBList->takeItem(row);
    if (lstDIBList->count() == 0) {
        cmdClearList_Click();   // the next bitmap sets the format again
        return;
    }
    lstDIBList->setCurrentRow(qMin(row, lstDIBList->count() - 1));
    showPreview(lstDIBList->currentItem()->text());
    showFrameCommands();
}

void frmAVI::moveFrame(int step)
{
    const int row = lstDIBList->currentRow();
    const int to = row + step;
    if (row < 0 || to < 0 || to >= lstDIBList->count())
        return;
    lstDIBList->insertItem(to, lstDIBList->takeItem(row));
    lstDIBList->setCurrentRow(to);
    showFrameCommands();
}

void frmAVI::cmdClearList_Click()
{
    lstDIBList->clear();
    imgPreview->clear();
    m_reference.clear();
    cmdClearList->setEnabled(false);
    cmdWriteAVI->setEnabled(false);
}

void frmAVI::cmdFileOpen_Click()
{
    cFileDlg dlg;
    dlg.setDlgTitle(QStringLiteral("Choose BMP file to add to video stream"));
    dlg.setFilter(QStringLiteral("BMP Files|*.bmp:DIB Files|*.dib"));
    if (!g_rememberedFolder.isEmpty())
        dlg.setInitDirectory(g_rememberedFolder);
    // Many at once: a video's frames are chosen together, in the order a
    // file manager lists them ("frame2" before "frame10").
    dlg.setMultiSelect(true);
    QString filename;
    if (dlg.VBGetOpenFileName(filename)) {
        QStringList files = dlg.ChosenFiles();
        std::stable_sort(files.begin(), files.end(), naturalLess);
        for (const QString &file : std::as_const(files))
            addBitmap(file);
    }
    g_rememberedFolder = dlg.InitDirectory();
}

void frmAVI::addBitmap(const QString &filename)
{
    cDIB dib;
    if (!dib.CreateFromFile(filename))
        return;   // the reader has shown why
    if (!m_reference.accept(dib)) {
        MsgBox(QStringLiteral("Chosen bitmap file is a different format!"), MsgIcon::Information);
    } else {
        showPreview(filename);
        lstDIBList->addItem(filename);
    }
    cmdClearList->setEnabled(true);
    cmdWriteAVI->setEnabled(true);
}

namespace {
QStringList localFiles(const QList<QUrl> &urls)
{
    QStringList files;
    for (const QUrl &url : urls)
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile())
            files << url.toLocalFile();
    // "frame2" before "frame10", as a file manager lists them.
    std::stable_sort(files.begin(), files.end(), naturalLess);
    return files;
}

QStringList droppedFiles(const QMimeData *mime)
{
    return mime && mime->hasUrls() ? localFiles(mime->urls()) : QStringList();
}
}

void frmAVI::addDroppedFiles(const QList<QUrl> &urls)
{
    for (const QString &file : localFiles(urls))
        addBitmap(file);
}

void frmAVI::dragEnterEvent(QDragEnterEvent *event)
{
    if (!droppedFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void frmAVI::dropEvent(QDropEvent *event)
{
    if (droppedFiles(event->mimeData()).isEmpty())
        return;
    event->acceptProposedAction();
    addDroppedFiles(event->mimeData()->urls());
}

void frmAVI::cmdWriteAVI_Click()
{
    cFileDlg dlg;
    dlg.setDefaultExt(QStringLiteral("avi"));
    dlg.setDlgTitle(QStringLiteral("Choose a filename to save AVI to..."));
    dlg.setFilter(QStringLiteral("AVI Files|*.avi"));
    dlg.setOwnerHwnd(std::int32_t(effectiveWinId()));
    QString filename = QStringLiteral("MyAVI.avi");
    if (!dlg.VBGetSaveFileName(filename))
        return;

    QStringList files;
    for (int i = 0; i < lstDIBList->count(); ++i)
        files << lstDIBList->item(i)->text();
    WriteView view(this);
    const AviWriteResult result = writeAviFromList(filename, files, txtFPS->text(), view, g_riffLimit);
    if (result.status == AVIERR_OK && !result.finished && result.framesWritten > 0)
        lblStatus->setText(tr("Stopped after frame number %1").arg(result.framesWritten - 1));
}

void frmAVI::cmdCancel_Click()
{
    close();
}
