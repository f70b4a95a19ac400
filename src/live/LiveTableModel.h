#pragma once
// The live class's students as the window's table shows them: name (or
// "Student 3" with names hidden, for a projector), how far they are, right
// so far (which the window shows only with the analysis), finished, the
// device they joined from and when, and when their page was last heard from.

#include "live/LiveClass.h"

#include <QAbstractTableModel>

class LiveTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Progress, Right, Finished, Device, Joined, LastSeen, ColumnCount };

    explicit LiveTableModel(QObject *parent = nullptr);
    void setStudents(const QList<LiveStudent> &students, int questions);
    void setNamesHidden(bool hidden);
    bool namesHidden() const { return m_hidden; }
    const QList<LiveStudent> &students() const { return m_students; }
    // The name a row shows: the student's, or "Student 3" while hidden.
    QString shownName(int row) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "question 3 of 10", "finished": how far a student is.
    static QString progressText(const LiveStudent &student, int questions);
    // The students who joined and did not finish, as the end of the class
    // reports them ("Anna (question 3 of 10)", "Student 2 (...)" while names
    // are hidden).
    QStringList unfinished() const;

private:
    QList<LiveStudent> m_students;
    int m_questions = 0;
    bool m_hidden = false;
};
