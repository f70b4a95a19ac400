#pragma once
// The editor's test title and class/teacher line, each a labelled box of at
// most 100 typed characters; a longer text read from a test file is kept
// whole. The boxes show the test's lines and tell what is typed into them;
// the test itself holds the lines. The controls are made on the editor's
// client area at their drawn places, keeping their object names.

#include "document/TestDocument.h"
#include <QObject>
#include <QString>

class QLabel;
class QLineEdit;
class QWidget;

class TestTitlePanel : public QObject {
    Q_OBJECT

public:
    static constexpr int MaxTitleText = TestDocument::MaxTitleText;

    explicit TestTitlePanel(QWidget *host, QObject *parent = nullptr);

    // Shows the lines; a box that already shows its line is left alone
    // (its cursor and its own typing history stay).
    void show(const QString &title, const QString &teacher);
    // The last control Tab reaches in the panel.
    QWidget *tabEnd() const;

signals:
    void titleTyped(const QString &title);
    void teacherTyped(const QString &teacher);

private:
    QLabel *lblTitle0 = nullptr;   // "Test Title:"
    QLineEdit *txtTitle = nullptr;
    QLabel *lblTitle1 = nullptr;   // "Class/Teacher:"
    QLineEdit *txtTeacher = nullptr;
};
