#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// "ddd, mmm d, yyyy, hh:mm AM/PM" with the locale's short day and month
// names, e.g. "Sun, Feb 18, 2001, 12:33 PM".
QString createdStamp(const QDateTime &when = QDateTime::currentDateTime(),
                     const QLocale &locale = QLocale::system());
