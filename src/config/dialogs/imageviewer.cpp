#include "config/dialogs/imageviewer.h"

#include "capture/clipboardcontent.h"
#include "common/errorhandler.h"
#include "common/messageboxservice.h"
#include "common/picturebounds.h"
#include "common/programerror.h"
#include "config/dialogs/screencentre.h"
#include "platform/clipboard.h"
#include "platform/filedialogs.h"
#include "store/createdstamp.h"
#include "store/item.h"
#include "store/itempictures.h"

#include <QAction>
#include <algorithm>
#include <QFont>
#include <QGuiApplication>
#include <QImageWriter>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPixmap>
#include <QRubberBand>
#include <QScreen>
#include <QScrollArea>
#include <QStatusBar>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kUnviewable = QStringLiteral(
    "This image item's picture cannot be shown: its bitmap data file cannot be read as a picture.  The item "
    "and the file are kept as they are.");
const QString kPastBounds = QStringLiteral("It is %1 x %2 pixels; a picture may be %3.");

std::optional<QString> askWithInputBox(QWidget *parent, const QString &current)
{
    bool ok = false;
    const QString answer = QInputDialog::getText(parent, QStringLiteral("Set Alias"),
                                                 QStringLiteral("Enter the image alias below"), QLineEdit::Normal,
                                                 current, &ok);
    if (!ok)
        return std::nullopt;
    return answer;
}

} // namespace

ImageViewer::ImageViewer(Item &item, Clipboard &clipboard, FileDialogs &files, QWidget *parent)
    : QDialog(parent)
    , m_item(item)
    , m_clipboard(clipboard)
    , m_files(files)
    , m_rules(item)
    , m_askAlias(askWithInputBox)
{
    setObjectName(QStringLiteral("BmpView"));
    setWindowTitle(QStringLiteral("Selected image"));
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMaximizeButtonHint
                   | Qt::WindowCloseButtonHint | Qt::WindowStaysOnTopHint);
    QPalette shadow = palette();
    shadow.setColor(QPalette::Window, palette().color(QPalette::Dark));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("scrollbox"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setPalette(shadow);
    m_scroll->setBackgroundRole(QPalette::Window);
    m_scroll->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image = new QLabel;
    m_image->setObjectName(QStringLiteral("bmpimg"));
    m_image->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_image->setMouseTracking(true);
    m_image->installEventFilter(this);
    m_scroll->setWidget(m_image);
    m_scroll->viewport()->setMouseTracking(true);
    m_scroll->viewport()->installEventFilter(this);
    layout->addWidget(m_scroll, 1);
    m_band = new QRubberBand(QRubberBand::Rectangle, m_image);

    auto *status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("sbar"));
    status->setSizeGripEnabled(false);
    QFont small(QStringLiteral("Arial"));
    small.setPointSize(8);
    status->setFont(small);
    m_coordinates = new QLabel(status);
    m_coordinates->setObjectName(QStringLiteral("coordinates"));
    // The largest position a picture of the accepted size can show.
    m_coordinates->setMinimumWidth(
        std::max(65, m_coordinates->fontMetrics().horizontalAdvance(ImageViewerRules::coordinatesText({99999, 99999}))));
    m_details = new QLabel(status);
    m_details->setObjectName(QStringLiteral("details"));
    m_details->setMinimumWidth(50);
    status->addWidget(m_coordinates);
    status->addWidget(m_details, 1);
    layout->addWidget(status);

    buildMenus();
    connect(&m_clipboard, &Clipboard::changed, this, &ImageViewer::refreshEditMenu);

    showDate();  // before sizing: the window makes room for the date
    showPicture();
    showCaption();
    refreshFileMenu();
    refreshEditMenu();
}

ImageViewer::~ImageViewer() = default;

bool ImageViewer::reportUnviewable(const Item &item, MessageBoxService &messages)
{
    // The header alone tells a picture past the bounds: it is never decoded.
    if (ItemPictures::pastBounds(item.text)) {
        const QSize declared = ItemPictures::declaredSize(item.text);
        messages.error(kUnviewable + QStringLiteral("\r\n\r\n") + item.text.trimmed() + QStringLiteral("\r\n\r\n")
                       + kPastBounds.arg(declared.width()).arg(declared.height()).arg(PictureBounds::described()));
        return true;
    }
    if (!ItemPictures::shared().picture(item).isNull())
        return false;
    messages.error(kUnviewable + QStringLiteral("\r\n\r\n") + item.text.trimmed());
    return true;
}

void ImageViewer::buildMenus()
{
    auto *bar = new QMenuBar(this);
    bar->setObjectName(QStringLiteral("mm"));
    layout()->setMenuBar(bar);
    auto entry = [this](QMenu *menu, const char *name, const QString &text, const QKeySequence &keys,
                        void (ImageViewer::*handler)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        if (!keys.isEmpty())
            action->setShortcut(keys);
        if (handler)
            connect(action, &QAction::triggered, this, handler);
        return action;
    };

    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    file->setObjectName(QStringLiteral("File1"));
    connect(file, &QMenu::aboutToShow, this, &ImageViewer::refreshFileMenu);
    QMenu *alias = file->addMenu(QStringLiteral("S&et Alias"));
    alias->setObjectName(QStringLiteral("SetAlias1"));
    entry(alias, "Default1", QStringLiteral("Default"), {}, &ImageViewer::setDefaultAlias);
    alias->addSeparator();
    entry(alias, "Custom1", QStringLiteral("Custom..."), {}, &ImageViewer::setCustomAlias);
    m_updateDate = entry(file, "Update1", QStringLiteral("Update date created"), {}, nullptr);
    m_updateDate->setCheckable(true);
    m_updateDate->setChecked(true);
    file->addSeparator();
    m_save = entry(file, "Save1", QStringLiteral("&Save"), QKeySequence(QStringLiteral("Ctrl+S")), nullptr);
    connect(m_save, &QAction::triggered, this, [this] { save(); });
    entry(file, "SaveAs1", QStringLiteral("Save &As..."), {}, &ImageViewer::saveAs);
    file->addSeparator();
    QAction *close = entry(file, "Close1", QStringLiteral("&Close"), QKeySequence(QStringLiteral("Ctrl+X")), nullptr);
    connect(close, &QAction::triggered, this, &QDialog::reject);
    QAction *saveAndClose =
        entry(file, "SaveandClose1", QStringLiteral("Sa&ve and Close"), QKeySequence(QStringLiteral("Shift+S")), nullptr);
    connect(saveAndClose, &QAction::triggered, this, [this] {
        // A picture that could not be written keeps the window open.
        if (save())
            accept();
    });

    QMenu *edit = bar->addMenu(QStringLiteral("&Edit"));
    edit->setObjectName(QStringLiteral("Edit1"));
    connect(edit, &QMenu::aboutToShow, this, &ImageViewer::refreshEditMenu);
    m_undo = entry(edit, "Undo1", QStringLiteral("Undo"), QKeySequence(QStringLiteral("Ctrl+Z")), &ImageViewer::undo);
    edit->addSeparator();
    entry(edit, "Copy1", QStringLiteral("&Copy"), QKeySequence(QStringLiteral("Ctrl+C")), &ImageViewer::copy);
    m_paste = entry(edit, "Paste1", QStringLiteral("Paste"), QKeySequence(QStringLiteral("Ctrl+V")), &ImageViewer::paste);
    edit->addSeparator();
    QAction *crop = entry(edit, "Crop1", QStringLiteral("Crop Image"), QKeySequence(QStringLiteral("Shift+C")), nullptr);
    connect(crop, &QAction::triggered, this, [this] { setCropMode(!m_cropMode); });

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    help->setObjectName(QStringLiteral("Help1"));
    QAction *helpEntry = entry(help, "ImagewindowHelp1", QStringLiteral("&Image Editor Help"), {}, nullptr);
    connect(helpEntry, &QAction::triggered, this, [this] { emit helpRequested(QStringLiteral("Bitmap_viewer")); });
}

void ImageViewer::showPicture()
{
    m_image->setPixmap(QPixmap::fromImage(m_rules.picture()));
    m_image->resize(m_rules.picture().size());
    fitWindow();
}

void ImageViewer::fitWindow()
{
    // The window fits the picture, but never outgrows the screen: a larger
    // picture is scrolled.
    QWidget *status = m_details->parentWidget();
    const int chrome = layout()->menuBar()->sizeHint().height() + status->sizeHint().height();
    QSize wanted = m_rules.picture().size() + QSize(0, chrome);
    // A small picture still leaves room for the status panels and for the
    // caption beside the title bar's buttons.
    const int titleButtons = 4 * style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, this);
    // The status bar lays its panels out lazily: count them and the gaps
    // around them itself.
    const int gap = std::max(6, style()->pixelMetric(QStyle::PM_LayoutHorizontalSpacing, nullptr, status));
    const int panels = m_coordinates->minimumWidth() + m_details->minimumWidth() + 4 * gap;
    wanted = wanted.expandedTo(QSize(std::max({status->minimumSizeHint().width(), panels, layout()->menuBar()->sizeHint().width(),
                                               fontMetrics().horizontalAdvance(m_rules.caption()) + titleButtons}),
                                     0));
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (screen) {
        const QSize room = screen->availableGeometry().size() - QSize(16, 48);
        wanted = wanted.boundedTo(room);
    }
    wanted = wanted.expandedTo(QSize(200, chrome + 16));
    resize(wanted);
    centreOnScreen(this);
}

void ImageViewer::showCaption()
{
    setWindowTitle(m_rules.caption());
}

void ImageViewer::showDate()
{
    const QString text = ImageViewerRules::createdText(m_item.created);
    // The date is the widest text the panel shows for long: it is never cut.
    const int margins = m_details->contentsMargins().left() + m_details->contentsMargins().right() + 2 * m_details->margin();
    m_details->setMinimumWidth(std::max(50, m_details->fontMetrics().horizontalAdvance(text) + margins));
    m_details->setText(text);
}

void ImageViewer::refreshFileMenu()
{
    m_save->setEnabled(m_rules.saveEnabled());
}

void ImageViewer::refreshEditMenu()
{
    m_undo->setEnabled(m_rules.canUndo());
    m_paste->setEnabled(ClipboardContent(m_clipboard).hasImage());
}

void ImageViewer::setCropMode(bool on)
{
    m_cropMode = on;
    m_dragging = false;
    m_band->hide();
    if (on)
        m_image->setCursor(Qt::CrossCursor);
    else
        m_image->unsetCursor();
}

bool ImageViewer::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_image) {
        switch (event->type()) {
        case QEvent::MouseButtonPress: {
            auto *mouse = static_cast<QMouseEvent *>(event);
            if (m_cropMode && mouse->button() == Qt::LeftButton) {
                m_dragStart = mouse->position().toPoint();
                m_dragging = true;
                m_band->setGeometry(QRect(m_dragStart, QSize()));
                m_band->show();
                return true;
            }
            break;
        }
        case QEvent::MouseMove:
            pictureMoved(static_cast<QMouseEvent *>(event)->position().toPoint());
            return true;
        case QEvent::MouseButtonRelease:
            if (m_cropMode) {
                pictureReleased(static_cast<QMouseEvent *>(event)->position().toPoint());
                return true;
            }
            break;
        default:
            break;
        }
    } else if (watched == m_scroll->viewport() && event->type() == QEvent::MouseMove) {
        m_coordinates->clear();
        showDate();
    }
    return QDialog::eventFilter(watched, event);
}

void ImageViewer::pictureMoved(QPoint at)
{
    m_coordinates->setText(ImageViewerRules::coordinatesText(at));
    if (!m_dragging)
        return;
    m_band->setGeometry(ImageViewerRules::cropRectangle(m_dragStart, at, m_rules.picture().size()));
    m_details->setText(ImageViewerRules::dragText(m_dragStart, at));
}

void ImageViewer::pictureReleased(QPoint at)
{
    const bool dragged = m_dragging;
    setCropMode(false);
    m_details->clear();
    if (!dragged || !m_rules.crop(m_dragStart, at))
        return;
    showPicture();
    m_rules.setDefaultCaption();
    showCaption();
    showDate();
    refreshFileMenu();
    refreshEditMenu();
}

void ImageViewer::setDefaultAlias()
{
    m_rules.setDefaultCaption();
    showCaption();
    refreshFileMenu();
}

void ImageViewer::setCustomAlias()
{
    if (!m_askAlias)
        return;
    if (const auto answer = m_askAlias(this, m_rules.caption())) {
        m_rules.setCaption(*answer);
        showCaption();
        refreshFileMenu();
    }
}

bool ImageViewer::save()
{
    bool written = false;
    ErrorHandler::guard(this, [this, &written] {
        m_rules.save(m_item, m_updateDate->isChecked() ? std::optional<QString>(createdStamp()) : std::nullopt);
        written = true;
    });
    if (!written)
        return false;
    m_saved = true;
    showDate();
    refreshFileMenu();
    refreshEditMenu();
    return true;
}

void ImageViewer::saveAs()
{
    QString chosenFilter;
    const QString chosen = m_files.saveFile(this, QString(), QString(), ImageViewerRules::kSaveFilter,
                                            ImageViewerRules::kBitmapFilter, QString(), chosenFilter);
    if (chosen.isEmpty())
        return;
    const auto target = ImageViewerRules::saveTarget(chosen, chosenFilter);
    ErrorHandler::guard(this, [this, &target] {
        // JPEG is written with the library's default settings (quality 75).
        const bool jpeg = target.format == ImageViewerRules::FileFormat::Jpeg;
        QImageWriter writer(target.path, jpeg ? "jpg" : "bmp");
        if (!writer.write(m_rules.picture()))
            throw ProgramError(QStringLiteral("Cannot write %1: %2").arg(target.path, writer.errorString()));
    });
}

void ImageViewer::undo()
{
    if (!m_rules.undo())
        return;
    showPicture();
    m_rules.setDefaultCaption();
    showCaption();
    refreshFileMenu();
    refreshEditMenu();
}

void ImageViewer::copy()
{
    if (m_clipboardGuard)
        m_clipboardGuard();
    auto *data = new QMimeData;
    data->setImageData(m_rules.picture());
    m_clipboard.setMimeData(data);
}

void ImageViewer::paste()
{
    const auto image = ClipboardContent(m_clipboard).image();
    if (!image || !m_rules.replace(*image))
        return;
    showPicture();
    m_rules.setDefaultCaption();
    showCaption();
    refreshFileMenu();
    refreshEditMenu();
}
