#include "paper/frmScan.h"

#include "dialogs/ProgressRunner.h"
#include "live/LiveSession.h"
#include "logview/frmClass.h"
#include "paper/SheetScanner.h"
#include "platform/FileDialogService.h"
#include "platform/ModuleLoader.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "platform/PrivateFolder.h"
#include "platform/WorkProgress.h"
#include "widgets/Controls.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {
// "1 sheet", "2 sheets": the sentence for one, or for many with the number.
QString counted(int n, const QString &one, const QString &many)
{
    return n == 1 ? one : many.arg(n);
}
}

QAction *frmScan::addToMenu(QMenu *tools, QAction *after, QWidget *owner, std::function<Test()> test)
{
    QAction *action = Controls::menuEntryAfter(tools, after, QStringLiteral("mnuToolScan"), tr("Read Scanned S&heets..."));
    QObject::connect(action, &QAction::triggered, owner, [owner, test] {
        const Test t = test();
        const QString why = LiveSession::unsavedReason(t.path, t.title, t.teacher, t.records);
        if (!why.isEmpty()) {
            MsgBox(why, MsgIcon::Information);
            return;
        }
        auto *w = new frmScan(t, owner);
        w->setAttribute(Qt::WA_DeleteOnClose);
        w->show();
    });
    return action;
}

frmScan::frmScan(const Test &test, QWidget *owner)
    : QMainWindow(owner, Qt::Window), m_test(test.title, test.teacher, test.records), m_testPath(test.path)
{
    setObjectName(QStringLiteral("frmScan"));
    setWindowTitle(tr("Read Scanned Sheets"));
    resize(1000, 720);
    buildUi();
    const QFileInfo file(test.path);
    setResultsFolder(file.absoluteDir().filePath(
        tr("%1 paper %2").arg(file.completeBaseName(), QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd")))));
}

frmScan::~frmScan() = default;

void frmScan::buildUi()
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    auto *title = new QLabel(tr("Answer sheets of \"%1\"").arg(m_test.title()), central);
    title->setObjectName(QStringLiteral("lblTest"));
    layout->addWidget(title);

    auto *scans = new QGroupBox(tr("Scans: the copier's PDF files and photos of sheets"), central);
    auto *scansLayout = new QHBoxLayout(scans);
    lstScans = new QListWidget(scans);
    lstScans->setObjectName(QStringLiteral("lstScans"));
    lstScans->setAccessibleName(tr("Scans to read"));
    lstScans->setMaximumHeight(130);
    scansLayout->addWidget(lstScans, 1);
    auto *scanButtons = new QVBoxLayout;
    auto *add = new QPushButton(tr("&Add Scans..."), scans);
    add->setObjectName(QStringLiteral("cmdAdd"));
    auto *remove = new QPushButton(tr("&Remove"), scans);
    remove->setObjectName(QStringLiteral("cmdRemove"));
    scanButtons->addWidget(add);
    scanButtons->addWidget(remove);
    scanButtons->addStretch();
    scansLayout->addLayout(scanButtons);
    layout->addWidget(scans);

    auto *folderRow = new QHBoxLayout;
    auto *folderLabel = new QLabel(tr("Results &folder:"), central);
    txtFolder = new QLineEdit(central);
    txtFolder->setObjectName(QStringLiteral("txtFolder"));
    txtFolder->setReadOnly(true);
    folderLabel->setBuddy(txtFolder);
    auto *change = new QPushButton(tr("C&hange..."), central);
    change->setObjectName(QStringLiteral("cmdFolder"));
    cmdRead = new QPushButton(tr("Read S&heets"), central);
    cmdRead->setObjectName(QStringLiteral("cmdRead"));
    cmdRead->setDefault(true);
    folderRow->addWidget(folderLabel);
    folderRow->addWidget(txtFolder, 1);
    folderRow->addWidget(change);
    folderRow->addWidget(cmdRead);
    layout->addLayout(folderRow);

    lblSummary = new QLabel(tr("Add the scans, then read them."), central);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    layout->addWidget(lblSummary);

    auto *results = new QHBoxLayout;
    tblSheets = new QTableWidget(0, 4, central);
    tblSheets->setObjectName(QStringLiteral("tblSheets"));
    tblSheets->setAccessibleName(tr("Sheets read"));
    tblSheets->setHorizontalHeaderLabels({tr("Scan"), tr("Student"), tr("Answered"), tr("Doubtful")});
    tblSheets->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tblSheets->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblSheets->setSelectionBehavior(QAbstractItemView::SelectRows);
    results->addWidget(tblSheets, 3);

    auto *doubts = new QGroupBox(tr("Doubtful marks: your decision"), central);
    auto *doubtsLayout = new QVBoxLayout(doubts);
    lstDoubts = new QListWidget(doubts);
    lstDoubts->setObjectName(QStringLiteral("lstDoubts"));
    lstDoubts->setAccessibleName(tr("Doubtful marks"));
    doubtsLayout->addWidget(lstDoubts, 1);
    picDoubt = new QLabel(doubts);
    picDoubt->setObjectName(QStringLiteral("picDoubt"));
    picDoubt->setMinimumHeight(90);
    picDoubt->setAlignment(Qt::AlignCenter);
    picDoubt->setAccessibleName(tr("The question's row as it was scanned"));
    doubtsLayout->addWidget(picDoubt);
    auto *choices = new QHBoxLayout;
    for (int i = 0; i < 4; ++i) {
        auto *b = new QPushButton(doubts);
        b->setObjectName(QStringLiteral("cmdChoice_%1").arg(i));
        connect(b, &QPushButton::clicked, this, [this, b] { decide(b->property("answer").toString()); });
        choices->addWidget(b);
        cmdChoice << b;
    }
    cmdNone = new QPushButton(tr("N&one"), doubts);
    cmdNone->setObjectName(QStringLiteral("cmdNone"));
    cmdNone->setAccessibleDescription(tr("The question stays unanswered"));
    connect(cmdNone, &QPushButton::clicked, this, [this] { decide(QStringLiteral("-")); });
    choices->addWidget(cmdNone);
    doubtsLayout->addLayout(choices);
    results->addWidget(doubts, 2);
    layout->addLayout(results, 1);

    auto *notRead = new QLabel(tr("Pages &not read:"), central);
    lstNotRead = new QListWidget(central);
    lstNotRead->setObjectName(QStringLiteral("lstNotRead"));
    lstNotRead->setMaximumHeight(110);
    notRead->setBuddy(lstNotRead);
    layout->addWidget(notRead);
    layout->addWidget(lstNotRead);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    auto *classResults = new QPushButton(tr("Open in &Class Results"), central);
    classResults->setObjectName(QStringLiteral("cmdClassResults"));
    auto *close = new QPushButton(tr("Close"), central);
    close->setObjectName(QStringLiteral("cmdClose"));
    bottom->addWidget(classResults);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    setCentralWidget(central);

    connect(add, &QPushButton::clicked, this, &frmScan::chooseScans);
    connect(remove, &QPushButton::clicked, this, [this] { delete lstScans->currentItem(); });
    connect(change, &QPushButton::clicked, this, &frmScan::chooseFolder);
    connect(cmdRead, &QPushButton::clicked, this, &frmScan::readSheets);
    connect(lstDoubts, &QListWidget::currentRowChanged, this, &frmScan::showDoubt);
    connect(classResults, &QPushButton::clicked, this, [this] { frmClass::showResults({m_folder}, parentWidget()); });
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    showDoubt();
}

void frmScan::addScans(const QStringList &files)
{
    for (const QString &file : files)
        if (lstScans->findItems(file, Qt::MatchExactly).isEmpty())
            lstScans->addItem(file);
}

void frmScan::setResultsFolder(const QString &folder)
{
    m_folder = folder;
    txtFolder->setText(QDir::toNativeSeparators(folder));
}

void frmScan::chooseScans()
{
    FileDialogRequest request;
    request.title = tr("Add Scans");
    request.filters = {{tr("Scans (*.pdf *.jpg *.jpeg *.png)"), QStringLiteral("*.pdf;*.jpg;*.jpeg;*.png")},
                       {tr("All files (*)"), QStringLiteral("*")}};
    request.fileMustExist = true;
    request.multiSelect = true;
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (chosen.accepted)
        addScans(chosen.files);
}

void frmScan::chooseFolder()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Folder;
    request.title = tr("Results Folder");
    request.initialDir = QFileInfo(m_folder).absolutePath();
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (chosen.accepted && !chosen.files.isEmpty())
        setResultsFolder(chosen.files.first());
}

bool frmScan::readSheets()
{
    if (lstScans->count() == 0) {
        MsgBox(tr("Add the scans to read first."), MsgIcon::Information);
        return false;
    }
    QString why;
    if (!m_scanner)
        m_scanner = ModuleLoader::create<SheetScanner>(QStringLiteral(ARDENO_SHEETSCAN_MODULE), ARDENO_SHEETSCAN_FACTORY,
                                                       kSheetScannerInterfaceVersion, &why);
    if (!m_scanner) {
        MsgBox(tr("Scans cannot be read on this computer: %1").arg(why), MsgIcon::Critical);
        return false;
    }
    const OutputFolderPtr folder = PrivateFolder::open(m_folder, &why);
    if (!folder) {
        MsgBox(tr("%1 cannot hold the results: %2").arg(QDir::toNativeSeparators(m_folder), why), MsgIcon::Critical);
        return false;
    }
    QList<OpenFilePtr> inputs;
    QStringList refused;
    for (int i = 0; i < lstScans->count(); ++i) {
        const QString file = lstScans->item(i)->text();
        QString reason;
        if (const OpenFilePtr input = OpenFile::open(file, &reason))
            inputs << input;
        else
            refused << QStringLiteral("%1: %2").arg(QFileInfo(file).fileName(), reason);
    }
    m_run = std::make_unique<ScanRun>(m_test, *m_scanner, folder);
    ScanOutcome outcome;
    ProgressRunner::run(this, tr("Reading the scanned sheets..."),
                        [&](WorkProgress &progress) { outcome = m_run->run(inputs, &progress); });
    outcome.notRead = refused + outcome.notRead;
    m_outcome = outcome;
    showOutcome();
    if (!outcome.failure.isEmpty()) {
        MsgBox(outcome.failure, MsgIcon::Critical);
        return false;
    }
    return !outcome.cancelled;
}

void frmScan::showOutcome()
{
    tblSheets->setRowCount(int(m_outcome.sheets.size()));
    lstDoubts->clear();
    m_doubts.clear();
    for (int i = 0; i < m_outcome.sheets.size(); ++i) {
        const ScannedSheet &s = m_outcome.sheets[i];
        const int answered = int(s.given.size() - s.given.count(QStringLiteral("-")));
        const QStringList cells = {s.source, s.student, QString::number(answered) + QLatin1Char('/') + QString::number(s.given.size()),
                                   QString::number(s.doubts.size())};
        for (int c = 0; c < cells.size(); ++c)
            tblSheets->setItem(i, c, new QTableWidgetItem(cells[c]));
        for (const ScanDoubt &d : s.doubts) {
            lstDoubts->addItem(tr("%1, question %2: %3").arg(s.student).arg(d.question).arg(d.reason));
            m_doubts.append({i, d.question});
        }
    }
    lstNotRead->clear();
    for (const QString &n : std::as_const(m_outcome.notRead))
        lstNotRead->addItem(n);
    if (m_outcome.cancelled)
        lblSummary->setText(tr("Reading was cancelled; no result was written."));
    else
        lblSummary->setText(counted(int(m_outcome.sheets.size()), tr("1 sheet read into the results folder."),
                                    tr("%1 sheets read into the results folder."))
                            + QLatin1Char(' ')
                            + counted(m_outcome.doubtCount(), tr("1 doubtful mark is left for you to decide."),
                                      tr("%1 doubtful marks are left for you to decide."))
                            + (m_outcome.notRead.isEmpty()
                                   ? QString()
                                   : QLatin1Char(' ') + counted(int(m_outcome.notRead.size()), tr("1 page was not read."),
                                                                tr("%1 pages were not read."))));
    if (lstDoubts->count() > 0)
        lstDoubts->setCurrentRow(0);
    showDoubt();
}

void frmScan::showDoubt()
{
    const int row = lstDoubts->currentRow();
    const bool any = row >= 0 && row < m_doubts.size();
    for (QPushButton *b : std::as_const(cmdChoice))
        b->setVisible(false);
    cmdNone->setEnabled(any);
    picDoubt->clear();
    if (!any)
        return;
    const ScannedSheet &sheet = m_outcome.sheets[m_doubts[row].first];
    const int question = m_doubts[row].second;
    for (const ScanDoubt &d : sheet.doubts) {
        if (d.question != question)
            continue;
        picDoubt->setPixmap(QPixmap::fromImage(d.row).scaledToHeight(qMax(60, d.row.height() * 3 / 2), Qt::SmoothTransformation));
        picDoubt->setAccessibleDescription(lstDoubts->currentItem()->text());
    }
    const bool trueFalse = m_test.isTrueFalse(question - 1);
    for (int option = 0; option < (trueFalse ? 2 : 4); ++option) {
        const QString word = m_test.optionWord(question - 1, option);
        cmdChoice[option]->setText(QLatin1Char('&') + word);
        cmdChoice[option]->setProperty("answer", word);
        cmdChoice[option]->setAccessibleName(tr("The answer is %1").arg(word));
        cmdChoice[option]->setVisible(true);
    }
}

void frmScan::decide(const QString &answer)
{
    const int row = lstDoubts->currentRow();
    if (row < 0 || row >= m_doubts.size() || !m_run)
        return;
    ScannedSheet &sheet = m_outcome.sheets[m_doubts[row].first];
    QString reason;
    if (!m_run->decide(sheet, m_doubts[row].second, answer, &reason)) {
        MsgBox(tr("%1 cannot be written: %2").arg(sheet.logFile, reason), MsgIcon::Critical);
        return;
    }
    showOutcome();
    lstDoubts->setCurrentRow(qMin(row, lstDoubts->count() - 1));
}
