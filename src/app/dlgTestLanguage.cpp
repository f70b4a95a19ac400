#include "app/dlgTestLanguage.h"

#include "document/LanguageNames.h"
#include "platform/MsgBox.h"

#include <QComboBox>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractItemView>
#include <QVBoxLayout>

namespace {
// The list opens at the language typed ("wel" opens it at Welsh), not at
// the top of the alphabet.
class LanguageBox : public QComboBox {
public:
    using QComboBox::QComboBox;
    void showPopup() override
    {
        QComboBox::showPopup();
        const QString typed = currentText().trimmed();
        int row = typed.isEmpty() ? -1 : findText(typed, Qt::MatchFixedString);
        if (row < 0 && !typed.isEmpty())
            row = findText(typed, Qt::MatchContains);
        if (row >= 0) {
            view()->setCurrentIndex(model()->index(row, modelColumn()));
            view()->scrollTo(view()->currentIndex(), QAbstractItemView::PositionAtCenter);
        }
    }
};
}

dlgTestLanguage::dlgTestLanguage(const QString &tag, QWidget *parent) : QDialog(parent), m_tag(tag)
{
    setObjectName(QStringLiteral("dlgTestLanguage"));
    setWindowTitle(tr("Test Language"));
    auto *layout = new QVBoxLayout(this);
    auto *label = new QLabel(tr("The language of the test's questions and answers (leave empty for none):"), this);
    label->setWordWrap(true);
    cboLanguage = new LanguageBox(this);
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
