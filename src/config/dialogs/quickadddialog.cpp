#include "config/dialogs/quickadddialog.h"

#include "config/dialogs/screencentre.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

const QColor kDisabledEditBackground(192, 192, 192);
constexpr int kExtraTextAction = 5;

const QStringList kActions = {
    QStringLiteral("None"),          QStringLiteral("Press Tab key"),       QStringLiteral("Press Enter key"),
    QStringLiteral("Press Spacebar"), QStringLiteral("Jump cursor to next"), QStringLiteral("Specify extra text"),
};

QLabel *heading(const QString &text)
{
    auto *label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QString named(const char *name, int row)
{
    return QLatin1String(name) + QString::number(row + 1);
}

} // namespace

QuickAddDialog::QuickAddDialog(QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("frmQuickAdd"));
    setWindowTitle(QStringLiteral("Quick Add"));

    auto *grid = new QGridLayout;
    grid->addWidget(heading(QStringLiteral("Add?")), 0, 0);
    grid->addWidget(heading(QStringLiteral("Text (to be pasted)")), 0, 1);
    grid->addWidget(heading(QStringLiteral("Action to perform after paste")), 0, 2, 1, 2);
    grid->addWidget(heading(QStringLiteral("How many times?")), 0, 4);
    grid->setColumnStretch(1, 2);
    grid->setColumnStretch(3, 1);

    for (int index = 0; index < RowCount; ++index) {
        const QString number = QString::number(index + 1);
        Row row;
        row.add = new QCheckBox;
        row.add->setObjectName(named("cb", index));
        row.add->setAccessibleName(QStringLiteral("Add? row ") + number);
        row.text = new QLineEdit;
        row.text->setObjectName(named("Text", index));
        row.text->setAccessibleName(QStringLiteral("Text (to be pasted) row ") + number);
        // Room for a sentence, not a word: the text is what the row is for.
        row.text->setMinimumWidth(row.text->fontMetrics().averageCharWidth() * 36);
        row.action = new QComboBox;
        row.action->setObjectName(named("actioncombo", index));
        row.action->setAccessibleName(QStringLiteral("Action to perform after paste row ") + number);
        row.action->addItems(kActions);
        row.action->setCurrentIndex(0);
        row.extraText = new QLineEdit;
        row.extraText->setObjectName(named("extraedit", index));
        row.extraText->setAccessibleName(QStringLiteral("Extra text row ") + number);
        row.extraText->setEnabled(false);
        row.count = new QSpinBox;
        row.count->setObjectName(named("actionse", index));
        row.count->setAccessibleName(QStringLiteral("How many times? row ") + number);
        // The data file holds the count as one digit.
        row.count->setRange(1, 9);
        row.count->setValue(1);
        row.count->setEnabled(false);

        grid->addWidget(row.add, index + 1, 0, Qt::AlignCenter);
        grid->addWidget(row.text, index + 1, 1);
        grid->addWidget(row.action, index + 1, 2);
        grid->addWidget(row.extraText, index + 1, 3);
        grid->addWidget(row.count, index + 1, 4);
        m_rows.append(row);
        actionChanged(index);
        row.add->setChecked(false);

        // Whatever the user types in a row means that row is wanted.
        const auto check = [box = row.add] { box->setChecked(true); };
        connect(row.text, &QLineEdit::textChanged, row.add, check);
        connect(row.extraText, &QLineEdit::textChanged, row.add, check);
        connect(row.count, &QSpinBox::valueChanged, row.add, check);
        connect(row.action, &QComboBox::currentIndexChanged, this, [this, index] { actionChanged(index); });
        row.extraText->installEventFilter(this);
    }

    auto *ok = new QPushButton(QStringLiteral("OK"));
    ok->setObjectName(QStringLiteral("OKbtn"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"));
    cancel->setObjectName(QStringLiteral("Cancelbtn"));
    auto *help = new QPushButton(QStringLiteral("Help"));
    help->setObjectName(QStringLiteral("Helpbtn"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);

    connect(ok, &QPushButton::clicked, this, &QuickAddDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QuickAddDialog::reject);
    connect(help, &QPushButton::clicked, this, [this] { emit helpRequested(QStringLiteral("Quick Add")); });
}

QList<QuickAddRow> QuickAddDialog::rows() const
{
    QList<QuickAddRow> result;
    for (const Row &row : m_rows)
        result.append({row.add->isChecked(), row.text->text(), row.action->currentIndex(), row.extraText->text(),
                       row.count->value()});
    return result;
}

void QuickAddDialog::actionChanged(int index)
{
    const Row &row = m_rows[index];
    const int action = row.action->currentIndex();
    row.count->setEnabled(action > 0);
    const bool extraText = action == kExtraTextAction;
    row.extraText->setEnabled(extraText);
    if (extraText) {
        row.extraText->setPalette(QPalette());
        row.extraText->setFocus();
    } else {
        QPalette greyed = row.extraText->palette();
        greyed.setColor(QPalette::Base, kDisabledEditBackground);
        row.extraText->setPalette(greyed);
    }
    row.add->setChecked(true);
}

void QuickAddDialog::extraTextLeft(int index)
{
    const Row &row = m_rows[index];
    // An extra-text action without its text would paste nothing extra.
    if (row.action->currentIndex() == kExtraTextAction && row.extraText->text().isEmpty())
        row.action->setCurrentIndex(0);
}

bool QuickAddDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        for (int index = 0; index < m_rows.size(); ++index) {
            if (watched == m_rows[index].extraText)
                extraTextLeft(index);
        }
    }
    return QDialog::eventFilter(watched, event);
}

void QuickAddDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen(this);
}
