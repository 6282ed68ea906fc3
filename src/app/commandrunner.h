#pragma once

#include "app/commandserver.h"

#include <QList>
#include <QObject>

class Scrapkeeper;
struct CategoryNode;
struct Item;

// Carries out the shell's commands in the running program, each through the
// path the user's own action takes: `add` as a capture, `copy` as the tray's
// "Copy Item", `paste` as a pick from the pop-up list, `popup` as the
// hotkey, `show` as the tray's "Configuration", `quit` as its "Exit".
//
// While a dialog of ours is up, what only reads or adds (add, list,
// categories, read, copy) answers at once, as a capture goes on then too;
// popup and paste are refused and the dialog comes forward, as the hotkey
// brings it; show waits for the dialog as the tray's entry does, and says
// so at once; quit ends the program as the tray's "Exit" does.
class CommandRunner : public QObject, public CommandHandler
{
    Q_OBJECT
public:
    explicit CommandRunner(Scrapkeeper &program, QObject *parent = nullptr);

    void handle(const Command &command, const CommandWire::Request &request, Answer answer) override;

    // The program has ended its orderly exit (and saved): `quit` is done.
    void quitFinished();

private:
    void run(const Command &command, const CommandWire::Request &request, const Answer &answer);
    CommandWire::Reply add(const Command &command, const CommandWire::Request &request);
    CommandWire::Reply list(const Command &command);
    CommandWire::Reply categories(const Command &command);
    CommandWire::Reply read(const Command &command);
    CommandWire::Reply copy(const Command &command);
    CommandWire::Reply paste(const Command &command);
    CommandWire::Reply popup(bool fromHotkey);
    CommandWire::Reply show();

    // The category the command names, or the current one; null with `why` set.
    CategoryNode *categoryOf(const Command &command, QString *why) const;
    // Item `number` (1 = newest) of the category; null with `why` set.
    static const Item *itemOf(const CategoryNode &category, int number, QString *why);

    Scrapkeeper &m_program;
    QList<Answer> m_quitting;
};
