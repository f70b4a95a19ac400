#include "paper/dlgAnswerSheets.h"

#include "document/MediaLookup.h"
#include "document/TestDocument.h"
#include "exchange/ClassList.h"
#include "paper/AnswerSheetPrintout.h"
#include "paper/TestVersion.h"
#include "platform/FileDialogService.h"
#include "platform/MsgBox.h"
#include "platform/Platform.h"
#include "platform/RegularFile.h"
#include "print/PrintCommands.h"
#include "print/PrintSurface.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QVBoxLayout>

QAction *dlgAnswerSheets::addToMenu(QMenu *file, QAction *before, QWidget *owner, std::function<Test()> test)
{
    auto *action = new QAction(tr("Print Answer S&heets..."), file);
    action->setObjectName(QStringLiteral("mnuFileAnswerSheets"));
    file->insertAction(before, action);
    QObject::connect(action, &QAction::triggered, owner, [owner, test] {
        dlgAnswerSheets dialog(test(), owner);
        dialog.exec();
    });
    return action;
}

dlgAnswerSheets::dlgAnswerSheets(const Test &test, QWidget *owner) : QDialog(owner), m_test(test)
{
    setObjectName(QStringLiteral("dlgAnswerSheets"));
    setWindowTitle(tr("Print Answer Sheets"));
    auto *layout = new QVBoxLayout(this);
    auto *students = new QGridLayout;
    optClassList = new QRadioButton(tr("One sheet for each name of a &class list:"), this);
    optClassList->setObjectName(QStringLiteral("optClassList"));
    txtClassList = new QLineEdit(this);
    txtClassList->setObjectName(QStringLiteral("txtClassList"));
    txtClassList->setAccessibleName(tr("Class list file"));
    auto *browse = new QPushButton(tr("&Browse..."), this);
    browse->setObjectName(QStringLiteral("cmdBrowse"));
    optCount = new QRadioButton(tr("&Numbered sheets with a box for the name:"), this);
    optCount->setObjectName(QStringLiteral("optCount"));
    spnCount = new QSpinBox(this);
    spnCount->setObjectName(QStringLiteral("spnCount"));
    spnCount->setRange(1, 500);
    spnCount->setValue(30);
    spnCount->setAccessibleName(tr("Number of sheets"));
    students->addWidget(optClassList, 0, 0);
    students->addWidget(txtClassList, 0, 1);
    students->addWidget(browse, 0, 2);
    students->addWidget(optCount, 1, 0);
    students->addWidget(spnCount, 1, 1);
    layout->addLayout(students);
    optCount->setChecked(true);

    auto *form = new QFormLayout;
    spnVersions = new QSpinBox(this);
    spnVersions->setObjectName(QStringLiteral("spnVersions"));
    spnVersions->setRange(1, TestVersion::MostVersions);
    form->addRow(tr("&Versions (each its own order):"), spnVersions);
    cboPaper = new QComboBox(this);
    cboPaper->setObjectName(QStringLiteral("cboPaper"));
    cboPaper->addItem(tr("A4"), QStringLiteral("a4"));
    cboPaper->addItem(tr("Letter"), QStringLiteral("letter"));
    const QLocale::Territory here = QLocale().territory();
    cboPaper->setCurrentIndex(here == QLocale::UnitedStates || here == QLocale::Canada ? 1 : 0);
    form->addRow(tr("&Paper:"), cboPaper);
    layout->addLayout(form);
    chkPapers = new QCheckBox(tr("Print the &question paper of each version too"), this);
    chkPapers->setObjectName(QStringLiteral("chkPapers"));
    chkPapers->setEnabled(false);
    layout->addWidget(chkPapers);
    connect(spnVersions, &QSpinBox::valueChanged, this, [this](int n) { chkPapers->setEnabled(n > 1); });

    auto *buttons = new QDialogButtonBox(this);
    auto *printButton = buttons->addButton(tr("&Print"), QDialogButtonBox::AcceptRole);
    printButton->setObjectName(QStringLiteral("cmdPrint"));
    printButton->setDefault(true);
    auto *pdfButton = buttons->addButton(tr("Save as P&DF..."), QDialogButtonBox::ActionRole);
    pdfButton->setObjectName(QStringLiteral("cmdPdf"));
    buttons->addButton(QDialogButtonBox::Cancel)->setObjectName(QStringLiteral("cmdCancel"));
    layout->addWidget(buttons);
    connect(browse, &QPushButton::clicked, this, &dlgAnswerSheets::browse);
    connect(txtClassList, &QLineEdit::textEdited, this, [this] { optClassList->setChecked(true); });
    connect(spnCount, &QSpinBox::valueChanged, this, [this] { optCount->setChecked(true); });
    connect(printButton, &QPushButton::clicked, this, [this] { print(false); });
    connect(pdfButton, &QPushButton::clicked, this, [this] { print(true); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

void dlgAnswerSheets::browse()
{
    FileDialogRequest request;
    request.title = tr("Class List");
    request.filters = {{tr("Class lists (*.csv *.txt)"), QStringLiteral("*.csv;*.txt")}, {tr("All files (*)"), QStringLiteral("*")}};
    request.fileMustExist = true;
    request.owner = this;
    const FileDialogResult chosen = Platform::fileDialogs().choose(request);
    if (!chosen.accepted || chosen.files.isEmpty())
        return;
    txtClassList->setText(chosen.files.first());
    optClassList->setChecked(true);
}

bool dlgAnswerSheets::describe(AnswerSheetRun *run)
{
    run->title = m_test.title;
    run->teacher = m_test.teacher;
    run->records = m_test.records;
    run->versions = spnVersions->value();
    SheetLayout::paperFromName(cboPaper->currentData().toString(), &run->paper);
    if (optClassList->isChecked()) {
        QString reason;
        const QString path = txtClassList->text().trimmed();
        run->names = path.isEmpty() ? QStringList() : ClassList::names(RegularFile::read(path, 4 << 20, &reason), &reason);
        if (run->names.isEmpty()) {
            MsgBox(path.isEmpty() ? tr("Choose the class list first.")
                                  : tr("%1 is not a class list: %2.").arg(QFileInfo(path).fileName(), reason),
                   MsgIcon::Exclamation);
            return false;
        }
    } else {
        run->count = spnCount->value();
    }
    if (const QString problem = run->problem(); !problem.isEmpty()) {
        MsgBox(problem, MsgIcon::Exclamation);
        return false;
    }
    return true;
}

void dlgAnswerSheets::print(bool toPdf)
{
    AnswerSheetRun run;
    if (!describe(&run))
        return;
    const QString base = m_test.path.isEmpty() ? QStringLiteral("untitled") : QFileInfo(m_test.path).completeBaseName();
    QString pdf;
    if (toPdf) {
        pdf = PrintCommands::askPdfPath(tr("Save Answer Sheets"), base + tr(" answer sheets.pdf"));
        if (pdf.isEmpty())
            return;
    } else {
        const PrintCommands::PrintRoute route = PrintCommands::choosePrintRoute(base + tr(" answer sheets.pdf"));
        if (route.to == PrintCommands::PrintRoute::To::Nowhere)
            return;
        pdf = route.pdfPath;
    }
    const auto surface = pdf.isEmpty() ? PrintSurface::toDefaultPrinter() : PrintSurface::toPdf(pdf);
    if (!AnswerSheetPrintout::print(*surface, run)) {
        MsgBox(tr("The answer sheets were not printed: %1")
                   .arg(surface->fileError().isEmpty() ? surface->errorString() : surface->fileError()),
               MsgIcon::Critical);
        return;
    }
    if (chkPapers->isEnabled() && chkPapers->isChecked()) {
        for (int v = 1; v <= run.versions; ++v) {
            TestDocument doc;
            doc.setRecords(TestVersion::of(run.title, run.teacher, run.records, v).records());
            doc.setTestFolder(MediaLookup::testFolderOf(m_test.path));
            const QString title = TestVersion::paperTitle(run.title, v);
            const bool ok = pdf.isEmpty() ? (PrintCommands::printTest(this, doc, title, run.teacher), true)
                                          : PrintCommands::printTestToPdfFile(
                                                QFileInfo(pdf).dir().filePath(tr("%1 version %2.pdf").arg(base).arg(v)),
                                                doc, title, run.teacher);
            if (!ok)
                return;
        }
    }
    accept();
}
