#pragma once
// The live class's students as the window's table shows them: name (or
// "Student 3" with names hidden, for a projector), how far they are, right
// so far, finished, and when their page was last heard from.

#include "live/LiveClass.h"

#include <QAbstractTableModel>

class LiveTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Name, Progress, Right, Finished, LastSeen, ColumnCount };

    explicit LiveTableModel(QObject *parent = nullptr);
    void setStudents(const QList<LiveStudent> &students, int questions);
    void setNamesHidden(bool hidden);
    bool namesHidden() const { return m_hidden; }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // "question 3 of 10", "finished": how far a student is.
    static QString progressText(const LiveStudent &student, int questions);
    // The students who joined and did not finish, as the end of the class
    // reports them ("Anna (question 3 of 10)").
    static QStringList unfinished(const QList<LiveStudent> &students, int questions);

private:
    QList<LiveStudent> m_students;
    int m_questions = 0;
    bool m_hidden = false;
};
