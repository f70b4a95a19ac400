#include "classresults/ClassTableModel.h"

#include <QCollator>

#include <QBrush>
#include <QColor>
#include <QFont>
#include <algorithm>

namespace {
const QColor kRight(0xD4, 0xED, 0xDA);
const QColor kWrong(0xF8, 0xD7, 0xDA);
const QColor kSummary(0xEE, 0xEE, 0xEE);

QString number(double v)
{
    return QString::number(v, 'f', v == std::floor(v) ? 0 : 1);
}
}

ClassTableModel::ClassTableModel(QObject *parent) : QAbstractTableModel(parent) {}

QString ClassTableModel::clockText(int seconds)
{
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

void ClassTableModel::show(const ClassResults *results, const ClassResults::Filter &filter)
{
    m_results = results;
    m_filter = filter;
    refresh();
}

void ClassTableModel::setFilter(const ClassResults::Filter &filter)
{
    m_filter = filter;
    refresh();
}

void ClassTableModel::refresh()
{
    beginResetModel();
    m_rows = m_results ? m_results->shown(m_filter) : QList<int>();
    m_questions = 0;
    for (int i : m_rows)
        m_questions = std::max(m_questions, m_results->results()[i].total);
    QList<const StudentResult *> counted;
    if (m_results)
        for (int i : m_results->counted(m_filter))
            counted << &m_results->results()[i];
    m_figures = ItemAnalysis::analyse(counted, m_results ? m_results->questionCount() : 0);
    m_test.annotate(m_figures);
    endResetModel();
    if (m_sortColumn >= 0)
        sort(m_sortColumn, m_sortOrder);
    emit refreshed();
}

QList<const StudentResult *> ClassTableModel::rows() const
{
    QList<const StudentResult *> out;
    for (int i : m_rows)
        out << &m_results->results()[i];
    return out;
}

int ClassTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() || m_rows.isEmpty() ? 0 : int(m_rows.size()) + kSummaryRows;
}

int ClassTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : FirstQuestion + m_questions;
}

void ClassTableModel::setTest(const ClassTest &test)
{
    m_test = test;
    refresh();
}

QVariant ClassTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    // A question's heading tells its text and right answer.
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section >= FirstQuestion && m_test.isKnown()) {
        const int q = section - FirstQuestion;
        return QStringLiteral("%1\n%2").arg(m_test.texts.value(q), tr("Right answer: %1").arg(m_test.rightTexts.value(q)));
    }
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const QStringList names = {tr("Student"), tr("Score"), tr("Percent"), tr("Time"), tr("Date"), tr("Notes")};
    return section < FirstQuestion ? names[section] : QStringLiteral("Q%1").arg(section - FirstQuestion + 1);
}

QVariant ClassTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid())
        return {};
    if (index.row() < m_rows.size()) {
        const int i = m_rows[index.row()];
        return studentData(m_results->results()[i], i, index.column(), role);
    }
    return summaryData(index.row() - int(m_rows.size()), index.column(), role);
}

QVariant ClassTableModel::studentData(const StudentResult &r, int resultIndex, int column, int role) const
{
    if (column >= FirstQuestion) {
        const int q = column - FirstQuestion;
        if (q >= r.total)
            return {};
        const QString given = r.given.value(q);
        const bool answered = given != QLatin1String("-");
        switch (role) {
        case Qt::DisplayRole:
            // Not by colour alone: a wrong answer is marked.
            return !answered ? QStringLiteral("-") : r.isRight(q) ? given : given + QStringLiteral(" \u2717");
        case Qt::BackgroundRole:
            // Another test's answers are not marked by this test's key.
            if (m_results->isOtherTest(resultIndex))
                return {};
            return answered ? QBrush(r.isRight(q) ? kRight : kWrong) : QVariant();
        case Qt::ToolTipRole:
        case Qt::AccessibleDescriptionRole:   // what a screen reader says of a ✗
            return answered && !r.isRight(q) ? tr("The right answer is %1.").arg(r.right.value(q)) : QVariant();
        case Qt::TextAlignmentRole:
            return int(Qt::AlignCenter);
        }
        return {};
    }
    if (role == Qt::TextAlignmentRole && column != Student && column != Notes)
        return int(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    switch (column) {
    case Student: return r.name;
    case Score: return tr("%1 of %2").arg(r.score).arg(r.total);
    case Percent: return QStringLiteral("%1%").arg(r.percent);
    case Time: return clockText(r.seconds);
    case Date: return r.date.toString(QStringLiteral("yyyy-MM-dd HH:mm"));
    case Notes: return m_results->flags(resultIndex, m_filter).join(QStringLiteral(", "));
    }
    return {};
}

QVariant ClassTableModel::summaryData(int which, int column, int role) const
{
    if (role == Qt::BackgroundRole)
        return QBrush(kSummary);
    if (role == Qt::FontRole) {
        QFont bold;
        bold.setBold(true);
        return bold;
    }
    if (role == Qt::TextAlignmentRole && column != Student)
        return int(column >= FirstQuestion ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const ClassFigures &f = m_figures;
    if (f.students == 0)
        return column == Student ? QVariant(tr("No results of the class's test shown")) : QVariant();
    const auto pick = [which](const Spread &s) -> double {
        switch (which) {
        case 0: return s.mean;
        case 1: return s.median;
        case 2: return s.highest;
        default: return s.lowest;
        }
    };
    switch (column) {
    case Student: {
        static const QStringList labels = {tr("Mean (%1 students)"), tr("Median"), tr("Highest"), tr("Lowest")};
        return which == 0 ? labels[0].arg(f.students) : labels[which];
    }
    case Score: return number(pick(f.score));
    case Percent: return number(pick(f.percent)) + QLatin1Char('%');
    case Time: return clockText(int(std::lround(pick(f.time))));
    default: break;
    }
    // The mean row gives each question's facility.
    const int q = column - FirstQuestion;
    if (which == 0 && q >= 0 && q < f.questions.size())
        return QStringLiteral("%1%").arg(qRound(f.questions[q].facility * 100));
    return {};
}

void ClassTableModel::sort(int column, Qt::SortOrder order)
{
    // Kept before any results come: they are sorted so when they do.
    m_sortColumn = column;
    m_sortOrder = order;
    if (!m_results || column < 0)
        return;
    const QList<StudentResult> &all = m_results->results();
    // Names in the order of the user's language: "Zoë" among the Z's,
    // "Élodie" among the E's, numbers in names by their value.
    // A session without a language (the C locale) orders by character
    // codes, "Élodie" after "Zoë": English's order is the general one.
    const QLocale language = QLocale().language() == QLocale::C ? QLocale(QLocale::English) : QLocale();
    QCollator collator(language);
    collator.setNumericMode(true);
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // A key per row; the summary rows are not part of m_rows and stay below.
    const auto less = [&](int a, int b) {
        const StudentResult &x = all[a], &y = all[b];
        switch (column) {
        case Student: return collator.compare(x.name, y.name) < 0;
        case Score: return x.score < y.score;
        case Percent: return x.percent < y.percent;
        case Time: return x.seconds < y.seconds;
        case Date: return x.date < y.date;
        case Notes: return m_results->flags(a, m_filter).join(QLatin1Char(',')) < m_results->flags(b, m_filter).join(QLatin1Char(','));
        default: {
            // Wrong answers first (ascending), then by the option chosen.
            const int q = column - FirstQuestion;
            const auto key = [q](const StudentResult &r) {
                return std::make_pair(r.isRight(q) ? 1 : 0, r.given.value(q));
            };
            return key(x) < key(y);
        }
        }
    };
    emit layoutAboutToBeChanged();
    std::stable_sort(m_rows.begin(), m_rows.end(), [&](int a, int b) { return order == Qt::AscendingOrder ? less(a, b) : less(b, a); });
    emit layoutChanged();
}
