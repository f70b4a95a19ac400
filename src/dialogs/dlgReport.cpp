#include "dialogs/dlgReport.h"

#include "exchange/ExchangeReport.h"
#include "platform/MsgBox.h"

#include "platform/MessageService.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

dlgReport::dlgReport(QWidget *owner, const QString &title, const QString &summary, const QStringList &lines)
    : QDialog(owner), m_lines(lines)
{
    setObjectName(QStringLiteral("dlgReport"));
    setWindowTitle(title.isEmpty() ? kAppTitle : title);
    auto *layout = new QVBoxLayout(this);
    lblSummary = new QLabel(summary, this);
    lblSummary->setObjectName(QStringLiteral("lblSummary"));
    lblSummary->setWordWrap(true);
    lblSummary->setTextFormat(Qt::PlainText);
    layout->addWidget(lblSummary);
    txtDetails = new QPlainTextEdit(this);
    txtDetails->setAccessibleName(tr("Details"));
    txtDetails->setObjectName(QStringLiteral("txtDetails"));
    txtDetails->setReadOnly(true);
    txtDetails->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtDetails->setPlainText(lines.join(QLatin1Char('\n')));
    txtDetails->setVisible(!lines.isEmpty());
    layout->addWidget(txtDetails, 1);
    cmdOK = new QPushButton(tr("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    layout->addWidget(cmdOK, 0, Qt::AlignRight);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    resize(lines.isEmpty() ? QSize(420, 120) : QSize(560, std::min(360, 130 + 18 * int(lines.size()))));
}

dlgReport *dlgReport::showReport(QWidget *owner, const QString &title, const QString &summary,
                                 const QStringList &lines)
{
    auto *dialog = new dlgReport(owner, title, summary, lines);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->open();
    return dialog;
}

QString dlgReport::summary() const { return lblSummary->text(); }

QStringList dlgReport::lines() const { return m_lines; }

void dlgReport::showExchangeReport(QWidget *owner, const QString &title, const ExchangeReport &report)
{
    if (report.failed()) {
        MsgBox(report.error(), MsgIcon::Critical, MsgButtons::Ok, title);
        return;
    }
    showReport(owner, title, report.summary(), report.skipped() + report.notes());
}
