#pragma once

#include "popup/selectionorder.h"
#include "popup/itemtooltip.h"
#include "popup/previewwindow.h"

#include "platform/desktop.h"

#include <QPointer>
#include <QWidget>

#include <functional>

class Collection;
class MessageBoxService;
class Options;
class PasteEngine;
class PopupListModel;
class QLineEdit;
class QListView;
class QToolButton;
class SearchEngine;
struct Item;

// The pop-up list: a small always-on-top window under the caret that lists
// the current category's items, lets the user pick several in an order, and
// hands the pick to the paste engine.
class PopupList : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StripHeight = 13;

    PopupList(Collection &collection, Options &options, PasteEngine &engine, Desktop &desktop,
           MessageBoxService &messages, ForeignFocus &target, QWidget *parent = nullptr);

    // Fills, sizes and places the window; run on every show and rebuild.
    void rebuild();
    // The keyboard back to the list (to its rows, while it has any) after a
    // menu elsewhere had it.
    void takeFocus();
    void pasteSelection();
    void closeList();
    void deleteSelected();
    // Ctrl+Z: puts back what was deleted last, in its category at its place.
    void undoDelete();
    // A line above the entries telling the user something they must know
    // before they paste (the last copy was not kept); empty for none.
    void setNotice(const QString &text);
    QString notice() const { return m_noticeText; }
    // Opens the item editor on the focused entry; see setItemEditor.
    void editFocused();
    // Ctrl+F: the search field above the rows, holding `typed`; the rows
    // become the items of every category that match it.
    void openSearch(const QString &typed = {});
    // Esc in the search: the rows are the current category's again.
    void closeSearch();
    bool searchOpen() const { return m_searchOpen; }
    QLineEdit *searchField() const { return m_search; }
    SearchEngine &finder() const { return *m_finder; }
    // What edits a record in place, answering false when the user cancelled.
    void setItemEditor(std::function<bool(Item &)> editor) { m_itemEditor = std::move(editor); }

    void togglePreview();
    void toggleTooltip();
    void toggleMoveMode();
    void hideTooltip();
    bool createPreview();
    void placePreview();
    PreviewWindow *preview() const { return m_preview; }
    ItemTooltip *hintWindow() const { return m_hint; }
    bool moveMode() const { return m_moveMode; }

    const QList<int> &selectionOrder() const { return m_order.order(); }
    QListView *list() const { return m_list; }
    int currentRow() const;
    int itemHeight() const { return m_itemHeight; }
    bool noItems() const { return m_noItems; }

signals:
    void closed();
    void disableRequested();
    void configurationRequested();
    void categoryChosen(int index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QToolButton *addStripButton(const char *name, int left, int width, const QString &text, const QString &hint);
    void layOut();
    void enableItemControls(bool on);
    void showCurrentCategory();
    void showSearchStarted();
    void showFound(const QList<Item *> &items);
    bool handleSearchKey(class QKeyEvent *key);
    bool typedIntoSearch(class QKeyEvent *key);
    bool isListShortcut(const class QKeyEvent *key) const;
    void focusInput();
    void updateSelectionOrder();
    void showCategoryMenu();
    void showGlobalMethodMenu();
    void keepOnScreen();
    void shapeWindow();
    void followPointer(QPoint position);
    Item *entryAt(int row) const;
    void forgetEntries(const std::function<bool(const Item *)> &freed);
    void setCurrentRow(int row);
    QList<int> selectedRows() const;
    bool handleKey(class QKeyEvent *key);
    void checkActivation();
    bool isCompanion(const QWidget *window) const;

    Collection &m_collection;
    Options &m_options;
    PasteEngine &m_engine;
    Desktop &m_desktop;
    MessageBoxService &m_messages;
    ForeignFocus &m_target;

    QWidget *m_strip = nullptr;
    QToolButton *m_categoryButton = nullptr;
    QToolButton *m_methodButton = nullptr;
    QList<QToolButton *> m_itemButtons;
    QListView *m_list = nullptr;
    class QLabel *m_notice = nullptr;
    QString m_noticeText;
    PopupListModel *m_rows = nullptr;
    QList<class QShortcut *> m_itemShortcuts;
    QList<class QShortcut *> m_windowShortcuts;  // working on an empty list too
    QLineEdit *m_search = nullptr;
    SearchEngine *m_finder = nullptr;
    bool m_searchOpen = false;
    SelectionOrder m_order;
    int m_itemHeight = 0;
    bool m_noItems = false;
    bool m_wasActive = false;
    bool m_busy = false;  // a menu, a question or a paste is running
    bool m_filling = false;  // rebuild() settles the selection order once, at its end
    bool m_moveMode = false;
    QWidget *m_moveOverlay = nullptr;
    QPoint m_dragOffset;
    int m_hoverIndex = -2;
    QPointer<PreviewWindow> m_preview;
    QPointer<ItemTooltip> m_hint;
    std::function<bool(Item &)> m_itemEditor;
};
