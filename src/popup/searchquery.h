#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// What the user typed into the pop-up list's search field, and the rules by
// which an item matches it: every word (or quoted phrase) must occur in the
// item's alias or in its text, ignoring case and accents. Texts are folded
// as they are read, never copied, so a search keeps nothing per item.
class SearchQuery
{
public:
    SearchQuery() = default;
    explicit SearchQuery(QStringView typed);

    bool isEmpty() const { return m_terms.isEmpty(); }
    // The folded words and phrases, longest first (the rarest rule an item out soonest).
    const QStringList &terms() const { return m_terms; }

    // Whether every term occurs in `alias` or in `text` (either may be empty).
    bool matches(QStringView alias, QStringView text) const;
    // Whether every item matching this query matches `earlier` too, so this
    // query need only look among what `earlier` found.
    bool narrows(const SearchQuery &earlier) const;

    // A text as the rules compare it: lower case, accents and other marks
    // dropped, every run of white space one blank.
    static QString fold(QStringView text);
    // Whether the folded `term` occurs in `text`, folding `text` as it goes.
    static bool contains(QStringView text, QStringView term);
    // The categories in the order their matches are listed: the current one
    // first, then the others in tree order.
    static QList<int> categoryOrder(int categoryCount, int current);

private:
    QStringList m_terms;
};
