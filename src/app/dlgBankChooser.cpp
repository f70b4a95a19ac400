#include "app/dlgBankChooser.h"

#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QTableView>
#include <QVBoxLayout>

dlgBankChooser::dlgBankChooser(BankChoice choice, const QString &fileName, QWidget *parent)
    : QDialog(parent), m_choice(std::move(choice))
{
    setObjectName(QStringLiteral("dlgBankChooser"));
    setWindowTitle(tr("Choose Questions"));
    resize(900, 600);
    auto *layout = new QVBoxLayout(this);
    auto *intro = new QLabel(tr("\"%1\" holds %2 questions a test can take; the test has room for %3. Choose the "
                                "questions to import.")
                                 .arg(fileName)
                                 .arg(m_choice.entries().size())
                                 .arg(m_choice.room()),
                             this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    auto *filters = new QHBoxLayout;
    auto *filterLabel = new QLabel(tr("&Filter:"), this);
    txtFilter = new QLineEdit(this);
    txtFilter->setObjectName(QStringLiteral("txtFilter"));
    filterLabel->setBuddy(txtFilter);
    auto *categoryLabel = new QLabel(tr("C&ategory:"), this);
    cboCategory = new QComboBox(this);
    cboCategory->setObjectName(QStringLiteral("cboCategory"));
    categoryLabel->setBuddy(cboCategory);
    cboCategory->addItem(tr("All categories"), QString());
    for (const QString &c : m_choice.categories())
        cboCategory->addItem(c, c);
    cboCategory->setEnabled(cboCategory->count() > 1);
    filters->addWidget(filterLabel);
    filters->addWidget(txtFilter, 2);
    filters->addWidget(categoryLabel);
    filters->addWidget(cboCategory, 1);
    layout->addLayout(filters);

    m_model = new QStandardItemModel(0, 6, this);
    m_model->setHorizontalHeaderLabels({tr("No."), tr("Kind"), tr("Question"), tr("Answers"), tr("Media"), tr("Category")});
    lstQuestions = new QTableView(this);
    lstQuestions->setObjectName(QStringLiteral("lstQuestions"));
    lstQuestions->setAccessibleName(tr("Questions of the file"));
    lstQuestions->setModel(m_model);
    lstQuestions->setTabKeyNavigation(false);
    lstQuestions->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lstQuestions->setSelectionBehavior(QAbstractItemView::SelectRows);
    lstQuestions->verticalHeader()->hide();
    lstQuestions->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    layout->addWidget(lstQuestions, 1);

    auto *random = new QHBoxLayout;
    auto *takeLabel = new QLabel(tr("&Take"), this);
    spnRandom = new QSpinBox(this);
    spnRandom->setObjectName(QStringLiteral("spnRandom"));
    spnRandom->setRange(1, m_choice.room());
    spnRandom->setValue(qMin(10, m_choice.room()));
    spnRandom->setAccessibleName(tr("How many to draw"));
    takeLabel->setBuddy(spnRandom);
    cmdDraw = new QPushButton(tr("at &random"), this);
    cmdDraw->setObjectName(QStringLiteral("cmdDraw"));
    lblChosen = new QLabel(this);
    lblChosen->setObjectName(QStringLiteral("lblChosen"));
    random->addWidget(takeLabel);
    random->addWidget(spnRandom);
    random->addWidget(cmdDraw);
    random->addStretch();
    random->addWidget(lblChosen);
    layout->addLayout(random);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    cmdImport = buttons->addButton(tr("&Import"), QDialogButtonBox::AcceptRole);
    cmdImport->setObjectName(QStringLiteral("cmdImport"));
    layout->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    const auto refilter = [this] {
        m_choice.setFilter(txtFilter->text(), cboCategory->currentData().toString());
        fill();
    };
    connect(txtFilter, &QLineEdit::textChanged, this, refilter);
    connect(cboCategory, &QComboBox::currentIndexChanged, this, refilter);
    connect(cmdDraw, &QPushButton::clicked, this, [this] {
        const int added = m_choice.draw(spnRandom->value(), quint32(QDateTime::currentMSecsSinceEpoch()));
        fill();
        // Said, as the draw adds to what was chosen before.
        lblChosen->setText(lblChosen->text() + QLatin1Char(' ')
                           + tr("%n more chosen at random; the earlier choices stay.", nullptr, added));
    });
    connect(m_model, &QStandardItemModel::itemChanged, this, [this](QStandardItem *item) {
        if (m_filling || item->column() != 0)
            return;
        m_choice.setChecked(item->data(Qt::UserRole).toInt(), item->checkState() == Qt::Checked);
        showCount();
    });
    fill();
}

void dlgBankChooser::fill()
{
    m_filling = true;
    m_model->setRowCount(0);
    for (int i : m_choice.shown()) {
        const BankEntry &e = m_choice.entries()[i];
        auto *number = new QStandardItem(QString::number(e.place + 1));
        number->setCheckable(true);
        number->setCheckState(m_choice.isChecked(i) ? Qt::Checked : Qt::Unchecked);
        number->setData(i, Qt::UserRole);
        // The question's text, on one line.
        const QString text = QString(e.text).replace(QLatin1Char('\r'), QString()).replace(QLatin1Char('\n'), QLatin1Char(' '));
        m_model->appendRow({number, new QStandardItem(e.trueFalse ? tr("True/False") : tr("Multiple choice")),
                            new QStandardItem(text), new QStandardItem(e.answers), new QStandardItem(e.media),
                            new QStandardItem(e.category)});
    }
    m_filling = false;
    lstQuestions->resizeColumnToContents(0);
    lstQuestions->resizeColumnToContents(1);
    showCount();
}

void dlgBankChooser::showCount()
{
    const int n = m_choice.checkedCount();
    const QString shown = tr("%1 of %2 questions shown.").arg(m_choice.shown().size()).arg(m_choice.entries().size());
    lblChosen->setText(shown + QLatin1Char(' ')
                       + (n > m_choice.room() ? tr("%1 chosen: more than the %2 the test has room for.").arg(n).arg(m_choice.room())
                                              : tr("%1 chosen; room for %2.").arg(n).arg(m_choice.room())));
    cmdImport->setEnabled(m_choice.canTake());
}

std::optional<QList<int>> dlgBankChooser::choose(const QList<BankEntry> &entries, int room, const QString &fileName,
                                                 QWidget *parent)
{
    dlgBankChooser dialog(BankChoice(entries, room), fileName, parent);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.choice().picked();
}
