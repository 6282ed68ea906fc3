#include "capture/itemclipboard.h"

#include "capture/clipboardmonitor.h"
#include "platform/clipboard.h"
#include "richtext/htmlexport.h"
#include "richtext/rtfreader.h"
#include "store/item.h"
#include "store/itempictures.h"

#include <QMimeData>

namespace {

// The rich-text copy raises the count for its whole write, however the write ends.
class SuppressCapture
{
public:
    explicit SuppressCapture(int &count) : m_count(count) { m_count = 1; }
    ~SuppressCapture() { m_count = 0; }
    SuppressCapture(const SuppressCapture &) = delete;
    SuppressCapture &operator=(const SuppressCapture &) = delete;

private:
    int &m_count;
};

} // namespace

ItemClipboard::ItemClipboard(Clipboard &clipboard, ClipboardMonitor &monitor)
    : m_clipboard(clipboard)
    , m_monitor(monitor)
{
}

QString ItemClipboard::withLf(QString text)
{
    return text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
}

QString ItemClipboard::plainText(const Item &item)
{
    return item.kind == ItemKind::RichText ? RtfReader::toPlainText(item.text) : item.text;
}

QImage ItemClipboard::picture(const Item &item)
{
    return ItemPictures::shared().picture(item);
}

bool ItemClipboard::put(const Item &item)
{
    QImage image;
    if (item.kind == ItemKind::Image) {
        // A picture whose file cannot be read leaves the clipboard as it is.
        image = picture(item);
        if (image.isNull())
            return false;
    }
    // The change notification of our own write finds the monitor disarmed;
    // it re-arms itself with that notification.
    m_monitor.armed = false;
    auto *data = new QMimeData;
    switch (item.kind) {
    case ItemKind::Image:
        data->setImageData(image);
        m_clipboard.setMimeData(data);
        return true;
    case ItemKind::PlainText:
        data->setText(withLf(item.text));
        m_clipboard.setMimeData(data);
        return true;
    case ItemKind::RichText: {
        data->setText(withLf(plainText(item)));
        data->setData(QStringLiteral("text/rtf"), item.text.toLatin1());
        data->setHtml(HtmlExport::fromRtf(item.text));
        const SuppressCapture suppress(m_monitor.suppressCount);
        m_clipboard.setMimeData(data);
        return true;
    }
    }
    delete data;
    return false;
}
