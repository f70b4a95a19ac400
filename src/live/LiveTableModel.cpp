#include "live/LiveTableModel.h"

LiveTableModel::LiveTableModel(QObject *parent) : QAbstractTableModel(parent) {}

void LiveTableModel::setStudents(const QList<LiveStudent> &students, int questions)
{
    // The same students with new figures change cells only, so the view
    // keeps its place and selection; a student who joined adds a row.
    if (students.size() == m_students.size()) {
        m_students = students;
        m_questions = questions;
        if (!m_students.isEmpty())
            emit dataChanged(index(0, 0), index(rowCount() - 1, ColumnCount - 1));
        return;
    }
    beginResetModel();
    m_students = students;
    m_questions = questions;
    endResetModel();
}

void LiveTableModel::setNamesHidden(bool hidden)
{
    m_hidden = hidden;
    if (!m_students.isEmpty())
        emit dataChanged(index(0, Name), index(rowCount() - 1, Name));
}

int LiveTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_students.size());
}

int LiveTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString LiveTableModel::progressText(const LiveStudent &s, int questions)
{
    if (s.finished)
        return tr("finished");
    return tr("question %1 of %2").arg(qMin(s.answered() + 1, questions)).arg(questions);
}

QString LiveTableModel::shownName(int row) const
{
    return m_hidden ? tr("Student %1").arg(row + 1) : m_students.value(row).name;
}

QStringList LiveTableModel::unfinished() const
{
    QStringList out;
    for (int row = 0; row < m_students.size(); ++row)
        if (!m_students[row].finished)
            out << QStringLiteral("%1 (%2)").arg(shownName(row), progressText(m_students[row], m_questions));
    return out;
}

QVariant LiveTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_students.size())
        return {};
    const LiveStudent &s = m_students[index.row()];
    if (role == Qt::TextAlignmentRole && index.column() != Name)
        return int(Qt::AlignCenter);
    if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole)
        return {};
    switch (index.column()) {
    case Name:
        return shownName(index.row());
    case Progress:
        return progressText(s, m_questions);
    case Right:
        return tr("%1 of %2").arg(s.right).arg(s.answered());
    case Finished:
        return s.finished ? tr("yes") : tr("no");
    case Device:
        return s.address;
    case Joined:
        return s.joined.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    case LastSeen:
        return s.lastSeen.toLocalTime().toString(QStringLiteral("HH:mm:ss"));
    }
    return {};
}

QVariant LiveTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char *titles[] = {QT_TR_NOOP("Student"), QT_TR_NOOP("How far"), QT_TR_NOOP("Right so far"),
                                   QT_TR_NOOP("Finished"), QT_TR_NOOP("Device"), QT_TR_NOOP("Joined"),
                                   QT_TR_NOOP("Last seen")};
    return tr(titles[section]);
}
