#pragma once

#include <QDialog>

class QCheckBox;
class QLabel;

// One tip at a time, with "Next Tip" to go on and the choice of seeing a tip
// at every start.
class TipOfTheDayDialog : public QDialog
{
    Q_OBJECT
public:
    TipOfTheDayDialog(int index, bool showOnStart, QWidget *parent = nullptr);

    int index() const { return m_index; }
    bool showOnStart() const;
    void nextTip();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void showTip();

    int m_index = 0;
    QLabel *m_tip = nullptr;
    QLabel *m_trayPicture = nullptr;
    QCheckBox *m_showOnStart = nullptr;
};
