#include "settings/pastemethodhelp.h"

#include <QStringList>

namespace PasteMethodHelp {

namespace {

const QString kGlobalIntro = QStringLiteral(
    "The Global Pasting Method overrides an individual item's paste method.  Therefore if one of the following "
    "options are set, it is the paste method which will always be used until it's disabled.\r\n\r\n");

const QStringList kMethods{
    QStringLiteral("Simulate Ctrl-V:\r\nThis option should be set for general application use.  If the application "
                   "that you are pasting to supports the use of Ctrl-V to paste text to it, this option is best."),
    QStringLiteral("\r\n\r\nEnter keystrokes:\r\nThis option should be set if the application you are pasting to "
                   "does not support \"standard\" Ctrl-V pasting.  For example, pasting to a Telnet (or maybe a "
                   "terminal) application may require keystrokes to be sent directly."),
    QStringLiteral("\r\n\r\nInsert at cursor:\r\nThis option should be set if the above two do not seem to work (or "
                   "if the second is undesired).  If you are pasting to a \"standard\" text box, this method will "
                   "directly place the text in it."),
};

} // namespace

const QString &methods()
{
    static const QString text = kMethods.join(QLatin1Char(' '));
    return text;
}

const QString &globalMethod()
{
    static const QString text = kGlobalIntro + QLatin1Char(' ') + methods();
    return text;
}

} // namespace PasteMethodHelp
