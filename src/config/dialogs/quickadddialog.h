#pragma once

#include "config/dialogs/quickaddrows.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QSpinBox;

// "Quick Add": eight rows, each a short text item with its after-paste
// action, added to the current category in one step.
class QuickAddDialog : public QDialog
{
    Q_OBJECT
public:
    static constexpr int RowCount = 8;

    explicit QuickAddDialog(QWidget *parent = nullptr);

    // The rows as typed, row 1 first.
    QList<QuickAddRow> rows() const;

    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void helpRequested(const QString &topic);

protected:
    void showEvent(QShowEvent *event) override;

private:
    struct Row
    {
        QCheckBox *add = nullptr;
        QLineEdit *text = nullptr;
        QComboBox *action = nullptr;
        QLineEdit *extraText = nullptr;
        QSpinBox *count = nullptr;
    };

    void actionChanged(int row);
    void extraTextLeft(int row);

    QList<Row> m_rows;
};
