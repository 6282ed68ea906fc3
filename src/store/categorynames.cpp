#include "store/categorynames.h"

#include "store/collection.h"

#include <cstdint>
#include <limits>

namespace {

const QString kNotAName =
    QStringLiteral("Please enter a valid category name (can contain numbers, but cannot be a number).");
const QString kNameTaken = QStringLiteral("There is already a category with this name, please re-enter.");

// The data file's number test answers this value for "not a number".
constexpr std::int64_t kNotANumber = -89;

int hexDigit(QChar c)
{
    if (c >= u'0' && c <= u'9')
        return c.unicode() - u'0';
    if (c >= u'a' && c <= u'f')
        return c.unicode() - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c.unicode() - u'A' + 10;
    return -1;
}

} // namespace

bool looksLikeWholeNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == u' ')
        ++i;
    if (i == text.size())
        return false;

    bool negative = false;
    int base = 10;
    if (text.at(i) == u'$') {
        base = 16;
        ++i;
    } else if (text.at(i) == u'+' || text.at(i) == u'-') {
        negative = text.at(i) == u'-';
        ++i;
    }
    if (i == text.size())
        return false;

    // Positive values up to the 32-bit maximum; a minus sign allows one more.
    const std::int64_t limit = std::int64_t(std::numeric_limits<std::int32_t>::max()) + (negative ? 1 : 0);
    std::int64_t value = 0;
    for (; i < text.size(); ++i) {
        const int digit = hexDigit(text.at(i));
        if (digit < 0 || digit >= base)
            return false;
        value = value * base + digit;
        if (value > limit)
            return false;
    }
    if (negative)
        value = -value;
    return value != kNotANumber;
}

QString categoryNameProblem(const Collection &collection, const QString &name, const CategoryNode *edited)
{
    if (name.trimmed().isEmpty() || looksLikeWholeNumber(name))
        return kNotAName;
    // Keeping the edited category's own name is no clash.
    if (edited && edited->name == name)
        return {};
    if (collection.findCategory(name))
        return kNameTaken;
    return {};
}
