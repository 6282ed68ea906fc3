#include "app/commandline.h"

#include "app/commandwire.h"

#include <QHash>

#include <algorithm>
#include <limits>

namespace CommandLine {

namespace {

using Verb = Command::Verb;

const QHash<QString, Verb> kVerbs{
    {QStringLiteral("add"), Verb::Add},         {QStringLiteral("list"), Verb::List},
    {QStringLiteral("categories"), Verb::Categories}, {QStringLiteral("read"), Verb::Read},
    {QStringLiteral("copy"), Verb::Copy},       {QStringLiteral("paste"), Verb::Paste},
    {QStringLiteral("popup"), Verb::Popup},     {QStringLiteral("show"), Verb::Show},
    {QStringLiteral("quit"), Verb::Quit},       {QStringLiteral("--help"), Verb::Help},
    {QStringLiteral("-h"), Verb::Help},         {QStringLiteral("help"), Verb::Help},
    {QStringLiteral("--version"), Verb::Version},
};

Parsed wrong(const QString &why)
{
    return {std::nullopt, why};
}

bool takesCategory(Verb verb)
{
    return verb == Verb::Add || verb == Verb::List || verb == Verb::Read || verb == Verb::Copy
           || verb == Verb::Paste;
}

bool takesJson(Verb verb)
{
    return verb == Verb::List || verb == Verb::Categories;
}

// An item number: decimal digits only, from 1; -1 for a malformed one, 0 for zero.
qint64 itemNumber(const QString &word)
{
    if (word.isEmpty()
        || !std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c >= u'0' && c <= u'9'; }))
        return -1;
    // Past ten digits the exact value does not matter: it is too large.
    return word.size() > 10 ? std::numeric_limits<qint64>::max() : word.toLongLong();
}

// A word as a message may quote it on one line.
QString quoted(const QString &word)
{
    QString shown = word.left(60);
    for (QChar &c : shown) {
        if (c.category() == QChar::Other_Control)
            c = QLatin1Char('?');
    }
    return QLatin1Char('"') + shown + (word.size() > 60 ? QStringLiteral("…\"") : QStringLiteral("\""));
}

} // namespace

bool isCommand(const QStringList &args)
{
    if (args.isEmpty())
        return false;
    const QString &first = args.first();
    // A single-dash word other than -h is one of Qt's options for the program itself.
    return !(first.startsWith(QLatin1Char('-')) && !first.startsWith(QLatin1String("--")) && first != QLatin1String("-h"));
}

Parsed parse(const QStringList &args)
{
    if (args.isEmpty())
        return wrong(QStringLiteral("no command given"));
    const auto found = kVerbs.constFind(args.first());
    if (found == kVerbs.cend())
        return wrong(QStringLiteral("unknown command %1").arg(quoted(args.first())));
    Command command;
    command.verb = *found;
    if (command.answeredLocally())
        return {command, {}};

    QStringList words;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (optionsEnded || arg == QLatin1String("-") || !arg.startsWith(QLatin1Char('-'))) {
            words << arg;
            continue;
        }
        if (arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            return {Command{}, {}};
        } else if (arg == QLatin1String("--json") && takesJson(command.verb)) {
            command.json = true;
        } else if (arg == QLatin1String("--hotkey") && command.verb == Verb::Popup) {
            command.fromHotkey = true;
        } else if ((arg == QLatin1String("--category") || arg.startsWith(QLatin1String("--category=")))
                   && takesCategory(command.verb)) {
            if (command.category)
                return wrong(QStringLiteral("--category is given twice"));
            if (arg.contains(QLatin1Char('='))) {
                command.category = arg.mid(arg.indexOf(QLatin1Char('=')) + 1);
            } else {
                if (++i >= args.size())
                    return wrong(QStringLiteral("--category needs a category name"));
                command.category = args.at(i);
            }
        } else {
            return wrong(QStringLiteral("%1 does not take the option %2").arg(args.first(), quoted(arg)));
        }
    }

    switch (command.verb) {
    case Verb::Add:
        if (words.size() > 1)
            return wrong(QStringLiteral("add takes one TEXT (quote a text of several words)"));
        if (!words.isEmpty() && words.first() != QLatin1String("-"))
            command.text = words.first();
        return {command, {}};
    case Verb::Read:
    case Verb::Copy:
    case Verb::Paste:
        if (words.isEmpty())
            return wrong(QStringLiteral("%1 needs an item number").arg(args.first()));
        if (command.verb != Verb::Paste && words.size() > 1)
            return wrong(QStringLiteral("%1 takes one item number").arg(args.first()));
        for (const QString &word : std::as_const(words)) {
            const qint64 number = itemNumber(word);
            if (number < 0)
                return wrong(QStringLiteral("%1 is not an item number").arg(quoted(word)));
            if (number == 0)
                return wrong(QStringLiteral("item numbers start at 1 (the newest item)"));
            if (number > std::numeric_limits<int>::max())
                return wrong(QStringLiteral("item number %1 is too large").arg(quoted(word)));
            command.numbers << int(number);
        }
        return {command, {}};
    default:
        if (!words.isEmpty())
            return wrong(QStringLiteral("%1 takes no argument %2").arg(args.first(), quoted(words.first())));
        return {command, {}};
    }
}

QString usage()
{
    return QStringLiteral(
        "Usage: scrapkeeper                      start the program (in the tray)\n"
        "       scrapkeeper add [--category NAME] [TEXT]\n"
        "       scrapkeeper list [--category NAME] [--json]\n"
        "       scrapkeeper categories [--json]\n"
        "       scrapkeeper read N [--category NAME]\n"
        "       scrapkeeper copy N [--category NAME]\n"
        "       scrapkeeper paste N [N...] [--category NAME]\n"
        "       scrapkeeper popup [--hotkey] | show | quit\n"
        "       scrapkeeper --help | --version\n");
}

QString help()
{
    return usage() + QStringLiteral(
        "\n"
        "The commands talk to the Scrapkeeper already running for this user.\n"
        "\n"
        "  add         adds a text item, as a copy on the clipboard would be: TEXT, or standard\n"
        "              input when no TEXT is given (at most %1 MB). The alias is derived from the\n"
        "              text; with \"Prevent duplicates\" on, a text that already is the newest item\n"
        "              is not added again; a category at its limit drops its oldest item, and one\n"
        "              that is locked and full refuses the text.\n"
        "  list        the category's items, newest first: number and alias, one per line;\n"
        "              --json: an array of {index, kind, alias, text, created}.\n"
        "  categories  the categories in tree order: name, item count and \"current\", tab-separated;\n"
        "              --json: an array of {name, items, current}.\n"
        "  read N      prints the text of item N (1 = newest) as it is, without a final line break.\n"
        "  copy N      puts item N on the clipboard, as the tray's \"Copy Item\" does.\n"
        "  paste N...  pastes the items in the order given into the window in front, each with\n"
        "              its paste method and after-paste action, as the pop-up list does.\n"
        "  popup       opens the pop-up list at the caret of the window in front, as the hotkey does.\n"
        "              --hotkey: run by the desktop's key binding of the hotkey chosen in\n"
        "              Scrapkeeper; while the list is off, that key goes on to the window in\n"
        "              front, as it would unbound.\n"
        "  show        opens the configuration window.\n"
        "  quit        ends the program; it saves as \"Exit\" in the tray menu does.\n"
        "\n"
        "Without --category a command works on the current category.\n"
        "\n"
        "While a Scrapkeeper dialog or question is open, add, list, categories, read and copy\n"
        "still answer at once (an added item shows in the open tree); popup and paste are\n"
        "refused, and the dialog comes forward; show waits until the dialog is closed, as the\n"
        "tray's entry does; quit ends the program at once, as the tray's \"Exit\" does. While the\n"
        "configuration window is open the hotkey is off, and popup is refused as well.\n"
        "\n"
        "Exit status: 0 done; 1 refused or failed (the reason on standard error); 2 a usage\n"
        "error; 3 Scrapkeeper is not running.\n")
        .arg(CommandWire::MaxInputMegabytes);
}

QString version()
{
    return QStringLiteral("scrapkeeper 2.3\n");
}

} // namespace CommandLine
