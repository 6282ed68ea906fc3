#pragma once

#include <QWidget>

class EditMoreSession;
class QListWidget;
class QMenu;
class QToolButton;

// The window beside the item editor listing every item of the category, one
// check-box entry each. It only shows the session and passes on what the user
// does; the editor decides what follows.
class EditMoreList : public QWidget
{
    Q_OBJECT
public:
    EditMoreList(const EditMoreSession &session, const QString &categoryName, QWidget *editor);

    // Selection, current entry and checks as the session has them now.
    void showSession();
    // Beside the editor, right edge to its left edge, tops level; as tall as
    // its entries need, at most as tall as the editor.
    void placeBeside(const QWidget &editor);

    QMenu *optionsMenu() const { return m_options; }

signals:
    void entriesPicked(const QList<int> &entries, int current);
    void entryChecked(int entry, bool checked);
    void selectAllRequested();
    void invertSelectionRequested();
    void helpRequested();
    // The window's close box was used: the editor hides the list as its own
    // ">> Cancel" does, so the edits made through it are dropped.
    void hideRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void selectionChanged();

    const EditMoreSession &m_session;
    QListWidget *m_list = nullptr;
    QToolButton *m_optionsButton = nullptr;
    QMenu *m_options = nullptr;
    bool m_syncing = false;
};
