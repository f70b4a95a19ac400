#pragma once
// The class's results as a table: one row per result shown (student,
// score, percent, time, date, notes, then the option chosen for each
// question, coloured right or wrong), then the class's mean, median,
// highest and lowest, which stay at the bottom however the rows are sorted.
// Widget-free: the window shows it in a QTableView, the tests read it.

#include "classresults/ClassResults.h"
#include "classresults/ClassTest.h"
#include "classresults/ItemAnalysis.h"

#include <QAbstractTableModel>

class ClassTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Student, Score, Percent, Time, Date, Notes, FirstQuestion };
    static constexpr int kSummaryRows = 4;   // mean, median, highest, lowest

    explicit ClassTableModel(QObject *parent = nullptr);

    // Shows `results` under `filter` (the model keeps the pointer).
    void show(const ClassResults *results, const ClassResults::Filter &filter);
    // Reads the results again (after more were added).
    void refresh();
    // The class's test, when known: its question texts go into the figures
    // and the question headings' tooltips.
    void setTest(const ClassTest &test);
    const ClassTest &test() const { return m_test; }
    void setFilter(const ClassResults::Filter &filter);
    ClassResults::Filter filter() const { return m_filter; }

    // The figures of the results counted (those of the class's test shown).
    const ClassFigures &figures() const { return m_figures; }
    // The results shown, in the table's order.
    QList<const StudentResult *> rows() const;
    int studentRows() const { return int(m_rows.size()); }
    int questionColumns() const { return m_questions; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

    // "2:01", "0:42": a time as the table shows it.
    static QString clockText(int seconds);

signals:
    // The rows shown or their figures changed.
    void refreshed();

private:
    QVariant studentData(const StudentResult &r, int resultIndex, int column, int role) const;
    QVariant summaryData(int which, int column, int role) const;

    const ClassResults *m_results = nullptr;
    ClassResults::Filter m_filter;
    QList<int> m_rows;       // indices into the results, in the table's order
    int m_questions = 0;
    ClassFigures m_figures;
    ClassTest m_test;
    int m_sortColumn = -1;
    Qt::SortOrder m_sortOrder = Qt::AscendingOrder;
};
