#pragma once

#include <QGroupBox>
#include <QList>
#include <QStringList>

class QButtonGroup;
class QGridLayout;
class QRadioButton;

// A titled column of radio buttons of which exactly one is chosen, read and
// set as the chosen index. A choice may have a control beside it.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    RadioGroup(const QString &title, const QStringList &choices, QWidget *parent = nullptr);

    int index() const;
    // An index outside the choices chooses the nearest one.
    void setIndex(int index);
    QRadioButton *button(int index) const { return m_buttons.value(index); }
    int count() const { return int(m_buttons.size()); }
    void setBeside(int index, QWidget *widget);

signals:
    void indexChanged(int index);

private:
    QButtonGroup *m_group;
    QGridLayout *m_layout;
    QList<QRadioButton *> m_buttons;
};
