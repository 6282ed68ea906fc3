#pragma once

#include <QString>

struct CategoryNode;

// Why something the user meant to keep was not added: told where the user
// will see it (a message in the window, the tray, the pop-up list), never
// dropped in silence.
struct Refusal
{
    enum class Reason {
        None,
        LockedAndFull,  // the category is locked and holds its limit
        NoCategory,     // the category meant to receive it no longer exists
        TooLarge,       // more than the program keeps
        Unreadable,     // it could not be read or written
    };

    Reason reason = Reason::None;
    QString why;  // one sentence for the user

    explicit operator bool() const { return reason != Reason::None; }

    static Refusal lockedAndFull(const CategoryNode &category);
    static Refusal noCategory(const QString &name);
    static Refusal tooLarge(const QString &why);
    static Refusal unreadable(const QString &why);
};
