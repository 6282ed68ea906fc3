#pragma once

#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// One command of the shell language (`scrapkeeper add --category Build`,
// `scrapkeeper paste 2 1`, …), read from its arguments. The shell side reads
// it to catch usage errors before it connects; the running program reads
// the same arguments again, as it trusts nothing that arrives.
struct Command
{
    enum class Verb { Add, List, Categories, Read, Copy, Paste, Popup, Show, Quit, Help, Version };

    Verb verb = Verb::Help;
    std::optional<QString> category;  // --category NAME; the current category without it
    std::optional<QString> text;      // add's TEXT; standard input without it
    QList<int> numbers;               // item numbers, 1 = newest
    bool json = false;
    bool fromHotkey = false;          // popup --hotkey: run by the desktop's binding of the hotkey

    // The command reads standard input (add without a TEXT).
    bool readsInput() const { return verb == Verb::Add && !text; }
    // The command is answered here, without the running program.
    bool answeredLocally() const { return verb == Verb::Help || verb == Verb::Version; }
    bool operator==(const Command &) const = default;
};

namespace CommandLine {

struct Parsed
{
    std::optional<Command> command;
    QString usageError;  // when there is no command: what is wrong, one line
};

// `args` without the program's name.
Parsed parse(const QStringList &args);

// Whether the arguments are meant for the command language at all. A plain
// start has none; Qt's own options (-display, -platform, -session, …) start
// with a single dash and go to the program as before.
bool isCommand(const QStringList &args);

QString usage();
QString help();
QString version();

} // namespace CommandLine
