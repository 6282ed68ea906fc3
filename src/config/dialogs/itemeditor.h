#pragma once

#include "config/dialogs/editmoresession.h"

#include <QDialog>

#include <array>
#include <functional>

struct Item;
class EditMoreList;
class FileDialogs;
class FormatBar;
class MessageBoxService;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QSpinBox;
class QTabWidget;
class QToolButton;
class RichEdit;

// The dialog in which a text item is written or changed: its text (plain or
// rich), alias, after-paste action with its count or extra text, and its own
// paste method. It never touches the collection: the caller fills it, shows
// it and reads it back after OK.
class ItemEditor : public QDialog
{
    Q_OBJECT
public:
    // Add: a new item, with "Add to every category". Edit: from the
    // configuration window, with "Update date created". EditFromList: from
    // the pop-up list, with neither.
    enum class Mode { Add, Edit, EditFromList };

    static constexpr qint64 MaxFileSize = 10 * 1024 * 1024;
    // An item's text longer than this is not opened: laying all of it out
    // would stall the program for minutes. The same bound as a loaded file.
    static constexpr qsizetype MaxItemText = MaxFileSize;
    static const QString TooLargeToEdit;
    static const QString FileFilter;
    static const QString HelpTopic;
    static const QString EditMoreHelpTopic;
    static const QString MultiEditNotice;
    static const QString ImageCannotEdit;

    ItemEditor(Mode mode, MessageBoxService &messages, FileDialogs &files, QWidget *parent = nullptr);

    // Before an editor or a print window is made for `item` (both lay out its
    // whole text): true, and the user told why, when its text is past MaxItemText.
    static bool reportTooLarge(const Item &item, MessageBoxService &messages);

    void setFields(const Item &item);
    // After OK: writes the editor's fields into the record (text, kind,
    // alias, action, extra text, count and paste method), and a new creation
    // date when "Update date created" is checked.
    void writeFields(Item &item) const;
    bool everyCategory() const;
    bool updateCreated() const;

    // Runs before the text box writes to the clipboard, so the program does
    // not capture its own Cut and Copy.
    void setClipboardGuard(std::function<void()> guard) { m_clipboardGuard = std::move(guard); }

    // Edit mode from the tree: "<< Edit More" widens the editor to every item
    // of the category through `session`, which must outlive the editor.
    void setEditMore(EditMoreSession &session, const QString &categoryName);
    // After OK: the session's checked entries are the result, not the fields.
    bool editMoreShowing() const { return m_editMoreShowing; }
    void toggleEditMore();
    EditMoreList *editMoreList() const { return m_moreList; }
    void showMultiEditNotice();

    bool richTextMode() const;
    // Completes the record as OK does and closes the dialog with OK.
    void complete();
    void loadFile();
    void saveFile();
    void showPasteMethodHelp();
    // The text box's context menu with its entries enabled for the moment.
    QMenu *contextMenu();

signals:
    void helpRequested(const QString &topic);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    QWidget *buildTextPage();
    QWidget *buildPropertiesPage();
    void buildContextMenu();
    void useRichText(bool rich);
    void followMode();
    void updateFormattingEnabled();
    void textChanged();
    void updateActionControls(bool userChange);
    void fillProperties();
    void showImageNotice(bool image);
    void recordChange(EditMoreSession::Field field);
    void showMarkers(EditMoreSession::Fields fields);
    void updateMultiNotice();
    void connectEditMoreList();
    void pickEntries(const QList<int> &entries, int current);
    void loadFrom(const QString &path);
    void saveTo(const QString &path) const;

    Mode m_mode;
    MessageBoxService &m_messages;
    FileDialogs &m_files;
    std::function<void()> m_clipboardGuard;

    QTabWidget *m_pages = nullptr;
    QWidget *m_textPage = nullptr;
    RichEdit *m_text = nullptr;
    QToolButton *m_plainButton = nullptr;
    QToolButton *m_richButton = nullptr;
    FormatBar *m_formatBar = nullptr;
    QPushButton *m_loadButton = nullptr;
    QPushButton *m_saveButton = nullptr;
    QPushButton *m_editMoreButton = nullptr;
    QLineEdit *m_alias = nullptr;
    QComboBox *m_actionCombo = nullptr;
    QLineEdit *m_extraText = nullptr;
    QSpinBox *m_count = nullptr;
    QLabel *m_countLabel = nullptr;
    QButtonGroup *m_pasteMethod = nullptr;
    QToolButton *m_pasteHelp = nullptr;
    QCheckBox *m_everyCategory = nullptr;
    QCheckBox *m_updateCreated = nullptr;
    QLineEdit *m_created = nullptr;
    QLineEdit *m_words = nullptr;
    QLineEdit *m_characters = nullptr;
    QLineEdit *m_lines = nullptr;
    QLineEdit *m_aliasLength = nullptr;
    QMenu *m_menu = nullptr;
    QToolButton *m_multiNotice = nullptr;
    std::array<std::pair<EditMoreSession::Field, QFrame *>, 6> m_markers{};
    bool m_aliasFollows = false;
    bool m_loading = false;       // a record is being shown, not edited
    bool m_showingImage = false;  // a picture entry disabled the controls

    EditMoreSession *m_session = nullptr;
    EditMoreList *m_moreList = nullptr;
    bool m_editMoreShowing = false;
};
