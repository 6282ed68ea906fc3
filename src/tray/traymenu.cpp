#include "tray/traymenu.h"

#include "common/messageboxservice.h"
#include "settings/globalpastechoice.h"
#include "tray/categorymenu.h"
#include "tray/copyitemmenu.h"

#include <QActionGroup>
#include <QCoreApplication>
#include <QEvent>

namespace {

struct Shortcut
{
    const char *key;
    const char *description;
};

constexpr Shortcut kListShortcuts[] = {
    {"ALT", "switch categories"},
    {"ESC", "close the list"},
    {"DEL", "delete selected item(s)"},
    {"CTRL-Z", "put back the item(s) deleted last"},
    {"CTRL-M", "move the list window"},
    {"CTRL-D", "disable the Quick List feature"},
    {"CTRL-C", "bring up the Configuration window"},
    {"CTRL-E", "edit the selected text or image item"},
    {"CTRL-P", "show/hide preview window"},
    {"CTRL-T", "show/hide tooltips window"},
    {"CTRL-G", "change Global Pasting Method"},
    {"CTRL-F", "search all categories (ESC ends the search)"},
};

} // namespace

TrayMenu::TrayMenu(const Collection &collection, const Options &options, ItemClipboard &clipboard,
                   MessageBoxService &messages, QWidget *parent)
    : QMenu(parent)
    , m_options(options)
    , m_messages(messages)
{
    setObjectName(QStringLiteral("stpm"));

    QAction *configuration = addEntry(this, QStringLiteral("&Configuration..."), "Options1");
    setDefaultAction(configuration);
    connect(configuration, &QAction::triggered, this, &TrayMenu::configurationRequested);

    QMenu *help = addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    help->menuAction()->setObjectName(QStringLiteral("Help1"));
    QAction *tip = addEntry(help, QStringLiteral("&Tip Of The Day..."), "TipOfTheDay1");
    QAction *shortcuts = addEntry(help, QStringLiteral("&Keyboard Shortcuts"), "KeyboardShortcuts1");
    help->addSeparator();
    QAction *topics = addEntry(help, QStringLiteral("Help Topics..."), "HelpTopics1");
    QAction *example = addEntry(help, QStringLiteral("Example Page"), "ExamplePage1");
    help->addSeparator();
    QAction *updates = addEntry(help, QStringLiteral("Check for &Updates"), "CheckForNewVersion1");
    QAction *about = addEntry(help, QStringLiteral("&About Scrapkeeper v2.3"), "About1");
    connect(tip, &QAction::triggered, this, &TrayMenu::tipOfTheDayRequested);
    connect(shortcuts, &QAction::triggered, this, &TrayMenu::showKeyboardShortcuts);
    connect(topics, &QAction::triggered, this, &TrayMenu::helpTopicsRequested);
    connect(example, &QAction::triggered, this, &TrayMenu::examplePageRequested);
    connect(updates, &QAction::triggered, this, &TrayMenu::checkForUpdatesRequested);
    connect(about, &QAction::triggered, this, &TrayMenu::aboutRequested);

    QAction *exit = addEntry(this, QStringLiteral("E&xit Scrapkeeper"), "Exit1");
    connect(exit, &QAction::triggered, this, &TrayMenu::exitRequested);
    addSeparator();
    m_quickList = addEntry(this, QStringLiteral("&Quick List Active"), "Active1");
    m_quickList->setCheckable(true);
    addSeparator();
    m_autoText = addEntry(this, QStringLiteral("Auto Capture &Text"), "AutoText1");
    m_autoText->setCheckable(true);
    m_autoImages = addEntry(this, QStringLiteral("Auto Capture &Images"), "AutoBmp1");
    m_autoImages->setCheckable(true);
    addSeparator();
    buildGlobalPasteMenu();
    addSeparator();

    m_copyItem = new CopyItemMenu(collection, options, clipboard, this);
    m_copyItem->setObjectName(QStringLiteral("Copyitem1"));
    addMenu(m_copyItem)->setObjectName(QStringLiteral("Copyitem1"));
    m_categories = new CategoryMenu(this);
    m_categories->setObjectName(QStringLiteral("Setcurrentcat1"));
    addMenu(m_categories)->setObjectName(QStringLiteral("Setcurrentcat1"));
    // A capture since the last look shows at the top of "Copy Item" at once.
    connect(this, &QMenu::aboutToShow, m_copyItem, &CopyItemMenu::rebuildIfStale);

    applyLook();
}

QAction *TrayMenu::addEntry(QMenu *menu, const QString &caption, const char *name)
{
    QAction *entry = menu->addAction(caption);
    entry->setObjectName(QLatin1String(name));
    return entry;
}

void TrayMenu::buildGlobalPasteMenu()
{
    m_globalPaste = addMenu(QStringLiteral("Set Global Paste Method"));
    m_globalPaste->setObjectName(QStringLiteral("GlobalPasteMethod1"));
    m_globalPaste->menuAction()->setObjectName(QStringLiteral("GlobalPasteMethod1"));
    m_globalPasteGroup = new QActionGroup(m_globalPaste);
    m_globalPasteGroup->setExclusive(true);
    const auto addChoice = [this](const QString &caption, const char *name, int choice) {
        QAction *entry = addEntry(m_globalPaste, caption, name);
        entry->setCheckable(true);
        entry->setData(choice);
        m_globalPasteGroup->addAction(entry);
        connect(entry, &QAction::triggered, this, [this, choice] { emit globalPasteChosen(choice); });
    };
    const QStringList &methods = GlobalPasteChoice::methodCaptions();
    addChoice(methods[0], "Overwrite1", 0);
    addChoice(methods[1], "EnterKeystrokes1", 1);
    addChoice(methods[2], "InsertText1", 2);
    m_globalPaste->addSeparator();
    addChoice(GlobalPasteChoice::disableCaption(), "Disable1", GlobalPasteChoice::Disabled);
    showGlobalPasteChoice(GlobalPasteChoice::Disabled);
}

void TrayMenu::showGlobalPasteChoice(int choice)
{
    for (QAction *entry : m_globalPasteGroup->actions()) {
        if (entry->data().toInt() == choice)
            entry->setChecked(true);
    }
}

void TrayMenu::applyLook()
{
    m_style.setLook(TrayMenuLook::fromOptions(m_options));
    // The menus measure their entries anew with the new bar.
    QList<QMenu *> menus = findChildren<QMenu *>();
    menus.prepend(this);
    for (QMenu *menu : std::as_const(menus)) {
        if (menu->style() != &m_style) {
            menu->setStyle(&m_style);
        } else {
            QEvent changed(QEvent::StyleChange);
            QCoreApplication::sendEvent(menu, &changed);
        }
    }
}

QString TrayMenu::keyboardShortcutsText()
{
    QStringList lines{QStringLiteral("These shortcuts apply when the pop-up list is showing:"), QString()};
    for (const Shortcut &shortcut : kListShortcuts)
        lines << QStringLiteral("%1:\t%2").arg(QLatin1String(shortcut.key), QLatin1String(shortcut.description));
    return lines.join(QLatin1String("\r\n"));
}

void TrayMenu::showKeyboardShortcuts()
{
    m_messages.show(MessageBoxService::Icon::Information, QStringLiteral("Shortcuts"), keyboardShortcutsText(),
                    MessageBoxService::Ok);
}
