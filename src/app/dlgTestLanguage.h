#pragma once
// Edit > "Test Language...": the language the test's own texts are written
// in, chosen from a list or typed as a language tag ("pt-BR"). A page of
// the test tells browsers and screen readers so, and they read it out in
// that language. None chosen: the page says nothing of it.

#include <QDialog>
#include <optional>

class QComboBox;
class QDialogButtonBox;

class dlgTestLanguage : public QDialog {
    Q_OBJECT
public:
    dlgTestLanguage(const QString &tag, QWidget *parent = nullptr);

    // Asks with `tag` shown; the tag chosen ("" for none), or nothing when
    // cancelled.
    static std::optional<QString> choose(const QString &tag, QWidget *parent);

    QComboBox *cboLanguage = nullptr;
    QDialogButtonBox *buttons = nullptr;

private:
    void accept() override;
    QString m_tag;
};
