#include "logview/frmLog.h"

#include "logview/frmClass.h"

#include "dialogs/FileDialogs.h"
#include "logview/LargeLogView.h"
#include "platform/MsgBox.h"
#include "print/PrintSurface.h"
#include "document/ScoreLog.h"
#include "platform/CheckedFile.h"
#include "print/LogPrintout.h"

#include <QKeyEvent>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QTextCursor>
#include <QTextDocument>

QString frmLog::StartupLog;
QPointer<frmLog> frmLog::s_instance;

namespace {
constexpr QChar kParagraph(QChar::ParagraphSeparator);

QString nulFilter(const QString &description, const QString &pattern)
{
    return description + QChar(0) + pattern;
}
}

frmLog *frmLog::showLog(QWidget *owner)
{
    if (!s_instance)
        s_instance = new frmLog(owner);
    s_instance->show();
    s_instance->raise();
    s_instance->activateWindow();
    return s_instance;
}

frmLog *frmLog::instance()
{
    return s_instance;
}

frmLog::frmLog(QWidget *owner) : QMainWindow(owner)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setObjectName(QStringLiteral("frmLog"));
    setWindowTitle(QStringLiteral("View Score Logs"));

    // The text box fills the window and follows its size.
    txtLog = new QPlainTextEdit(this);
    txtLog->setAccessibleName(tr("Score logs"));
    txtLog->setObjectName(QStringLiteral("txtLog"));
    txtLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Tab moves on, as in every other box of the program: a log holds no tabs
    // a teacher types. (With no other control to go to, the box keeps the
    // focus, and still types no tab.)
    txtLog->setTabChangesFocus(true);
    txtLog->installEventFilter(this);
    txtLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    txtLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    largeLog = new LargeLogView(this);
    pages = new QStackedWidget(this);
    pages->addWidget(txtLog);
    pages->addWidget(largeLog);
    setCentralWidget(pages);
    setFocusProxy(txtLog);

    const auto item = [this](QMenu *menu, const char *name, const QString &text,
                             void (frmLog::*slot)(), const QKeySequence &key = {}) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        if (!key.isEmpty())
            a->setShortcut(key);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };

    QMenu *file = menuBar()->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    item(file, "mnuOpen", QStringLiteral("&Open"), &frmLog::mnuOpen_Click);
    // Our addition: the results of a whole class, in their own window.
    item(file, "mnuClass", tr("&Class Results..."), &frmLog::mnuClass_Click);
    item(file, "mnuSave", QStringLiteral("&Save as Text File"), &frmLog::mnuSave_Click);
    file->addSeparator()->setObjectName(QStringLiteral("mnuFileBar"));
    item(file, "mnuPrint", QStringLiteral("&Print"), &frmLog::mnuPrint_Click);
    item(file, "mnuExit", QStringLiteral("E&xit"), &frmLog::mnuExit_Click);

    // The shortcuts are those of the text box itself: while it has the focus
    // the keystroke goes to it (it claims the standard editing keys), and a
    // menu click calls the same operation of the box directly.
    QMenu *edit = menuBar()->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("mnuEdit"));
    item(edit, "mnuEditUndo", QStringLiteral("&Undo"), &frmLog::mnuEditUndo_Click,
         QKeySequence(Qt::CTRL | Qt::Key_Z));
    edit->addSeparator()->setObjectName(QStringLiteral("mnuBarE1"));
    item(edit, "mnuEditCut", QStringLiteral("Cu&t"), &frmLog::mnuEditCut_Click,
         QKeySequence(Qt::CTRL | Qt::Key_X));
    item(edit, "mnuEditCopy", QStringLiteral("&Copy"), &frmLog::mnuEditCopy_Click,
         QKeySequence(Qt::CTRL | Qt::Key_C));
    item(edit, "mnuEditPaste", QStringLiteral("&Paste"), &frmLog::mnuEditPaste_Click,
         QKeySequence(Qt::CTRL | Qt::Key_V));

    resize(640, 480);
    txtLog->setFocus();
    Form_Load();
}

frmLog::~frmLog() = default;

QString frmLog::toDisplay(const QString &crlfText)
{
    QString t = crlfText;
    t.replace(QLatin1String("\r\n"), QString(kParagraph));
    t.replace(QLatin1Char('\r'), kParagraph);
    return ScoreLog::withMarks(t);
}

QString frmLog::fromDisplay(const QString &displayText)
{
    QString t;
    t.reserve(displayText.size() + displayText.size() / 16);
    for (const QChar c : displayText) {
        if (c == kParagraph || c == QChar(QChar::LineSeparator))
            t += QLatin1String("\r\n");
        else
            t += c;
    }
    return ScoreLog::withoutMarks(t);
}

bool frmLog::showsLargeLog() const
{
    return pages->currentWidget() == largeLog;
}

void frmLog::showLarge(const QString &crlfText)
{
    // The box's text is dropped: the view holds the whole log.
    txtLog->clear();
    largeLog->setLog(LogLineIndex(crlfText));
    pages->setCurrentWidget(largeLog);
    setFocusProxy(largeLog);
    largeLog->setFocus();
}

QString frmLog::shownText() const
{
    if (showsLargeLog())
        return largeLog->log().text();
    // toRawText keeps the block separators as U+2029 (toPlainText would
    // turn them, and line separators, into plain LFs).
    return fromDisplay(txtLog->document()->toRawText());
}

void frmLog::setShownText(const QString &text)
{
    if (LogLineIndex::isLarge(text)) {
        showLarge(text);
        return;
    }
    pages->setCurrentWidget(txtLog);
    setFocusProxy(txtLog);
    txtLog->setPlainText(toDisplay(text));
}

void frmLog::Form_Load()
{
    LogFileName.clear();
    if (StartupLog.isEmpty())
        return;
    // A viewer opened again later starts empty.
    LogFileName = StartupLog;
    StartupLog.clear();
    OpenThisLog();
}

void frmLog::insertAtCaret(const QString &crlfText)
{
    QTextCursor c = txtLog->textCursor();
    c.insertText(toDisplay(crlfText));
    txtLog->setTextCursor(c);
}

void frmLog::caretToStart()
{
    if (showsLargeLog())
        return;   // the view starts at the top
    QTextCursor c = txtLog->textCursor();
    c.movePosition(QTextCursor::Start);
    txtLog->setTextCursor(c);
    txtLog->ensureCursorVisible();
}

void frmLog::OpenThisLog()
{
    // Never a message for what cannot be read: it is simply not there. A
    // log too large to read at all is named, so the user knows why.
    QString tooLarge;
    const QString text = ScoreLog::readText(LogFileName, &tooLarge);
    if (!tooLarge.isEmpty()) {
        MsgBox(QStringLiteral("The score log \"%1\" is too large to show: %2.")
                   .arg(QDir::toNativeSeparators(LogFileName), tooLarge),
               MsgIcon::Exclamation);
        return;
    }
    if (text.isEmpty()) {
        caretToStart();
        return;
    }
    if (showsLargeLog()) {
        // Inserted where the caret of the box would be: at the start.
        showLarge(text + shownText());
    } else if (LogLineIndex::isLarge(text)) {
        const QString shown = txtLog->document()->toRawText();
        const int at = txtLog->textCursor().position();
        showLarge(fromDisplay(shown.left(at)) + text + fromDisplay(shown.mid(at)));
    } else {
        insertAtCaret(text);
    }
    caretToStart();
}

void frmLog::mnuOpen_Click()
{
    LogFileName = ShowOpenDialog(this, nulFilter(QStringLiteral("Score Logs (*.log)"),
                                                 QStringLiteral("*.log")),
                                 QDir::currentPath());
    if (!LogFileName.isEmpty() && QFileInfo(LogFileName).isFile())
        OpenThisLog();
}

void frmLog::mnuSave_Click()
{
    LogFileName = ShowSaveDialog(this, nulFilter(QStringLiteral("Text Files (*.txt)"),
                                                 QStringLiteral("*.txt")),
                                 QDir::currentPath(), QStringLiteral("txt"));
    if (LogFileName.isEmpty())
        return;
    // A failed save leaves an existing file as it was, and says why.
    QString reason;
    if (!CheckedFile::write(LogFileName, ScoreLog::exportBytes(shownText()), &reason)) {
        MsgBox(QStringLiteral("There has been an error saving this log as a text file.\n\n")
                   + QDir::toNativeSeparators(LogFileName) + QStringLiteral(": ") + reason,
               MsgIcon::Critical);
        return;
    }
    caretToStart();
}

void frmLog::mnuPrint_Click()
{
    const QString text = ScoreLog::trimSpaces(shownText());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto printer = PrintSurface::toDefaultPrinter();
    const bool ok = printScoreLog(*printer, LogFileName, text);
    if (!ok)
        printer->killDoc();
    QApplication::restoreOverrideCursor();
    if (!ok)
        MsgBox(QStringLiteral("There has been an error in printing this log."), MsgIcon::Critical);
}

void frmLog::mnuClass_Click()
{
    frmClass::showResults({}, this);
}

void frmLog::mnuExit_Click()
{
    LogFileName.clear();
    close();
}

void frmLog::mnuEditUndo_Click()
{
    if (showsLargeLog())
        return;   // a large log is shown read-only
    txtLog->undo();
}

void frmLog::mnuEditCut_Click()
{
    if (showsLargeLog())
        return;   // a large log is shown read-only
    txtLog->cut();
}

void frmLog::mnuEditCopy_Click()
{
    // The large view has no selection: Copy takes the whole log.
    if (showsLargeLog()) {
        QApplication::clipboard()->setText(toDisplay(shownText()));
        return;
    }
    txtLog->copy();
}

void frmLog::mnuEditPaste_Click()
{
    if (showsLargeLog())
        return;   // a large log is shown read-only
    txtLog->paste();
}

bool frmLog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == txtLog && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if ((key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab)
            && !(key->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
            focusNextPrevChild(key->key() == Qt::Key_Tab && !(key->modifiers() & Qt::ShiftModifier));
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
