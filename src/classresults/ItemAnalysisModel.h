#pragma once
// The item analysis as a table: one row per question with its facility,
// the wrong answer most chosen and its share, how many left it unanswered,
// its discrimination index and, for a question that deserves a look, why
// (those rows are highlighted). Follows the class table's figures.

#include "classresults/ItemAnalysis.h"

#include <QAbstractTableModel>

class ItemAnalysisModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Question, Text, RightAnswer, Facility, MostChosenWrong, WrongShare, Unanswered, Options, Discrimination, Concern, Columns };

    explicit ItemAnalysisModel(QObject *parent = nullptr);
    void setFigures(const ClassFigures &figures);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // The texts of one question's row, as the table, the CSV and the report
    // show them.
    static QStringList rowTexts(const QuestionFigures &q);
    // "A 3, B 12, C 0, D 1, none 1": how many chose each option.
    static QString optionsText(const QuestionFigures &q);
    // The test's figures in one line, as the window and the report show them.
    static QString testFiguresText(const ClassFigures &figures);
    static QStringList headers();

private:
    QList<QuestionFigures> m_questions;
    QString m_groups;   // who formed the top and bottom groups
};
