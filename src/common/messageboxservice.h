#pragma once

#include <QFlags>
#include <QString>

// The application title, which plain message boxes carry as their title.
inline const QString kApplicationTitle = QStringLiteral("Scrapkeeper v2.3");

// Every modal message of the program goes through one service, so tests can
// answer it instead of a person.
class MessageBoxService
{
public:
    enum class Icon { None, Information, Warning, Error, Question };
    enum Button { Ok = 0x1, Yes = 0x2, No = 0x4, Cancel = 0x8 };
    Q_DECLARE_FLAGS(Buttons, Button)

    virtual ~MessageBoxService() = default;
    virtual Button show(Icon icon, const QString &title, const QString &text, Buttons buttons) = 0;

    void error(const QString &text) { show(Icon::Error, QStringLiteral("Error"), text, Ok); }
    void information(const QString &text) { show(Icon::Information, QStringLiteral("Information"), text, Ok); }
};

Q_DECLARE_OPERATORS_FOR_FLAGS(MessageBoxService::Buttons)
