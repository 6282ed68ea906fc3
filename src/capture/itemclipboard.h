#pragma once

#include <QImage>
#include <QString>

class Clipboard;
class ClipboardMonitor;
struct Item;

// Puts an item back on the clipboard as the program's own write, which the
// monitor does not take for a new copy: plain text as text, rich text as
// RTF with its plain form and HTML of the same document, a picture as an image.
class ItemClipboard
{
public:
    ItemClipboard(Clipboard &clipboard, ClipboardMonitor &monitor);

    // False for a kind the clipboard cannot take, or a picture whose file
    // cannot be read (nothing is written).
    bool put(const Item &item);

    // The text an item stands for, rich text read as its plain form.
    static QString plainText(const Item &item);
    // An image item's picture: in memory, or else its side file.
    static QImage picture(const Item &item);
    // The desktop's clipboard and text controls use LF; items keep CR LF.
    static QString withLf(QString text);

private:
    Clipboard &m_clipboard;
    ClipboardMonitor &m_monitor;
};
