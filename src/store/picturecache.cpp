#include "store/picturecache.h"

PictureCache::PictureCache(qsizetype byteLimit)
    : m_limit(byteLimit)
{
}

QImage PictureCache::find(const QString &key)
{
    const auto found = m_index.constFind(key);
    if (found == m_index.constEnd())
        return {};
    m_entries.splice(m_entries.begin(), m_entries, *found);
    return m_entries.front().picture;
}

void PictureCache::insert(const QString &key, const QImage &picture)
{
    remove(key);
    const qsizetype size = picture.sizeInBytes();
    if (picture.isNull() || size > m_limit)
        return;
    evictOver(m_limit - size);
    m_entries.push_front({key, picture});
    m_index.insert(key, m_entries.begin());
    m_bytes += size;
}

void PictureCache::remove(const QString &key)
{
    const auto found = m_index.find(key);
    if (found == m_index.end())
        return;
    m_bytes -= (*found)->picture.sizeInBytes();
    m_entries.erase(*found);
    m_index.erase(found);
}

void PictureCache::clear()
{
    m_entries.clear();
    m_index.clear();
    m_bytes = 0;
}

void PictureCache::evictOver(qsizetype limit)
{
    while (m_bytes > limit && !m_entries.empty()) {
        m_bytes -= m_entries.back().picture.sizeInBytes();
        m_index.remove(m_entries.back().key);
        m_entries.pop_back();
    }
}
