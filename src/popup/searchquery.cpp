#include "popup/searchquery.h"

#include <algorithm>
#include <array>
#include <memory>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace {

constexpr char16_t kDropped = 0;

// One folded character for every UTF-16 unit, worked out once: a unit's
// canonical base letter (é → e, Å → a), case-folded; marks dropped; white
// space a blank. Surrogates stand for themselves, so characters beyond the
// first plane are matched exactly.
class FoldTable
{
public:
    FoldTable()
    {
        for (char32_t unit = 0; unit < 0x10000; ++unit)
            m_units[unit] = foldOne(unit);
    }

    char16_t operator[](char16_t unit) const { return m_units[unit]; }

private:
    static char16_t foldOne(char32_t unit)
    {
        QChar c{char16_t(unit)};
        if (c.isSurrogate())
            return char16_t(unit);
        if (c.isSpace())
            return u' ';
        if (c.isMark())
            return kDropped;
        // A base letter with its marks (ǘ → ü + ́ → u + ̈ + ́), or a wide or
        // narrow form of a plain one: compare by the base.
        for (int depth = 0; depth < 4; ++depth) {
            const QChar::Decomposition tag = c.decompositionTag();
            if (tag != QChar::Canonical && tag != QChar::Wide && tag != QChar::Narrow)
                break;
            const QString parts = c.decomposition();
            if (parts.isEmpty() || parts[0].isSurrogate())
                break;
            c = parts[0];
        }
        // Letters whose stroke is no separate mark, as a reader would type them bare.
        switch (c.unicode()) {
        case u'ł': case u'Ł': return u'l';
        case u'ø': case u'Ø': return u'o';
        case u'đ': case u'Đ': return u'd';
        case u'ħ': case u'Ħ': return u'h';
        case u'ı': return u'i';
        default: break;
        }
        return c.toCaseFolded().unicode();
    }

    std::array<char16_t, 0x10000> m_units{};
};

const FoldTable &foldTable()
{
    static const auto table = std::make_unique<FoldTable>();
    return *table;
}

// Walks a text as its folded form, without building it.
class FoldedReader
{
public:
    FoldedReader(const FoldTable &table, const char16_t *at, const char16_t *end)
        : m_table(table), m_at(at), m_end(end)
    {
    }

    // The next folded character, or 0 at the end.
    char16_t next()
    {
        while (m_at < m_end) {
            const char16_t folded = m_table[*m_at++];
            if (folded == kDropped)
                continue;
            if (folded == u' ') {
                while (m_at < m_end && (m_table[*m_at] == u' ' || m_table[*m_at] == kDropped))
                    ++m_at;
            }
            return folded;
        }
        return 0;
    }

private:
    const FoldTable &m_table;
    const char16_t *m_at;
    const char16_t *m_end;
};

} // namespace

SearchQuery::SearchQuery(QStringView typed)
{
    const QString folded = fold(typed);
    qsizetype at = 0;
    while (at < folded.size()) {
        if (folded[at] == u' ') {
            ++at;
            continue;
        }
        qsizetype end;
        QString term;
        if (folded[at] == u'"') {
            // A phrase runs to its closing quote, or to the end while the user is still typing it.
            end = folded.indexOf(u'"', at + 1);
            if (end < 0)
                end = folded.size();
            term = folded.mid(at + 1, end - at - 1).trimmed();
            ++end;
        } else {
            end = folded.indexOf(u' ', at);
            if (end < 0)
                end = folded.size();
            term = folded.mid(at, end - at);
        }
        if (!term.isEmpty() && !m_terms.contains(term))
            m_terms << term;
        at = end;
    }
    std::stable_sort(m_terms.begin(), m_terms.end(),
                     [](const QString &a, const QString &b) { return a.size() > b.size(); });
}

QString SearchQuery::fold(QStringView text)
{
    const FoldTable &table = foldTable();
    QString out(text.size(), Qt::Uninitialized);
    char16_t *write = reinterpret_cast<char16_t *>(out.data());
    FoldedReader reader(table, text.utf16(), text.utf16() + text.size());
    qsizetype length = 0;
    for (char16_t c = reader.next(); c != 0; c = reader.next())
        write[length++] = c;
    out.truncate(length);
    return out;
}

namespace {

// Whether the folded `needle` starts at `at`.
bool startsAt(const FoldTable &table, const char16_t *at, const char16_t *end, QStringView needle)
{
    if (table[*at] != needle[0])
        return false;
    FoldedReader rest(table, at + 1, end);
    qsizetype matched = 1;
    while (matched < needle.size() && rest.next() == needle[matched])
        ++matched;
    return matched == needle.size();
}

#ifdef __SSE2__
// The plain letters a folded character stands for, as an ASCII text writes it.
struct AsciiForms
{
    __m128i lower;
    __m128i upper;
};

AsciiForms asciiForms(char16_t folded)
{
    const char16_t upper = folded >= u'a' && folded <= u'z' ? char16_t(folded - 32) : folded;
    return {_mm_set1_epi16(short(folded)), _mm_set1_epi16(short(upper))};
}

// Most of a text is ASCII: eight characters at a time, only places where the
// term's first two characters could stand (in either case, or where anything
// beyond ASCII, which may fold to them, or white space stands) are looked at closely.
// Answers where the term starts, or where the one-by-one look must go on.
const char16_t *findCandidates(const FoldTable &table, const char16_t *at, const char16_t *end, QStringView needle,
                               bool *found)
{
    const AsciiForms first = asciiForms(needle[0].unicode());
    const bool pair = needle.size() > 1 && needle[1].unicode() < 0x80;
    const AsciiForms second = asciiForms(pair ? needle[1].unicode() : u' ');
    // A blank in the term stands for any run of white space; a letter only
    // for itself, or for a character beyond ASCII, or behind a dropped NUL.
    const __m128i passesSecond = needle.size() > 1 && needle[1] == u' ' ? _mm_set1_epi16(0x21) : _mm_set1_epi16(1);
    const __m128i highBits = _mm_set1_epi16(short(0xFF80));
    const __m128i zero = _mm_setzero_si128();
    const __m128i all = _mm_set1_epi16(-1);
    // The second character is read one place on: the last block stops one short of the end.
    for (; end - at > 8; at += 8) {
        const __m128i units = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at));
        const __m128i beyondAscii = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(units, highBits), zero), all);
        __m128i maybe = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi16(units, first.lower), _mm_cmpeq_epi16(units, first.upper)),
                                     beyondAscii);
        if (pair) {
            const __m128i next = _mm_loadu_si128(reinterpret_cast<const __m128i *>(at + 1));
            const __m128i nextBeyond = _mm_andnot_si128(_mm_cmpeq_epi16(_mm_and_si128(next, highBits), zero), all);
            const __m128i nextMaybe = _mm_or_si128(
                _mm_or_si128(_mm_cmpeq_epi16(next, second.lower), _mm_cmpeq_epi16(next, second.upper)),
                _mm_or_si128(nextBeyond, _mm_cmplt_epi16(next, passesSecond)));
            maybe = _mm_and_si128(maybe, nextMaybe);
        }
        unsigned mask = unsigned(_mm_movemask_epi8(maybe));
        while (mask != 0) {
            const int unit = __builtin_ctz(mask) / 2;
            if (startsAt(table, at + unit, end, needle)) {
                *found = true;
                return at + unit;
            }
            mask &= ~(3u << (2 * unit));
        }
    }
    return at;  // the rest is looked at one by one
}
#endif

} // namespace

bool SearchQuery::contains(QStringView text, QStringView term)
{
    if (term.isEmpty())
        return true;
    const FoldTable &table = foldTable();
    const char16_t *at = text.utf16();
    const char16_t *end = at + text.size();
#ifdef __SSE2__
    if (term[0].unicode() < 0x80) {
        bool found = false;
        at = findCandidates(table, at, end, term, &found);
        if (found)
            return true;
    }
#endif
    for (; at < end; ++at) {
        if (startsAt(table, at, end, term))
            return true;
    }
    return false;
}

bool SearchQuery::matches(QStringView alias, QStringView text) const
{
    for (const QString &term : m_terms) {
        if (!contains(alias, term) && !contains(text, term))
            return false;
    }
    return true;
}

bool SearchQuery::narrows(const SearchQuery &earlier) const
{
    // An empty query found nothing to look among.
    if (earlier.isEmpty())
        return false;
    // An item holding a longer term holds every part of it.
    return std::all_of(earlier.m_terms.cbegin(), earlier.m_terms.cend(), [this](const QString &older) {
        return std::any_of(m_terms.cbegin(), m_terms.cend(),
                           [&older](const QString &term) { return term.contains(older); });
    });
}

QList<int> SearchQuery::categoryOrder(int categoryCount, int current)
{
    QList<int> order;
    order.reserve(categoryCount);
    if (current >= 0 && current < categoryCount)
        order << current;
    for (int i = 0; i < categoryCount; ++i) {
        if (i != current)
            order << i;
    }
    return order;
}
