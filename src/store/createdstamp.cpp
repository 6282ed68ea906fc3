#include "store/createdstamp.h"

QString createdStamp(const QDateTime &when, const QLocale &locale)
{
    const QDate date = when.date();
    const QTime time = when.time();
    const int hour12 = time.hour() % 12 == 0 ? 12 : time.hour() % 12;
    return QStringLiteral("%1, %2 %3, %4, %5:%6 %7")
        .arg(locale.dayName(date.dayOfWeek(), QLocale::ShortFormat),
             locale.monthName(date.month(), QLocale::ShortFormat))
        .arg(date.day())
        .arg(date.year())
        .arg(hour12, 2, 10, QLatin1Char('0'))
        .arg(time.minute(), 2, 10, QLatin1Char('0'))
        .arg(time.hour() < 12 ? QStringLiteral("AM") : QStringLiteral("PM"));
}
