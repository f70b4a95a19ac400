#include "app/dlgTestLanguage.h"

#include "document/LanguageNames.h"
#include "platform/MsgBox.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

dlgTestLanguage::dlgTestLanguage(const QString &tag, QWidget *parent) : QDialog(parent), m_tag(tag)
{
    setObjectName(QStringLiteral("dlgTestLanguage"));
    setWindowTitle(tr("Test Language"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("The language of the test's questions and answers (leave empty for none):"), this);
    label->setWordWrap(true);
    cboLanguage = new QComboBox(this);
    cboLanguage->setObjectName(QStringLiteral("cboLanguage"));
    cboLanguage->setEditable(true);
    cboLanguage->setInsertPolicy(QComboBox::NoInsert);
    cboLanguage->addItems(LanguageNames::choices());
    cboLanguage->completer()->setFilterMode(Qt::MatchContains);
    cboLanguage->completer()->setCaseSensitivity(Qt::CaseInsensitive);
    cboLanguage->setEditText(LanguageNames::choiceOf(tag));
    label->setBuddy(cboLanguage);
    cboLanguage->setAccessibleName(tr("Test language"));
    cboLanguage->lineEdit()->setAccessibleName(tr("Test language"));
    buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &dlgTestLanguage::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(label);
    layout->addWidget(cboLanguage);
    layout->addWidget(buttons);
    cboLanguage->lineEdit()->selectAll();
    cboLanguage->setFocus();
}

void dlgTestLanguage::accept()
{
    const std::optional<QString> tag = LanguageNames::tagOf(cboLanguage->currentText());
    if (!tag) {
        MsgBox(tr("\"%1\" names no language. Choose one from the list, or type a language tag such as fr or pt-BR.")
                   .arg(cboLanguage->currentText().trimmed()),
               MsgIcon::Exclamation);
        cboLanguage->setFocus();
        return;
    }
    m_tag = *tag;
    QDialog::accept();
}

std::optional<QString> dlgTestLanguage::choose(const QString &tag, QWidget *parent)
{
    dlgTestLanguage dialog(tag, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.m_tag;
}
