#include "classresults/ItemAnalysisModel.h"

#include <QBrush>
#include <QColor>
#include <cmath>

ItemAnalysisModel::ItemAnalysisModel(QObject *parent) : QAbstractTableModel(parent) {}

void ItemAnalysisModel::setFigures(const ClassFigures &figures)
{
    beginResetModel();
    m_questions = figures.questions;
    m_groups = tr("Top group: %1. Bottom group: %2. Students tied at a group's last place share it.")
                   .arg(figures.topGroup.join(QStringLiteral(", ")), figures.bottomGroup.join(QStringLiteral(", ")));
    endResetModel();
}

int ItemAnalysisModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_questions.size());
}

int ItemAnalysisModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

QStringList ItemAnalysisModel::headers()
{
    return {tr("Question"), tr("Text"), tr("Right answer"), tr("Facility"), tr("Most chosen wrong"), tr("Chosen by"), tr("Unanswered"),
            tr("Each option"), tr("Discrimination"), tr("Worth a look")};
}

QString ItemAnalysisModel::optionsText(const QuestionFigures &q)
{
    QStringList parts;
    for (const auto &[option, count] : q.options)
        parts << QStringLiteral("%1 %2").arg(option == QLatin1String("unanswered") ? QStringLiteral("none") : option)
                     .arg(count);
    return parts.join(QStringLiteral(", "));
}

QString ItemAnalysisModel::testFiguresText(const ClassFigures &f)
{
    if (f.students == 0)
        return QString();
    const auto number = [](double v) { return std::isnan(v) ? QStringLiteral("-") : QString::number(v, 'f', 2); };
    const QString counted = f.students == 1 ? tr("1 student counted.") : tr("%1 students counted.").arg(f.students);
    return counted + QLatin1Char(' ')
           + tr("Score: mean %1, median %2, standard deviation %3. Reliability (KR-20) %4, standard error of "
                "measurement %5.")
                 .arg(QString::number(f.score.mean, 'f', 1), QString::number(f.score.median), number(f.sd),
                      number(f.kr20), number(f.sem));
}

QStringList ItemAnalysisModel::rowTexts(const QuestionFigures &q)
{
    const auto percent = [](double share) { return QStringLiteral("%1%").arg(qRound(share * 100)); };
    return {QStringLiteral("Q%1").arg(q.number),
            q.text,
            q.rightText,
            percent(q.facility),
            q.mostChosenWrong.isEmpty() ? QStringLiteral("-") : q.mostChosenWrong,
            q.mostChosenWrong.isEmpty() ? QStringLiteral("-") : percent(q.mostChosenWrongShare),
            QString::number(q.unanswered),
            optionsText(q),
            QString::number(q.discrimination, 'f', 2),
            q.concern};
}

QVariant ItemAnalysisModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_questions.size())
        return {};
    const QuestionFigures &q = m_questions[index.row()];
    switch (role) {
    case Qt::DisplayRole:
        return rowTexts(q).value(index.column());
    case Qt::BackgroundRole:
        return q.concern.isEmpty() ? QVariant() : QVariant(QBrush(QColor(0xFF, 0xF3, 0xCD)));
    case Qt::TextAlignmentRole:
        return int(index.column() == Concern || index.column() == Text || index.column() == RightAnswer
                       ? Qt::AlignLeft | Qt::AlignVCenter
                       : Qt::AlignCenter);
    case Qt::ToolTipRole:
        // The discrimination compares these groups; the reason and the
        // question's text, in full.
        return index.column() == Concern ? QVariant(q.concern)
               : index.column() == Text  ? QVariant(q.text) : index.column() == Discrimination ? QVariant(m_groups) : QVariant();
    }
    return {};
}

QVariant ItemAnalysisModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return headers().value(section);
    if (orientation == Qt::Horizontal && role == Qt::ToolTipRole && section == Discrimination)
        return m_groups;
    return QAbstractTableModel::headerData(section, orientation, role);
}
