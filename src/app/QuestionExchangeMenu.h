#pragma once
// File > "Import Questions..." and File > "Export As...": the editor's side
// of question exchange. The window hands over its File menu and a few hooks
// (how many questions there are, the test as it stands, how to append the
// imported questions as one step), so the window itself only places them.

#include "exchange/QuestionFormat.h"

#include <QObject>
#include <functional>
#include <memory>

class QAction;
class QMenu;
class QWidget;

class QuestionExchangeMenu : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<int()> questionCount;
        // The title, class/teacher line, records and the folder where bare media names are found.
        std::function<ExportSource()> test;
        // Appends the records (with their media descriptions) after the last
        // question, as one step the user can undo.
        std::function<void(const QStringList &records, const QStringList &descriptions)> append;
        // The test's file, "" before the first save.
        std::function<QString()> currentFile;
        // Where imported media files wait until the test is saved beside
        // them; "" with the reason when there is no such place.
        std::function<QString(QString *error)> heldMediaFolder;
        // Writes the test at the chosen path in a format made of the quiz
        // page (the web quiz, a learning-platform package) the one way
        // that format's own menu item does; false when the format is none
        // of those.
        std::function<bool(const QString &path, const ExportSource &test, const QuestionFormat &format)> exportAsPage;
    };

    // Adds the two commands to fileMenu right after the action `after` (Save
    // As); Export As is enabled whenever that action is.
    QuestionExchangeMenu(QWidget *window, QMenu *fileMenu, QAction *after, Hooks hooks);
    ~QuestionExchangeMenu() override;

    QAction *importAction() const { return mnuFileImport; }
    QAction *exportAction() const { return mnuFileExport; }

    // Off while a question is being edited.
    void setImportEnabled(bool on);

    void mnuFileImport_Click();
    void mnuFileExport_Click();

private:
    QWidget *m_window;
    QAction *mnuFileImport;
    QAction *mnuFileExport;
    Hooks m_hooks;
};
