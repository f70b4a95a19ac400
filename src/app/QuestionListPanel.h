#pragma once
// The editor's list of the questions already added, with what acts on the
// one picked: "Save This Question", "Remove This Question" and the edit-mode
// label, which is shown while a question is being edited and, clicked, asks
// to go back to adding. The controls are made on the editor's client area at
// their drawn places, keeping their object names. The list's items follow
// the test (see QuestionList); which controls are enabled is the
// controller's to say. The controls are the panel's own: the window hears
// what the teacher does through the signals.

#include <QObject>
#include <QString>

class DocumentEditor;
class QLabel;
class QPushButton;
class QuestionList;
class QWidget;

class QuestionListPanel : public QObject {
    Q_OBJECT

public:
    QuestionListPanel(QWidget *host, const DocumentEditor &editing, QObject *parent = nullptr);

    void showEditMode(bool on);
    void setEnabled(bool edit, bool remove, bool list);
    // The list's text line (the first question, "No questions yet." ...).
    void setListText(const QString &text);
    // Question `listIndex` (from 0) shown as the one picked, from its start.
    void showPicked(int listIndex);
    // The keyboard focus to the list; false (nothing done) while it is off
    // or empty.
    bool focusList();

signals:
    // The teacher chose question `listIndex` (from 0) in the list.
    void questionChosen(int listIndex);
    void saveClicked();     // "Save This Question"
    void removeClicked();   // "Remove This Question"
    // A left click on the edit-mode label.
    void editModeLabelClicked();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QLabel *lblEditMode = nullptr;
    QLabel *lblTitle2 = nullptr;   // "Existing Questions:"
    QuestionList *cboExist = nullptr;
    QPushButton *cmdEdit = nullptr;
    QPushButton *cmdRemove = nullptr;
};
