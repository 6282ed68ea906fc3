#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>

// A file's bytes, read at once into memory of their own. A data file of tens
// of megabytes is read on every start: its memory is asked for in huge pages
// where the system offers them, which spares one page fault per 4 KB.
class WholeFile
{
public:
    // Throws ProgramError when the file cannot be opened or read.
    explicit WholeFile(const QString &path);
    ~WholeFile();
    WholeFile(const WholeFile &) = delete;
    WholeFile &operator=(const WholeFile &) = delete;

    // Valid while this object lives; the bytes are not copied.
    const QByteArray &bytes() const { return m_bytes; }

private:
    void *m_memory = nullptr;
    std::size_t m_capacity = 0;
    QByteArray m_bytes;
};
