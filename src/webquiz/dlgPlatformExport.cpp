#include "webquiz/dlgPlatformExport.h"

#include "exchange/QuestionFormat.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

dlgPlatformExport::dlgPlatformExport(QWidget *owner, const ScormSettings &initial, bool chooseVersion)
    : QDialog(owner), m_initial(initial), m_chooseVersion(chooseVersion)
{
    setObjectName(QStringLiteral("dlgPlatformExport"));
    setWindowTitle(tr("Export for Learning Platform"));
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("The package runs the test inside a learning platform (Moodle, Canvas, Blackboard, "
                                "Open edX, ...), which records each student's score and answers in its gradebook."),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *form = new QFormLayout;
    spnPassMark = new QSpinBox(this);
    spnPassMark->setObjectName(QStringLiteral("spnPassMark"));
    // Below 0: "none", the score alone (Open edX gives a failed attempt no
    // points; Moodle grades by the score).
    spnPassMark->setRange(ExportSource::NoPassMark, 100);
    spnPassMark->setSpecialValueText(tr("none"));
    spnPassMark->setSuffix(QStringLiteral(" %"));
    spnPassMark->setValue(initial.hasPassMark() ? initial.passPercent : ExportSource::NoPassMark);
    form->addRow(tr("&Pass mark (share of right answers):"), spnPassMark);

    cboVersion = new QComboBox(this);
    cboVersion->setObjectName(QStringLiteral("cboVersion"));
    cboVersion->addItem(tr("SCORM 1.2 (every platform takes it)"));
    cboVersion->addItem(tr("SCORM 2004 4th Edition"));
    cboVersion->setCurrentIndex(initial.version == ScormVersion::Scorm2004 ? 1 : 0);
    if (chooseVersion)
        form->addRow(tr("&Version:"), cboVersion);
    else
        cboVersion->hide();
    layout->addLayout(form);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
}

ScormSettings dlgPlatformExport::settings() const
{
    ScormSettings s = m_initial;
    s.passPercent = spnPassMark->value();
    if (m_chooseVersion)
        s.version = cboVersion->currentIndex() == 1 ? ScormVersion::Scorm2004 : ScormVersion::Scorm12;
    return s;
}

std::optional<ScormSettings> dlgPlatformExport::ask(QWidget *owner, const ScormSettings &initial, bool chooseVersion)
{
    dlgPlatformExport dialog(owner, initial, chooseVersion);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.settings();
}
