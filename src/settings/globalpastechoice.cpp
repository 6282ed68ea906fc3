#include "settings/globalpastechoice.h"

#include "settings/options.h"

namespace {

constexpr int kEnterKeystrokes = 1;

} // namespace

const QStringList &GlobalPasteChoice::methodCaptions()
{
    static const QStringList captions{QStringLiteral("Simulate Ctrl-V"), QStringLiteral("Enter Keystrokes"),
                                      QStringLiteral("Insert Text")};
    return captions;
}

QString GlobalPasteChoice::disableCaption()
{
    return QStringLiteral("Disable");
}

int GlobalPasteChoice::current(const Options &options)
{
    return options.flag(Option::GlobalPaste) ? options.number(Option::GlobalPasteMethod) : Disabled;
}

void GlobalPasteChoice::choose(Options &options, int choice)
{
    // "Disable" leaves "Enter keystrokes" chosen for the next time it is switched on.
    const bool on = choice >= 0 && choice < methodCaptions().size();
    options.set(Option::GlobalPaste, on);
    options.set(Option::GlobalPasteMethod, on ? choice : kEnterKeystrokes);
}
