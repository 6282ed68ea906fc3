#include "popup/displaytext.h"

namespace DisplayText {

QString excerpt(const QString &text, int maxLines, int maxColumns)
{
    const QChar ellipsis(0x2026);
    QString out;
    qsizetype pos = 0;
    for (int line = 0; pos <= text.size(); ++line) {
        if (line == maxLines) {
            out += ellipsis;
            break;
        }
        qsizetype end = text.indexOf(QLatin1Char('\n'), pos);
        if (end < 0)
            end = text.size();
        qsizetype stop = end;
        if (stop > pos && text[stop - 1] == QLatin1Char('\r'))
            --stop;
        if (line > 0)
            out += QLatin1Char('\n');
        out += QStringView(text).mid(pos, std::min<qsizetype>(stop - pos, maxColumns));
        if (stop - pos > maxColumns)
            out += ellipsis;
        if (end == text.size())
            break;
        pos = end + 1;
    }
    return out;
}

} // namespace DisplayText
