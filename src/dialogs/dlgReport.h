#pragma once
// The report after an import or an export: what went across in one line,
// then one line for each thing that stayed behind and why, in a list that
// scrolls when it is long. Shown window-modal over its owner; it deletes
// itself when closed.

#include <QDialog>

class ExchangeReport;
class QLabel;
class QPlainTextEdit;
class QPushButton;

class dlgReport : public QDialog {
    Q_OBJECT
public:
    dlgReport(QWidget *owner, const QString &title, const QString &summary, const QStringList &lines);

    // Opens a report over owner and returns it (already open).
    static dlgReport *showReport(QWidget *owner, const QString &title, const QString &summary,
                                 const QStringList &lines);

    // An import's or export's report: a failure as an error message, else
    // this dialog with what went across.
    static void showExchangeReport(QWidget *owner, const QString &title, const ExchangeReport &report);

    QString summary() const;
    QStringList lines() const;

private:
    QLabel *lblSummary;
    QPlainTextEdit *txtDetails;
    QPushButton *cmdOK;
    QStringList m_lines;
};
