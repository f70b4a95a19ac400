#include "logview/frmClass.h"

#include "classresults/ClassExport.h"
#include "classresults/ClassLoader.h"
#include "classresults/ClassTableModel.h"
#include "classresults/ItemAnalysisModel.h"
#include "document/RecentFiles.h"
#include "dialogs/FileDialogs.h"
#include "dialogs/ProgressRunner.h"
#include "logview/ClassCharts.h"
#include "widgets/FocusRing.h"
#include "logview/ClassReportPrintout.h"
#include "platform/CheckedFile.h"
#include "platform/FileDialogService.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "print/PrintCommands.h"
#include "print/PrintSurface.h"

#include <QGuiApplication>
#include <QScreen>
#include <QActionGroup>
#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QRegularExpression>
#include <QScrollArea>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QTableView>
#include <QVBoxLayout>

namespace {
const QString kTitle = QStringLiteral("Class Results");

QTableView *tableView(QWidget *parent, const QString &name, QAbstractItemModel *model)
{
    auto *view = new QTableView(parent);
    view->setObjectName(name);
    view->setModel(model);
    view->setAlternatingRowColors(false);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    // Tab leaves the table (arrow keys move between its cells): a table that
    // kept Tab for itself would trap a keyboard user in it.
    view->setTabKeyNavigation(false);
    // Columns fit the first rows' contents: measuring a year's 1,000 rows
    // would hold the window up.
    view->horizontalHeader()->setResizeContentsPrecision(60);
    return view;
}

// A chart's view, or, when the charts cannot be drawn, a label saying why
// where the chart would be.
QWidget *chartView(QWidget *parent, const QString &name)
{
    QString error;
    ChartDrawing *drawing = ClassCharts::drawing(&error);
    QWidget *view = nullptr;
    if (drawing) {
        view = drawing->newView(parent);
    } else {
        auto *label = new QLabel(QObject::tr("The charts cannot be drawn: %1").arg(error), parent);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignCenter);
        label->setFocusPolicy(Qt::StrongFocus);
        view = label;
    }
    view->setObjectName(name);
    view->setMinimumSize(260, 220);
    FocusRing::frameWhenFocused(view);
    return view;
}

QString namesOf(const QStringList &files)
{
    QStringList names;
    for (const QString &f : files)
        names << QFileInfo(f).fileName();
    return names.join(QStringLiteral(", "));
}
}

frmClass *frmClass::showResults(const QStringList &paths, QWidget *owner)
{
    auto *w = new frmClass(owner);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->show();
    if (!paths.isEmpty())
        w->addPaths(paths);
    return w;
}

frmClass::frmClass(QWidget *owner)
    : QMainWindow(owner, Qt::Window), m_table(new ClassTableModel(this)), m_items(new ItemAnalysisModel(this))
{
    setObjectName(QStringLiteral("frmClass"));
    setWindowTitle(kTitle);
    setAcceptDrops(true);
    // Never larger than the screen it opens on (at 150 % a 1366 x 768 screen
    // holds less than the usual size).
    QSize size(1100, 760);
    if (const QScreen *screen = owner ? owner->screen() : QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 0.95);
    resize(size);

    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);
    // The notice keeps a fixed height and scrolls: 20,000 foreign logs must
    // not squeeze the table to a strip.
    scrNotice = new QScrollArea(central);
    scrNotice->setObjectName(QStringLiteral("scrNotice"));
    scrNotice->setWidgetResizable(true);
    scrNotice->setFrameShape(QFrame::NoFrame);
    scrNotice->setAccessibleName(tr("Notice"));
    lblNotice = new QLabel(scrNotice);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    lblNotice->setTextFormat(Qt::PlainText);
    lblNotice->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scrNotice->setWidget(lblNotice);
    scrNotice->setMaximumHeight(fontMetrics().lineSpacing() * 5 + 8);
    scrNotice->hide();
    layout->addWidget(scrNotice);

    lblFigures = new QLabel(central);
    lblFigures->setObjectName(QStringLiteral("lblFigures"));
    lblFigures->setWordWrap(true);
    lblFigures->setTextFormat(Qt::PlainText);
    layout->addWidget(lblFigures);

    auto *split = new QSplitter(Qt::Vertical, central);
    tblResults = tableView(split, QStringLiteral("tblResults"), m_table);
    tblResults->setSortingEnabled(true);
    tblResults->horizontalHeader()->setSortIndicatorShown(true);
    // By name until the teacher sorts otherwise, whatever order the files
    // came in.
    tblResults->horizontalHeader()->setSortIndicator(ClassTableModel::Student, Qt::AscendingOrder);
    auto *lower = new QSplitter(Qt::Horizontal, split);
    tblItems = tableView(lower, QStringLiteral("tblItems"), m_items);
    tblItems->horizontalHeader()->setStretchLastSection(true);
    chtScores = chartView(lower, QStringLiteral("chtScores"));
    chtFacility = chartView(lower, QStringLiteral("chtFacility"));
    tblResults->setAccessibleName(tr("Results"));
    tblItems->setAccessibleName(tr("Item analysis"));
    split->setStretchFactor(0, 3);
    split->setStretchFactor(1, 2);
    lower->setStretchFactor(0, 2);
    lower->setStretchFactor(1, 1);
    lower->setStretchFactor(2, 1);
    lower->setSizes({520, 280, 280});
    layout->addWidget(split);
    setCentralWidget(central);
    statusBar();

    // F6 and Ctrl+Tab go to the next pane (Shift: the one before), as in
    // other programs with panes.
    const QList<QWidget *> panes = {tblResults, tblItems, chtScores, chtFacility};
    for (QWidget *pane : panes)
        pane->setFocusPolicy(Qt::StrongFocus);
    const auto movePane = [this, panes](int step) {
        const qsizetype at = panes.indexOf(focusWidget());
        panes[(at < 0 ? 0 : at + step + panes.size()) % panes.size()]->setFocus(Qt::ShortcutFocusReason);
    };
    for (const QKeySequence &next : {QKeySequence(Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::Key_Tab)})
        connect(new QShortcut(next, this), &QShortcut::activated, this, [movePane] { movePane(1); });
    for (const QKeySequence &back : {QKeySequence(Qt::SHIFT | Qt::Key_F6), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)})
        connect(new QShortcut(back, this), &QShortcut::activated, this, [movePane] { movePane(-1); });

    buildMenus();
    connect(m_table, &ClassTableModel::refreshed, this, &frmClass::refreshViews);
    m_table->show(&m_results, {});
}

void frmClass::buildMenus()
{
    QMenu *file = menuBar()->addMenu(tr("&File"));
    file->setObjectName(QStringLiteral("mnuFile"));
    const auto add = [this](QMenu *menu, const QString &name, const QString &text, void (frmClass::*slot)(),
                            const QKeySequence &keys = {}) {
        QAction *a = menu->addAction(text);
        a->setObjectName(name);
        a->setShortcut(keys);
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    add(file, QStringLiteral("mnuOpen"), tr("&Open Results..."), &frmClass::mnuOpen_Click, QKeySequence::Open);
    add(file, QStringLiteral("mnuOpenFolder"), tr("Open &Folder..."), &frmClass::mnuOpenFolder_Click);
    add(file, QStringLiteral("mnuOpenTest"), tr("Open &Test..."), &frmClass::mnuOpenTest_Click);
    file->addSeparator();
    m_needResults << add(file, QStringLiteral("mnuExportCsv"), tr("&Export for Spreadsheets (CSV)..."),
                         &frmClass::mnuExportCsv_Click);
    m_needResults << add(file, QStringLiteral("mnuPrint"), tr("&Print Report"), &frmClass::mnuPrint_Click,
                         QKeySequence::Print);
    m_needResults << add(file, QStringLiteral("mnuPrintPdf"), tr("Save Report as P&DF..."), &frmClass::mnuPrintPdf_Click);
    file->addSeparator();
    QAction *close = file->addAction(tr("&Close"));
    close->setObjectName(QStringLiteral("mnuClose"));
    close->setShortcut(QKeySequence::Close);
    connect(close, &QAction::triggered, this, &QWidget::close);

    QMenu *view = menuBar()->addMenu(tr("&View"));
    view->setObjectName(QStringLiteral("mnuView"));
    mnuOtherTests = view->addAction(tr("Show Results of &Other Tests"));
    mnuOtherTests->setObjectName(QStringLiteral("mnuOtherTests"));
    mnuLatestOnly = view->addAction(tr("&Latest Attempt Only"));
    mnuLatestOnly->setObjectName(QStringLiteral("mnuLatestOnly"));
    for (QAction *a : {mnuOtherTests, mnuLatestOnly}) {
        a->setCheckable(true);
        connect(a, &QAction::toggled, this, &frmClass::applyFilter);
    }
    // Sorting by keyboard too: the same as a click on a column's heading.
    view->addSeparator();
    QMenu *sortBy = view->addMenu(tr("&Sort by"));
    sortBy->setObjectName(QStringLiteral("mnuSortBy"));
    auto *columns = new QActionGroup(this);
    const struct {
        const char *name;
        const char *text;
        int column;
    } keys[] = {{"mnuSortStudent", QT_TR_NOOP("&Student"), ClassTableModel::Student},
                {"mnuSortScore", QT_TR_NOOP("S&core"), ClassTableModel::Score},
                {"mnuSortTime", QT_TR_NOOP("&Time"), ClassTableModel::Time},
                {"mnuSortDate", QT_TR_NOOP("&Date"), ClassTableModel::Date}};
    for (const auto &k : keys) {
        QAction *a = sortBy->addAction(tr(k.text));
        a->setObjectName(QString::fromLatin1(k.name));
        a->setCheckable(true);
        a->setData(k.column);
        a->setChecked(k.column == ClassTableModel::Student);
        columns->addAction(a);
    }
    sortBy->addSeparator();
    QAction *descending = sortBy->addAction(tr("&Highest First"));
    descending->setObjectName(QStringLiteral("mnuSortDescending"));
    descending->setCheckable(true);
    const auto sort = [this, columns, descending] {
        if (QAction *chosen = columns->checkedAction())
            tblResults->sortByColumn(chosen->data().toInt(), descending->isChecked() ? Qt::DescendingOrder : Qt::AscendingOrder);
    };
    connect(columns, &QActionGroup::triggered, this, sort);
    connect(descending, &QAction::toggled, this, sort);
}

void frmClass::applyFilter()
{
    m_table->setFilter({mnuOtherTests->isChecked(), mnuLatestOnly->isChecked()});
}

void frmClass::refreshViews()
{
    m_items->setFigures(m_table->figures());
    lblFigures->setText(ItemAnalysisModel::testFiguresText(m_table->figures()));
    if (ChartDrawing *drawing = ClassCharts::drawing()) {
        drawing->show(chtScores, ClassCharts::distribution(m_table->figures()));
        drawing->show(chtFacility, ClassCharts::facility(m_table->figures()));
    }
    // A chart speaks as its title, its numbers as the description.
    for (QWidget *v : {chtScores, chtFacility}) {
        const bool scores = v == chtScores;
        const QString title = scores ? tr("Students per score band (percent)") : tr("Right answers per question (percent)");
        const QString numbers = scores ? ClassCharts::distributionText(m_table->figures())
                                       : ClassCharts::facilityText(m_table->figures());
        auto *area = qobject_cast<QAbstractScrollArea *>(v);
        for (QWidget *part : {v, area ? area->viewport() : v}) {
            part->setAccessibleName(title);
            part->setAccessibleDescription(numbers);
        }
    }
    tblResults->resizeColumnsToContents();
    tblItems->resizeColumnsToContents();
    setWindowTitle(m_results.isEmpty() ? kTitle : kTitle + QStringLiteral(" - ") + m_results.testTitle());
    for (QAction *a : m_needResults)
        a->setEnabled(m_table->studentRows() > 0);
    const QString text = notice();
    lblNotice->setText(text);
    scrNotice->setVisible(!text.isEmpty());
}

QString frmClass::notice() const
{
    QStringList lines;
    if (m_results.isEmpty() && m_results.notResults().isEmpty() && m_results.unreadable().isEmpty())
        lines << tr("Open the result logs your students saved from the web quiz: File > Open Results... (several "
                    "at once), File > Open Folder..., or drag them onto this window.");
    if (!m_results.notResults().isEmpty())
        lines << tr("Not web quiz results, so not shown: %1.").arg(namesOf(m_results.notResults()));
    if (!m_results.unreadable().isEmpty()) {
        QStringList parts;
        for (const ResultNotice &n : m_results.unreadable())
            parts << QStringLiteral("%1 (%2)").arg(QFileInfo(n.file).fileName(), n.reason);
        lines << tr("Could not be read: %1.").arg(parts.join(QStringLiteral(", ")));
    }
    int others = 0;
    for (int i = 0; i < m_results.results().size(); ++i)
        others += m_results.isOtherTest(i);
    if (others > 0 && !mnuOtherTests->isChecked())
        lines << (others == 1 ? tr("1 result of another test hidden (View > Show Results of Other Tests).")
                              : tr("%1 results of another test hidden (View > Show Results of Other Tests).").arg(others));
    return lines.join(QLatin1Char('\n'));
}

void frmClass::addPaths(const QStringList &paths)
{
    const QStringList files = ClassLoader::expand(paths);
    QList<ReadFile> read;
    ProgressRunner::run(this, tr("Reading the results..."),
                        [&](WorkProgress &progress) { read = ClassLoader::readAll(files, &progress); });
    for (const ReadFile &r : read)
        m_results.add(r.read, r.path);
    // The question texts come from the class's test: looked for beside the
    // logs (a live class's results lie beside its test) and among the recent
    // files, unless the teacher opened it.
    if (m_table->test().id != m_results.testId()) {
        RecentFiles recent;
        recent.load(Platform::settings());
        QStringList recentFiles;
        for (int i = 1; i <= RecentFiles::Count; ++i)
            if (recent.isUsed(i))
                recentFiles << recent.entry(i);
        ClassTest found;
        ProgressRunner::run(this, tr("Looking for the test..."), [&](WorkProgress &) {
            found = ClassTest::find(m_results.testId(), ClassTest::foldersAround(files), recentFiles);
        });
        m_table->setTest(found);
    }
    m_table->refresh();
    statusBar()->showMessage(read.size() == 1 ? tr("1 file read.") : tr("%1 files read.").arg(read.size()), 5000);
}

void frmClass::mnuOpen_Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = tr("Open Results");
    request.filters = {{tr("Score logs (*.log)"), QStringLiteral("*.log")}, {tr("All files (*)"), QStringLiteral("*")}};
    request.multiSelect = true;
    request.fileMustExist = true;
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (chosen.accepted && !chosen.files.isEmpty())
        addPaths(chosen.files);
}

void frmClass::mnuOpenFolder_Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Folder;
    request.title = tr("Open a Folder of Results");
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (chosen.accepted && !chosen.files.isEmpty())
        addPaths(chosen.files.mid(0, 1));
}

void frmClass::mnuOpenTest_Click()
{
    FileDialogRequest request;
    request.mode = FileDialogRequest::Mode::Open;
    request.title = tr("Open the Class's Test");
    request.filters = {{tr("Ardeno tests (*.ard)"), QStringLiteral("*.ard")}, {tr("All files (*)"), QStringLiteral("*")}};
    request.fileMustExist = true;
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;
    QString reason;
    const ClassTest test = ClassTest::read(chosen.files.first(), &reason);
    if (!test.isKnown()) {
        MsgBox(reason, MsgIcon::Exclamation);
        return;
    }
    if (!m_results.testId().isEmpty() && test.id != m_results.testId()) {
        MsgBox(tr("\"%1\" is not the test these results belong to: they name the test %2, and this file is %3 (another "
                  "test, or this test changed since).")
                   .arg(QFileInfo(chosen.files.first()).fileName(), m_results.testId(), test.id),
               MsgIcon::Exclamation);
        return;
    }
    m_table->setTest(test);
}

QString frmClass::proposedName(const QString &suffix) const
{
    QString base = m_results.testTitle();
    base.replace(QRegularExpression(QStringLiteral("[\\\\/:*?\"<>|.\\x00-\\x1F]")), QStringLiteral("_"));
    return (base.trimmed().isEmpty() ? QStringLiteral("class") : base.trimmed().left(100)) + QStringLiteral(" - results.")
           + suffix;
}

QString frmClass::chooseOutput(const QString &title, const FileFilter &filter)
{
    const QString suffix = filter.pattern.mid(2);   // "*.csv" -> "csv"
    return ShowSaveDialog(this, {filter}, QString(), suffix, proposedName(suffix), title);
}

void frmClass::mnuExportCsv_Click()
{
    const QString path = chooseOutput(tr("Export for Spreadsheets"), {tr("CSV files (*.csv)"), QStringLiteral("*.csv")});
    if (path.isEmpty())
        return;
    QString reason;
    if (!ClassExport::writeCsv(path, m_results, m_table->rows(), m_table->figures(), &reason)) {
        MsgBox(tr("The results could not be written to %1: %2").arg(path, reason), MsgIcon::Critical, MsgButtons::Ok,
               kTitle);
        return;
    }
    statusBar()->showMessage(tr("Written to %1.").arg(path), 5000);
}

bool frmClass::printReport(const QString &pdfPath)
{
    const auto printer = pdfPath.isEmpty() ? PrintSurface::toDefaultPrinter() : PrintSurface::toPdf(pdfPath);
    if (ClassReportPrintout::print(*printer, m_results, *m_table))
        return true;
    const QString why = printer->fileError().isEmpty() ? printer->errorString() : printer->fileError();
    MsgBox(pdfPath.isEmpty() ? tr("The report could not be printed: %1").arg(why)
                             : tr("The report could not be saved as %1: %2").arg(pdfPath, why),
           MsgIcon::Critical, MsgButtons::Ok, kTitle);
    return false;
}

void frmClass::mnuPrint_Click()
{
    // Without a printer the report goes into a PDF file, as a test does.
    const PrintCommands::PrintRoute route = PrintCommands::choosePrintRoute(proposedName(QStringLiteral("pdf")));
    if (route.to != PrintCommands::PrintRoute::To::Nowhere)
        printReport(route.pdfPath);
}

void frmClass::mnuPrintPdf_Click()
{
    const QString path = chooseOutput(tr("Save Report as PDF"), {tr("PDF Files (*.pdf)"), QStringLiteral("*.pdf")});
    if (!path.isEmpty())
        printReport(path);
}

void frmClass::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasUrls())
        event->acceptProposedAction();
}

void frmClass::dropEvent(QDropEvent *event)
{
    QStringList paths;
    for (const QUrl &url : event->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    if (paths.isEmpty())
        return;
    event->acceptProposedAction();
    addPaths(paths);
}
