#pragma once

#include "config/dialogs/imageviewerrules.h"

#include <QDialog>
#include <QPoint>

#include <functional>
#include <optional>

class Clipboard;
class FileDialogs;
class MessageBoxService;
class QAction;
class QLabel;
class QMenu;
class QRubberBand;
class QScrollArea;
struct Item;

// Shows the picture of an image item in a window sized to it; the user can
// crop it, replace it from the clipboard, undo one step, copy it, save it to
// a file, rename the item and store the changes back into the item.
class ImageViewer : public QDialog
{
    Q_OBJECT
public:
    // Asks for a new alias, starting from `current`; nothing when cancelled.
    using AliasAsker = std::function<std::optional<QString>(QWidget *parent, const QString &current)>;

    // Errors writing a file go to the program's error handler.
    ImageViewer(Item &item, Clipboard &clipboard, FileDialogs &files, QWidget *parent = nullptr);
    ~ImageViewer() override;

    // Shows why an item's picture cannot be viewed; false when it can.
    static bool reportUnviewable(const Item &item, MessageBoxService &messages);

    // Runs before the viewer's own copy, so the copy is not captured again.
    void setClipboardGuard(std::function<void()> guard) { m_clipboardGuard = std::move(guard); }
    void setAliasAsker(AliasAsker asker) { m_askAlias = std::move(asker); }

    // Whether the item was changed by a save.
    bool saved() const { return m_saved; }
    const QImage &picture() const { return m_rules.picture(); }
    bool cropping() const { return m_cropMode; }

signals:
    void helpRequested(const QString &topic);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildMenus();
    void showPicture();
    void fitWindow();
    void showCaption();
    void showDate();
    void refreshFileMenu();
    void refreshEditMenu();
    void setCropMode(bool on);
    void pictureMoved(QPoint at);
    void pictureReleased(QPoint at);

    void setDefaultAlias();
    void setCustomAlias();
    bool save();
    void saveAs();
    void undo();
    void copy();
    void paste();

    Item &m_item;
    Clipboard &m_clipboard;
    FileDialogs &m_files;
    ImageViewerRules m_rules;
    std::function<void()> m_clipboardGuard;
    AliasAsker m_askAlias;

    QScrollArea *m_scroll = nullptr;
    QLabel *m_image = nullptr;
    QLabel *m_coordinates = nullptr;
    QLabel *m_details = nullptr;
    QRubberBand *m_band = nullptr;
    QAction *m_updateDate = nullptr;
    QAction *m_save = nullptr;
    QAction *m_undo = nullptr;
    QAction *m_paste = nullptr;

    bool m_cropMode = false;
    bool m_dragging = false;
    QPoint m_dragStart;
    bool m_saved = false;
};
