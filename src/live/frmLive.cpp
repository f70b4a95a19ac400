#include "live/frmLive.h"

#include "classresults/ClassResults.h"
#include "classresults/ClassTableModel.h"
#include "classresults/ItemAnalysisModel.h"
#include "dialogs/ProgressRunner.h"
#include "live/LiveAddress.h"
#include "pictures/QrCode.h"
#include "logview/frmClass.h"
#include "platform/FileDialogService.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "widgets/Controls.h"

#include <QAccessible>
#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSplitter>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// A table the keyboard leaves by Tab (arrow keys move between its cells),
// read-only, without row numbers.
QTableView *table(QWidget *parent, const QString &name, const QString &accessibleName, QAbstractItemModel *model)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setAccessibleName(accessibleName);
    view->setModel(model);
    view->setTabKeyNavigation(false);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    return view;
}

QFont scaled(QFont font, double factor, bool bold = false)
{
    font.setPointSizeF(font.pointSizeF() * factor);
    font.setBold(bold);
    return font;
}
}

QAction *frmLive::addToMenu(QMenu *tools, QAction *after, QWidget *owner, std::function<EditorTest()> test)
{
    QAction *action = Controls::menuEntryAfter(tools, after, QStringLiteral("mnuToolLive"), tr("&Live Class..."));
    QObject::connect(action, &QAction::triggered, owner, [owner, test] {
        const EditorTest t = test();
        LoadedTest saved;
        const QString why = LiveSession::unsavedReason(t.path, t.title, t.teacher, t.records, t.companion, &saved);
        if (!why.isEmpty()) {
            MsgBox(why, MsgIcon::Information);
            return;
        }
        open(t.path, owner, &saved);
    });
    return action;
}

frmLive *frmLive::open(const QString &testPath, QWidget *owner, const LoadedTest *checked)
{
    auto *w = new frmLive(owner);
    w->setAttribute(Qt::WA_DeleteOnClose);
    if (!w->begin(testPath, checked)) {
        delete w;
        return nullptr;
    }
    w->show();
    return w;
}

frmLive::frmLive(QWidget *owner) : QMainWindow(owner, Qt::Window)
{
    setObjectName(QStringLiteral("frmLive"));
    setWindowTitle(tr("Live Class"));
    resize(1100, 800);
    m_students = new LiveTableModel(this);
    m_items = new ItemAnalysisModel(this);
    // Answers come in from the server's threads; the window follows them a
    // few times a second at most, which keeps a projected table calm.
    m_refresh = new QTimer(this);
    m_refresh->setSingleShot(true);
    m_refresh->setInterval(250);
    connect(m_refresh, &QTimer::timeout, this, &frmLive::refresh);
    buildUi();
    if (owner)
        owner->installEventFilter(this);
}

void frmLive::buildUi()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *top = new QHBoxLayout;
    picQR = new QLabel(central);
    picQR->setObjectName(QStringLiteral("picQR"));
    picQR->setFixedSize(300, 300);
    picQR->setScaledContents(true);
    picQR->setAccessibleName(tr("QR code of the join address"));
    top->addWidget(picQR);

    auto *join = new QVBoxLayout;
    lblHeading = new QLabel(tr("Join the class"), central);
    lblHeading->setObjectName(QStringLiteral("lblHeading"));
    lblHeading->setFont(scaled(font(), 2.0, true));
    join->addWidget(lblHeading);
    lblAddress = new QLabel(central);
    lblAddress->setObjectName(QStringLiteral("lblAddress"));
    lblAddress->setFont(scaled(font(), 2.6, true));
    lblAddress->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    lblAddress->setWordWrap(true);
    join->addWidget(lblAddress);
    lblHowTo = new QLabel(tr("Scan the code with your phone's camera, or type the address into your browser, "
                             "on the same network as this computer."),
                          central);
    lblHowTo->setObjectName(QStringLiteral("lblHowTo"));
    lblHowTo->setFont(scaled(font(), 1.4));
    lblHowTo->setWordWrap(true);
    join->addWidget(lblHowTo);

    auto *network = new QHBoxLayout;
    auto *networkLabel = new QLabel(tr("&Network:"), central);
    cboAddress = new QComboBox(central);
    cboAddress->setObjectName(QStringLiteral("cboAddress"));
    networkLabel->setBuddy(cboAddress);
    network->addWidget(networkLabel);
    network->addWidget(cboAddress, 1);
    join->addLayout(network);

    auto *folder = new QHBoxLayout;
    lblFolder = new QLabel(central);
    lblFolder->setObjectName(QStringLiteral("lblFolder"));
    lblFolder->setWordWrap(true);
    lblFolder->setTextFormat(Qt::PlainText);
    cmdFolder = new QPushButton(tr("Change &Folder..."), central);
    cmdFolder->setObjectName(QStringLiteral("cmdFolder"));
    folder->addWidget(lblFolder, 1);
    folder->addWidget(cmdFolder);
    join->addLayout(folder);
    // What the results folder refused, and what to do: said where the
    // teacher looks, not in a box that would stop the class.
    lblTrouble = new QLabel(central);
    lblTrouble->setObjectName(QStringLiteral("lblTrouble"));
    lblTrouble->setWordWrap(true);
    lblTrouble->setTextFormat(Qt::PlainText);
    lblTrouble->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    lblTrouble->hide();
    join->addWidget(lblTrouble);
    join->addStretch();
    top->addLayout(join, 1);
    layout->addLayout(top);

    auto *tables = new QSplitter(Qt::Vertical, central);
    auto *studentsPane = new QWidget(tables);
    auto *studentsLayout = new QVBoxLayout(studentsPane);
    studentsLayout->setContentsMargins(0, 0, 0, 0);
    auto *room = new QHBoxLayout;
    chkHideNames = new QCheckBox(tr("&Hide names"), studentsPane);
    chkHideNames->setObjectName(QStringLiteral("chkHideNames"));
    room->addWidget(chkHideNames);
    chkLock = new QCheckBox(tr("&Lock joining"), studentsPane);
    chkLock->setObjectName(QStringLiteral("chkLock"));
    chkLock->setToolTip(tr("After this, only names you let in can join."));
    room->addWidget(chkLock);
    txtLetIn = new QLineEdit(studentsPane);
    txtLetIn->setObjectName(QStringLiteral("txtLetIn"));
    txtLetIn->setAccessibleName(tr("Name to let in"));
    txtLetIn->setPlaceholderText(tr("Name to let in"));
    room->addWidget(txtLetIn);
    cmdLetIn = new QPushButton(tr("Let &In"), studentsPane);
    cmdLetIn->setObjectName(QStringLiteral("cmdLetIn"));
    room->addWidget(cmdLetIn);
    room->addStretch();
    cmdRemove = new QPushButton(tr("&Remove Student"), studentsPane);
    cmdRemove->setObjectName(QStringLiteral("cmdRemove"));
    room->addWidget(cmdRemove);
    cmdRetake = new QPushButton(tr("Allow Re&take"), studentsPane);
    cmdRetake->setObjectName(QStringLiteral("cmdRetake"));
    room->addWidget(cmdRetake);
    studentsLayout->addLayout(room);
    grdStudents = table(studentsPane, QStringLiteral("grdStudents"), tr("Students"), m_students);
    grdStudents->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    grdStudents->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdStudents->setSelectionMode(QAbstractItemView::SingleSelection);
    grdStudents->setFont(scaled(font(), 1.2));
    studentsLayout->addWidget(grdStudents);
    lblProgress = new QLabel(studentsPane);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    studentsLayout->addWidget(lblProgress);

    auto *itemsPane = new QWidget(tables);
    auto *itemsLayout = new QVBoxLayout(itemsPane);
    itemsLayout->setContentsMargins(0, 0, 0, 0);
    chkShowAnalysis = new QCheckBox(tr("Show right answers and item &analysis now"), itemsPane);
    chkShowAnalysis->setObjectName(QStringLiteral("chkShowAnalysis"));
    itemsLayout->addWidget(chkShowAnalysis);
    lblAnalysisWarning = new QLabel(tr("The figures below show which answers are right: keep them off the "
                                       "projector while students answer."),
                                    itemsPane);
    lblAnalysisWarning->setObjectName(QStringLiteral("lblAnalysisWarning"));
    lblAnalysisWarning->setWordWrap(true);
    lblAnalysisWarning->setStyleSheet(QStringLiteral("QLabel { color: #a00000; font-weight: bold; }"));
    itemsLayout->addWidget(lblAnalysisWarning);
    lblFigures = new QLabel(itemsPane);
    lblFigures->setObjectName(QStringLiteral("lblFigures"));
    lblFigures->setWordWrap(true);
    itemsLayout->addWidget(lblFigures);
    grdItems = table(itemsPane, QStringLiteral("grdItems"), tr("Item analysis"), m_items);
    itemsLayout->addWidget(grdItems);
    layout->addWidget(tables, 1);

    auto *buttons = new QHBoxLayout;
    cmdOpenResults = new QPushButton(tr("&Open in Class Results"), central);
    cmdOpenResults->setObjectName(QStringLiteral("cmdOpenResults"));
    cmdEnd = new QPushButton(tr("&End Class"), central);
    cmdEnd->setObjectName(QStringLiteral("cmdEnd"));
    buttons->addStretch();
    buttons->addWidget(cmdOpenResults);
    buttons->addWidget(cmdEnd);
    layout->addLayout(buttons);
    setCentralWidget(central);

    connect(chkHideNames, &QCheckBox::toggled, m_students, &LiveTableModel::setNamesHidden);
    connect(chkShowAnalysis, &QCheckBox::toggled, this, &frmLive::refresh);
    connect(chkLock, &QCheckBox::toggled, this, [this](bool locked) {
        if (LiveClass *c = m_session.liveClass())
            c->setLocked(locked);
    });
    connect(cmdLetIn, &QPushButton::clicked, this, &frmLive::letIn);
    connect(txtLetIn, &QLineEdit::returnPressed, this, &frmLive::letIn);
    connect(cmdRemove, &QPushButton::clicked, this, &frmLive::removeStudent);
    connect(cmdRetake, &QPushButton::clicked, this, &frmLive::allowRetake);
    connect(cmdFolder, &QPushButton::clicked, this, &frmLive::chooseFolder);
    connect(cmdEnd, &QPushButton::clicked, this, &frmLive::endClass);
    connect(cmdOpenResults, &QPushButton::clicked, this, &frmLive::openResults);
    connect(cboAddress, &QComboBox::activated, this, [this](int index) { serveOn(cboAddress->itemData(index).toString()); });
}

bool frmLive::begin(const QString &testPath, const LoadedTest *checked)
{
    m_testPath = testPath;
    QString reason;
    bool prepared = false;
    ProgressRunner::run(this, tr("Making the test ready for the class..."), [&](WorkProgress &progress) {
        prepared = m_session.prepare(testPath, &reason, &progress, checked);
    });
    if (!prepared) {
        if (reason != QLatin1String("cancelled"))
            MsgBox(reason, MsgIcon::Exclamation);
        return false;
    }
    setWindowTitle(tr("Live Class - %1").arg(m_session.testTitle()));
    // The network the computer reaches others by first; loopback last, for
    // a class on this computer alone.
    const QStringList hosts = LiveAddress::localAddresses();
    for (const QString &host : hosts)
        cboAddress->addItem(host, host);
    cboAddress->addItem(tr("%1 (this computer only)").arg(LiveAddress::Loopback), LiveAddress::Loopback);
    cboAddress->setEnabled(cboAddress->count() > 1);
    m_folder = LiveSession::defaultResultsFolder(testPath, QDate::currentDate());
    // The class's own address when it was served before (its folder
    // remembers it), else the first of the list.
    return serveOn(QString());
}

bool frmLive::serveOn(const QString &host)
{
    QString reason;
    // The port served on so far, else any free one.
    const int port = m_session.server() ? m_session.server()->port() : 0;
    if (!m_session.start(m_folder, host, port, &reason) && (port == 0 || !m_session.start(m_folder, host, 0, &reason))) {
        MsgBox(reason, MsgIcon::Exclamation);
        return false;
    }
    // At most 250 ms after the first change, however many follow.
    connect(m_session.liveClass(), &LiveClass::changed, m_refresh, [this] {
        if (!m_refresh->isActive())
            m_refresh->start();
    }, Qt::QueuedConnection);
    connect(m_session.liveClass(), &LiveClass::answersNotKept, this, [this](const QString &reason) {
        showTrouble(tr("Answers can no longer be kept: the results folder cannot be written (%1). Make room on "
                       "the disk, then close this window and open Live Class again for this folder: the class goes "
                       "on where it stood, and the students' pages send what is missing.").arg(reason));
    }, Qt::QueuedConnection);
    connect(m_session.liveClass(), &LiveClass::resultNotSaved, this, [this](const QString &name, const QString &reason) {
        showTrouble(tr("%1's result could not be saved in the results folder (%2). Make room on the disk: the "
                       "student's page sends it again.").arg(name, reason));
    }, Qt::QueuedConnection);
    cboAddress->setCurrentIndex(qMax(0, cboAddress->findData(m_session.server()->host())));
    lblFolder->setText(tr("Results go to %1").arg(m_folder));
    chkLock->setChecked(m_session.liveClass()->isLocked());
    showAddress();
    if (!m_session.formerAddress().isEmpty())
        showTrouble(tr("The class's address has changed (it was %1): its port or network is not free now. Show "
                       "the new address to the class.").arg(m_session.formerAddress()));
    refresh();
    return true;
}

void frmLive::showTrouble(const QString &text)
{
    if (lblTrouble->text() == text)
        return;
    lblTrouble->setText(text);
    lblTrouble->show();
    // Said to a screen reader as it appears.
    lblTrouble->setAccessibleName(text);
    QAccessibleEvent event(lblTrouble, QAccessible::Alert);
    QAccessible::updateAccessibility(&event);
}

void frmLive::showAddress()
{
    const QString address = m_session.joinAddress();
    lblAddress->setText(address);
    lblAddress->setAccessibleName(tr("Join address"));
    const QImage code = QrCode::image(address);
    if (code.isNull()) {
        // The module that draws codes is missing: the address is still there.
        picQR->setWordWrap(true);
        picQR->setAlignment(Qt::AlignCenter);
        picQR->setText(tr("The QR code cannot be drawn here. Type the address."));
    } else {
        picQR->setPixmap(QPixmap::fromImage(code));
    }
    picQR->setAccessibleDescription(address);
}

void frmLive::refresh()
{
    LiveClass *c = m_session.liveClass();
    if (!c)
        return;
    const QList<LiveStudent> students = c->students();
    const int questions = int(c->test().key.size());
    m_students->setStudents(students, questions);
    int finished = 0;
    for (const LiveStudent &s : students)
        finished += s.finished;
    lblProgress->setText(tr("%1 joined, %2 finished.").arg(students.size()).arg(finished)
                         + (c->isLocked() ? tr(" Joining is locked.") : QString()));
    // The folder stays while the class has students: their results would
    // be split between two folders.
    cmdFolder->setEnabled(students.isEmpty() && !c->hasEnded());
    cmdEnd->setEnabled(!c->hasEnded());
    if (c->hasEnded())
        lblHeading->setText(tr("The class has ended"));
    // While the class answers, nothing on screen tells a right answer: no
    // right-so-far, no per-option figure, facility or "most chosen wrong".
    const bool analysis = c->hasEnded() || chkShowAnalysis->isChecked();
    chkShowAnalysis->setVisible(!c->hasEnded());
    lblAnalysisWarning->setVisible(analysis && !c->hasEnded());
    lblFigures->setVisible(analysis);
    grdItems->setVisible(analysis);
    grdStudents->setColumnHidden(LiveTableModel::Right, !analysis);
    if (!analysis) {
        m_items->setFigures({});
        lblFigures->clear();
        return;
    }
    // The class's figures over every answer given so far.
    ClassResults results;
    for (int i = 0; i < students.size(); ++i) {
        if (students[i].answered() == 0)
            continue;
        ResultRead read;
        read.outcome = ResultRead::Outcome::Result;
        read.result = c->resultOf(students[i]);
        results.add(read, QStringLiteral("live:%1").arg(i));
    }
    ClassTableModel table;
    table.show(&results, {});
    m_items->setFigures(table.figures());
    lblFigures->setText(ItemAnalysisModel::testFiguresText(table.figures()));
}

int frmLive::studentsMidQuiz() const
{
    const LiveClass *c = m_session.liveClass();
    if (!c || c->hasEnded())
        return 0;
    int n = 0;
    for (const LiveStudent &s : c->students())
        n += !s.finished;
    return n;
}

void frmLive::chooseFolder()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Folder;
    request.title = tr("Results Folder");
    request.initialDir = m_folder;
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;
    const QString previous = m_folder;
    m_folder = chosen.files.first();
    if (!serveOn(cboAddress->currentData().toString())) {
        m_folder = previous;
        serveOn(cboAddress->currentData().toString());
    }
}

void frmLive::endClass()
{
    LiveClass *c = m_session.liveClass();
    if (!c || c->hasEnded())
        return;
    if (MsgBox(tr("End the class? Students who have not finished can no longer answer."), MsgIcon::Question,
               MsgButtons::YesNo)
        != MsgResult::Yes)
        return;
    c->end();
    refresh();
    const QStringList left = m_students->unfinished();
    MsgBox(left.isEmpty() ? tr("The class has ended. Every student who joined has finished.")
                          : tr("The class has ended. Not finished: %1.").arg(left.join(QStringLiteral(", "))),
           MsgIcon::Information);
}

int frmLive::chosenRow()
{
    const QModelIndexList rows = grdStudents->selectionModel()->selectedRows();
    const int row = rows.isEmpty() ? grdStudents->currentIndex().row() : rows.first().row();
    if (m_session.liveClass() && row >= 0 && row < m_students->students().size())
        return row;
    MsgBox(tr("Choose the student in the table first."), MsgIcon::Information);
    return -1;
}

void frmLive::letIn()
{
    LiveClass *c = m_session.liveClass();
    const QString name = txtLetIn->text().simplified();
    if (!c || name.isEmpty())
        return;
    c->letIn(name);
    txtLetIn->clear();
    lblProgress->setText(tr("%1 may join now.").arg(name));
}

void frmLive::removeStudent()
{
    const int row = chosenRow();
    if (row < 0)
        return;
    const LiveStudent student = m_students->students()[row];
    if (MsgBox(tr("Take %1 out of the class? Their page is told, and their name is free to join again.")
                   .arg(m_students->shownName(row)),
               MsgIcon::Question, MsgButtons::YesNo)
        != MsgResult::Yes)
        return;
    m_session.liveClass()->remove(student.token);
}

void frmLive::allowRetake()
{
    const int row = chosenRow();
    if (row < 0)
        return;
    m_session.liveClass()->allowRetake(m_students->students()[row].name);
    MsgBox(tr("%1 may join once more and take the test again: their page's \"Start again\" joins anew. Both "
              "results are kept; Class Results counts the first.")
               .arg(m_students->shownName(row)),
           MsgIcon::Information);
}

void frmLive::openResults()
{
    frmClass::showResults({m_folder}, parentWidget());
}

bool frmLive::mayClose()
{
    const int mid = studentsMidQuiz();
    if (mid == 0)
        return true;
    const QString text = mid == 1 ? tr("1 student is still taking the test. End the class and close?")
                                  : tr("%1 students are still taking the test. End the class and close?").arg(mid);
    if (MsgBox(text, MsgIcon::Question, MsgButtons::YesNo) != MsgResult::Yes)
        return false;
    m_session.liveClass()->end();
    return true;
}

void frmLive::closeEvent(QCloseEvent *event)
{
    if (!mayClose()) {
        event->ignore();
        return;
    }
    m_session.close();
    event->accept();
}

bool frmLive::eventFilter(QObject *watched, QEvent *event)
{
    // The program closing: the class is asked about first.
    if (watched == parentWidget() && event->type() == QEvent::Close && !mayClose()) {
        event->ignore();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}
