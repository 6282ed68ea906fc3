#pragma once

#include <QHash>
#include <QImage>
#include <QString>

#include <list>

// Decoded pictures kept by key, least recently used first out once their
// bytes pass the limit. A picture larger than the whole limit is not kept.
class PictureCache
{
public:
    static constexpr qsizetype kDefaultLimit = 32 * 1024 * 1024;

    explicit PictureCache(qsizetype byteLimit = kDefaultLimit);

    // The picture kept under `key`, now the most recently used; null when none.
    QImage find(const QString &key);
    void insert(const QString &key, const QImage &picture);
    void remove(const QString &key);
    void clear();

    bool contains(const QString &key) const { return m_index.contains(key); }
    qsizetype bytes() const { return m_bytes; }
    qsizetype limit() const { return m_limit; }

private:
    struct Entry
    {
        QString key;
        QImage picture;
    };
    using Entries = std::list<Entry>;  // most recently used first

    void evictOver(qsizetype limit);

    qsizetype m_limit;
    qsizetype m_bytes = 0;
    Entries m_entries;
    QHash<QString, Entries::iterator> m_index;
};
