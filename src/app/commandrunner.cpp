#include "app/commandrunner.h"

#include "app/modalgate.h"
#include "app/scrapkeeper.h"
#include "capture/clipboardcontent.h"
#include "capture/itemclipboard.h"
#include "common/programerror.h"
#include "popup/popuplist.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTimer>

namespace {

using CommandWire::Reply;

const QString kDialogOpen = QStringLiteral("a Scrapkeeper dialog is open; answer it first");

// A name or alias as one line of a message or a listing can hold it.
QString oneLine(QString text)
{
    for (QChar &c : text) {
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator || c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    }
    return text;
}

QString quoted(const QString &name)
{
    return QLatin1Char('"') + oneLine(name) + QLatin1Char('"');
}

QString kindName(ItemKind kind)
{
    switch (kind) {
    case ItemKind::PlainText: return QStringLiteral("text");
    case ItemKind::RichText: return QStringLiteral("rich");
    case ItemKind::Image: return QStringLiteral("image");
    }
    return QStringLiteral("text");
}

} // namespace

CommandRunner::CommandRunner(Scrapkeeper &program, QObject *parent)
    : QObject(parent), m_program(program)
{
}

void CommandRunner::handle(const Command &command, const CommandWire::Request &request, Answer answer)
{
    // In the midst of reading or writing a data file the collection is about
    // to be replaced: the command waits the moment until it stands.
    if (m_program.busyWithFile()) {
        QTimer::singleShot(20, this, [this, command, request, answer] { handle(command, request, answer); });
        return;
    }
    run(command, request, answer);
}

void CommandRunner::run(const Command &command, const CommandWire::Request &request, const Answer &answer)
{
    using Verb = Command::Verb;
    Reply reply;
    // A failure on the way is told to the shell the command came from, where
    // the user is, instead of in a box on the desktop; the program goes on.
    try {
        switch (command.verb) {
        case Verb::Add: reply = add(command, request); break;
        case Verb::List: reply = list(command); break;
        case Verb::Categories: reply = categories(command); break;
        case Verb::Read: reply = read(command); break;
        case Verb::Copy: reply = copy(command); break;
        case Verb::Paste: reply = paste(command); break;
        case Verb::Popup: reply = popup(command.fromHotkey); break;
        case Verb::Show: reply = show(); break;
        case Verb::Help: reply = Reply::done(CommandLine::help().toUtf8()); break;
        case Verb::Version: reply = Reply::done(CommandLine::version().toUtf8()); break;
        case Verb::Quit:
            m_quitting << answer;
            // A paste under way stops first: its keys must not outlive the program's windows.
            m_program.popups().stopPasting();
            m_program.quit();
            return;
        }
    } catch (const ProgramError &error) {
        reply = Reply::refused(oneLine(error.message()));
    } catch (const std::exception &error) {
        reply = Reply::refused(QStringLiteral("the command failed: %1").arg(QString::fromLocal8Bit(error.what())));
    }
    answer(reply);
}

void CommandRunner::quitFinished()
{
    for (const Answer &answer : std::as_const(m_quitting))
        answer(Reply::done());
    m_quitting.clear();
}

CategoryNode *CommandRunner::categoryOf(const Command &command, QString *why) const
{
    Collection &collection = m_program.collection();
    if (!command.category) {
        if (CategoryNode *current = collection.currentCategory())
            return current;
        *why = QStringLiteral("there is no current category");
        return nullptr;
    }
    if (CategoryNode *named = collection.findCategory(*command.category))
        return named;
    *why = QStringLiteral("no category named %1").arg(quoted(*command.category));
    return nullptr;
}

const Item *CommandRunner::itemOf(const CategoryNode &category, int number, QString *why)
{
    if (number >= 1 && number <= category.itemCount())
        return category.items[size_t(number - 1)].get();
    *why = category.itemCount() == 0
               ? QStringLiteral("category %1 has no items").arg(quoted(category.name))
               : QStringLiteral("category %1 has no item %2 (it holds %3)")
                     .arg(quoted(category.name))
                     .arg(number)
                     .arg(category.itemCount());
    return nullptr;
}

Reply CommandRunner::add(const Command &command, const CommandWire::Request &request)
{
    QString why;
    CategoryNode *category = categoryOf(command, &why);
    if (!category)
        return Reply::refused(why);
    // The same reading as a plain-text copy on the clipboard.
    const QString text = ClipboardContent::decodePlainText(command.text ? command.text->toUtf8() : request.input);
    if (text.isEmpty())
        return Reply::refused(command.text ? QStringLiteral("nothing to add: the text is empty")
                                           : QStringLiteral("nothing to add: standard input is empty"));
    const ClipboardMonitor::Added added = m_program.clipboardMonitor().addText(text, category);
    if (added.refusal)
        return Reply::refused(oneLine(added.refusal.why));
    return Reply::done();
}

Reply CommandRunner::list(const Command &command)
{
    QString why;
    const CategoryNode *category = categoryOf(command, &why);
    if (!category)
        return Reply::refused(why);
    if (!command.json) {
        QString lines;
        for (int i = 0; i < category->itemCount(); ++i)
            lines += QString::number(i + 1) + QLatin1Char('\t') + oneLine(category->items[size_t(i)]->alias)
                     + QLatin1Char('\n');
        return Reply::done(lines.toUtf8());
    }
    QJsonArray items;
    for (int i = 0; i < category->itemCount(); ++i) {
        const Item &item = *category->items[size_t(i)];
        items.append(QJsonObject{
            {QStringLiteral("index"), i + 1},
            {QStringLiteral("kind"), kindName(item.kind)},
            {QStringLiteral("alias"), item.alias},
            {QStringLiteral("text"), item.kind == ItemKind::Image
                                         ? QJsonValue(QJsonValue::Null)
                                         : QJsonValue(ItemClipboard::withLf(ItemClipboard::plainText(item)))},
            {QStringLiteral("created"), item.created},
        });
    }
    return Reply::done(QJsonDocument(items).toJson(QJsonDocument::Compact) + '\n');
}

Reply CommandRunner::categories(const Command &command)
{
    const Collection &collection = m_program.collection();
    if (!command.json) {
        QString lines;
        for (const auto &category : collection.categories()) {
            lines += oneLine(category->name) + QLatin1Char('\t') + QString::number(category->itemCount());
            if (category.get() == collection.currentCategory())
                lines += QStringLiteral("\tcurrent");
            lines += QLatin1Char('\n');
        }
        return Reply::done(lines.toUtf8());
    }
    QJsonArray categories;
    for (const auto &category : collection.categories())
        categories.append(QJsonObject{{QStringLiteral("name"), category->name},
                                      {QStringLiteral("items"), category->itemCount()},
                                      {QStringLiteral("current"), category.get() == collection.currentCategory()}});
    return Reply::done(QJsonDocument(categories).toJson(QJsonDocument::Compact) + '\n');
}

Reply CommandRunner::read(const Command &command)
{
    QString why;
    const CategoryNode *category = categoryOf(command, &why);
    const Item *item = category ? itemOf(*category, command.numbers.first(), &why) : nullptr;
    if (!item)
        return Reply::refused(why);
    if (item->kind == ItemKind::Image)
        return Reply::refused(QStringLiteral("item %1 of %2 is a picture and has no text")
                                  .arg(command.numbers.first())
                                  .arg(quoted(category->name)));
    return Reply::done(ItemClipboard::withLf(ItemClipboard::plainText(*item)).toUtf8());
}

Reply CommandRunner::copy(const Command &command)
{
    QString why;
    const CategoryNode *category = categoryOf(command, &why);
    const Item *item = category ? itemOf(*category, command.numbers.first(), &why) : nullptr;
    if (!item)
        return Reply::refused(why);
    if (!m_program.itemClipboard().put(*item))
        return Reply::refused(QStringLiteral("the picture of item %1 cannot be read").arg(command.numbers.first()));
    return Reply::done();
}

Reply CommandRunner::paste(const Command &command)
{
    QString why;
    const CategoryNode *category = categoryOf(command, &why);
    if (!category)
        return Reply::refused(why);
    QList<const Item *> items;
    for (const int number : command.numbers) {
        const Item *item = itemOf(*category, number, &why);
        if (!item)
            return Reply::refused(why);
        items << item;
    }
    // Keys sent under a modal dialog of ours would go astray; the hotkey brings the dialog forward instead.
    if (ModalGate::modalUp()) {
        m_program.onHotkeyPressed(0);
        return Reply::refused(kDialogOpen);
    }
    switch (m_program.popups().pasteInFront(items)) {
    case PopupController::PasteOutcome::Pasted: return Reply::done();
    case PopupController::PasteOutcome::Stopped:
        return Reply::refused(QStringLiteral("the paste stopped: the window in front did not take it, or Esc or "
                                             "another window ended it"));
    case PopupController::PasteOutcome::NoWindow:
        return Reply::refused(QStringLiteral("there is no window in front to paste into"));
    case PopupController::PasteOutcome::OwnWindow:
        return Reply::refused(QStringLiteral("the window in front is Scrapkeeper's own"));
    case PopupController::PasteOutcome::ListOpen: return Reply::refused(QStringLiteral("the pop-up list is open"));
    case PopupController::PasteOutcome::Busy: return Reply::refused(QStringLiteral("another paste is under way"));
    }
    return Reply::refused(QStringLiteral("the paste failed"));
}

Reply CommandRunner::popup(bool fromHotkey)
{
    // While the list is off the hotkey is not the program's: bound in the
    // desktop, the key goes on to the window in front as it would unbound,
    // also into a dialog of the configuration window.
    const bool windowOpen = !m_program.isMinimisedState();
    const bool listOff = windowOpen || !m_program.options().flag(Option::QuickListActive);
    if (fromHotkey && listOff && !m_program.popups().pasting() && m_program.popups().passOnHotkey())
        return Reply::done();
    if (ModalGate::modalUp()) {
        m_program.onHotkeyPressed(0);  // brings the dialog forward
        return Reply::refused(kDialogOpen);
    }
    if (PopupList *list = m_program.popup()) {
        list->raise();
        list->activateWindow();
        return Reply::done();
    }
    if (m_program.popups().pasting())
        return Reply::refused(QStringLiteral("a paste is under way"));
    if (listOff) {
        if (windowOpen)
            return Reply::refused(QStringLiteral("the configuration window is open, and the hotkey and the pop-up "
                                                 "list are off while it is"));
        return Reply::refused(
            QStringLiteral("the pop-up list is switched off (\"Quick List Active\" in the tray menu)"));
    }
    m_program.onHotkeyPressed(0);
    if (!m_program.popup())
        return Reply::refused(QStringLiteral("the pop-up list did not open"));
    return Reply::done();
}

Reply CommandRunner::show()
{
    if (m_program.popups().pasting())
        return Reply::refused(QStringLiteral("a paste is under way"));
    if (m_program.requestConfiguration())
        return Reply::done();
    Reply held = Reply::done();
    held.error = QStringLiteral("a Scrapkeeper dialog is open; the configuration window opens once it is closed");
    return held;
}
