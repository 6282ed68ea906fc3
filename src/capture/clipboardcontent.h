#pragma once

#include <QImage>
#include <QString>
#include <QStringList>

#include <optional>

class Clipboard;

// What a clipboard offers, in the terms capture decides by: a file list,
// rich text, HTML, plain text and pictures. Reading stays within bounds so
// a hostile owner cannot make the program hold more than it can keep.
class ClipboardContent
{
public:
    // Larger flavours are not captured at all.
    static constexpr qsizetype MaxBytes = 64 * 1024 * 1024;
    // Pictures past PictureBounds are not captured.
    // A vector picture has no size of its own worth keeping beyond this: it
    // is rendered to fit, keeping its proportions.
    static constexpr int MaxVectorSide = 4096;

    explicit ClipboardContent(const Clipboard &clipboard);

    bool isSecret() const;
    bool hasFileList() const;
    bool hasRichText() const;
    bool hasHtml() const;
    bool hasPlainText() const;
    bool hasRaster() const;
    bool hasVectorPicture() const;
    bool hasText() const { return hasFileList() || hasRichText() || hasPlainText(); }
    bool hasImage() const { return hasRaster() || hasVectorPicture(); }

    // Local paths of the copied files, each followed by CR LF.
    std::optional<QString> fileListText() const;
    // HTML markup's bytes as they came, in whatever encoding.
    std::optional<QByteArray> html() const;
    // RTF source as it came, one character per byte.
    std::optional<QString> richTextSource() const;
    // The plain text with CR LF line breaks; NUL characters, which no item can hold, dropped.
    std::optional<QString> plainText() const;
    // The picture: a raster flavour, else the vector picture drawn at its own size.
    std::optional<QImage> image() const;

    // Plain-text bytes as an item keeps them: UTF-8 (a byte that is not
    // becomes a replacement character, never a failure), CR LF line breaks,
    // no NUL characters.
    static QString decodePlainText(const QByteArray &bytes);

    // Whether a read above came back empty because the content was past the bounds.
    bool pastBounds() const { return m_pastBounds; }

private:
    std::optional<QByteArray> bounded(const QString &format) const;
    QString firstOf(const QStringList &candidates) const;

    const Clipboard &m_clipboard;
    QStringList m_formats;
    mutable bool m_pastBounds = false;
};
