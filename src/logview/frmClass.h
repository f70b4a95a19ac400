#pragma once
// "Class Results": the results of a whole class at once. Result logs come
// in by File > Open Results... (several at once), File > Open Folder...,
// dragging them onto the window, or the command line; each adds rows. The
// table shows every result with its answers, sortable by any column, with
// the class's figures below; the item analysis, the score distribution and
// the facility of each question follow the table's filter. The window
// holds no figures of its own: ClassResults and the models do.

#include "classresults/ClassResults.h"

#include <QMainWindow>

struct FileFilter;
class ClassTableModel;
class ItemAnalysisModel;
class QAction;
class QLabel;
class QScrollArea;
class QTableView;

class frmClass : public QMainWindow {
    Q_OBJECT
public:
    // Opens a new window over `owner` and reads `paths` (files and
    // folders) into it.
    static frmClass *showResults(const QStringList &paths, QWidget *owner = nullptr);

    explicit frmClass(QWidget *owner = nullptr);

    // Reads the files and folders, behind a progress dialog, and adds them.
    void addPaths(const QStringList &paths);

    const ClassResults &results() const { return m_results; }
    ClassTableModel *table() const { return m_table; }
    ItemAnalysisModel *items() const { return m_items; }
    // What the notice above the table says ("" when nothing).
    QString notice() const;

    void mnuOpen_Click();
    void mnuOpenFolder_Click();
    void mnuOpenTest_Click();
    void mnuExportCsv_Click();
    void mnuPrint_Click();
    void mnuPrintPdf_Click();

    // The report drawn on the default printer or into a PDF file; false
    // after saying why.
    bool printReport(const QString &pdfPath = QString());

protected:
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    void buildMenus();
    void refreshViews();
    void applyFilter();
    QString proposedName(const QString &suffix) const;
    // A file to write, asked in a save dialog with a name made from the
    // test's title; "" when cancelled.
    QString chooseOutput(const QString &title, const FileFilter &filter);

    ClassResults m_results;
    ClassTableModel *m_table;
    ItemAnalysisModel *m_items;
    QLabel *lblFigures;
    QTableView *tblResults;
    QTableView *tblItems;
    QWidget *chtScores;     // the charts' views (QChartView), or what says why there are none
    QWidget *chtFacility;
    QLabel *lblNotice;
    QScrollArea *scrNotice;
    QAction *mnuOtherTests = nullptr;
    QAction *mnuLatestOnly = nullptr;
    QList<QAction *> m_needResults;
};
