#include "auxiliary/helpwindow.h"

#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// The help is a few pages of text; anything far larger is not ours.
constexpr qint64 kLargestPage = 8 * 1024 * 1024;

} // namespace

// A text browser that reads its pages, style sheets and pictures only from
// files inside one folder: remote addresses and files elsewhere load nothing.
class LocalPageBrowser : public QTextBrowser
{
public:
    LocalPageBrowser(const QString &folder, QWidget *parent)
        : QTextBrowser(parent)
        , m_folder(QFileInfo(folder).canonicalFilePath())
    {
    }

    // The file `address` names (relative to the page shown), when it is a
    // readable file inside the folder; else empty.
    QString fileOf(const QUrl &address) const
    {
        const QUrl resolved = address.isRelative() ? source().resolved(address) : address;
        if (m_folder.isEmpty() || !resolved.isLocalFile())
            return {};
        const QFileInfo info(resolved.toLocalFile());
        const QString file = info.canonicalFilePath();
        if (file.isEmpty() || !file.startsWith(m_folder + QLatin1Char('/')) || !info.isFile()
            || info.size() > kLargestPage)
            return {};
        return file;
    }

    QVariant loadResource(int type, const QUrl &name) override
    {
        Q_UNUSED(type);
        const QString file = fileOf(name);
        if (file.isEmpty())
            return {};
        QFile page(file);
        if (!page.open(QIODevice::ReadOnly))
            return {};
        return page.read(kLargestPage);
    }

private:
    QString m_folder;
};

const QString HelpWindow::NoBrowserNotice =
    QStringLiteral("No web browser could be started, so Scrapkeeper shows the page here.");

HelpWindow::HelpWindow(const QString &folder, QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("HelpWindow"));
    setWindowTitle(QStringLiteral("Scrapkeeper Help"));

    m_notice = new QLabel(NoBrowserNotice, this);
    m_notice->setObjectName(QStringLiteral("notice"));
    m_notice->setWordWrap(true);
    m_notice->setTextFormat(Qt::PlainText);

    m_browser = new LocalPageBrowser(folder, this);
    m_browser->setObjectName(QStringLiteral("page"));
    m_browser->setAccessibleName(QStringLiteral("Help page"));
    // Every link comes to follow(), which decides what may be opened.
    m_browser->setOpenLinks(false);
    m_browser->setOpenExternalLinks(false);
    connect(m_browser, &QTextBrowser::anchorClicked, this, &HelpWindow::follow);
    connect(m_browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString title = m_browser->documentTitle();
        setWindowTitle(title.isEmpty() ? QStringLiteral("Scrapkeeper Help") : title);
    });

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_notice);
    layout->addWidget(m_browser, 1);
    // A comfortable page, but never taller or wider than the screen.
    QSize size(680, 560);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        size = size.boundedTo(screen->availableGeometry().size() * 9 / 10);
    resize(size);
}

bool HelpWindow::showPage(const QString &file, const QString &topic)
{
    QUrl address = QUrl::fromLocalFile(file);
    if (m_browser->fileOf(address).isEmpty())
        return false;
    if (!topic.isEmpty())
        address.setFragment(topic);
    m_notice->setText(NoBrowserNotice);
    m_browser->setSource(address);
    return true;
}

QTextBrowser *HelpWindow::browser() const
{
    return m_browser;
}

QString HelpWindow::notice() const
{
    return m_notice->text();
}

void HelpWindow::follow(const QUrl &link)
{
    const QUrl target = link.isRelative() ? m_browser->source().resolved(link) : link;
    if (!m_browser->fileOf(target).isEmpty()) {
        m_browser->setSource(target);
        return;
    }
    m_notice->setText(
        QStringLiteral("This link leads outside Scrapkeeper's help and is not opened here: %1").arg(link.toString()));
}
