#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The modeless find window of the tree: a text, the match-case option and
// the direction; each "Find Next" asks for the next match.
class FindDialog : public QDialog
{
    Q_OBJECT
public:
    explicit FindDialog(QWidget *parent = nullptr);

    QString text() const;
    bool matchCase() const;
    bool searchDown() const;

    // True once a search ran since the dialog was last shown: the next one
    // continues past the selection instead of looking at it again.
    bool continuing() const { return m_continuing; }
    void markSearched() { m_continuing = true; }

signals:
    void findNext();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QLineEdit *m_text = nullptr;
    QCheckBox *m_matchCase = nullptr;
    QRadioButton *m_up = nullptr;
    QRadioButton *m_down = nullptr;
    QPushButton *m_findNext = nullptr;
    bool m_continuing = false;
};
