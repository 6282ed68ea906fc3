#include "config/configwindow.h"

#include "capture/aliasderivation.h"
#include "common/errorhandler.h"
#include "config/dialogs/screencentre.h"
#include "config/menupicture.h"
#include "config/pageiconcolumn.h"
#include "config/pages/clipboardpage.h"
#include "config/pages/collectiontreeview.h"
#include "config/pages/listsetuppage.h"
#include "config/pages/miscellaneouspage.h"
#include "config/pages/popuplistpage.h"
#include "config/tree/collectiontreemodel.h"
#include "richtext/richedit.h"
#include "richtext/richtextplain.h"
#include "store/collection.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyle>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

// Asks for the room of the page on show, not of the largest page, so that
// only a page taller than the screen's room scrolls.
class CurrentPageStack : public QStackedWidget
{
public:
    explicit CurrentPageStack(QWidget *parent)
        : QStackedWidget(parent)
    {
        connect(this, &QStackedWidget::currentChanged, this, &QWidget::updateGeometry);
    }

    QSize sizeHint() const override { return currentWidget() ? currentWidget()->sizeHint() : QSize(); }
    QSize minimumSizeHint() const override
    {
        return currentWidget() ? currentWidget()->minimumSizeHint() : QSize();
    }
};

} // namespace

ConfigWindow::ConfigWindow(Collection &collection, TreeEditor &treeEditor, ConfigViewHandler &handler,
                           Desktop &desktop, FileDialogs &fileDialogs, QWidget *parent)
    : QMainWindow(parent)
    , m_collection(collection)
    , m_handler(&handler)
{
    setObjectName(QStringLiteral("frmConfig"));
    buildUi(treeEditor, desktop, fileDialogs);
}

ConfigWindow::~ConfigWindow() = default;

namespace {

// The pages' icons in the column, in page order.
struct PageLook
{
    const char *objectName;
    const char *caption;
    const char *themeIcon;
    QStyle::StandardPixmap fallback;
};
const PageLook kPageLooks[] = {
    {"LS", "List Setup Options", "view-list-tree", QStyle::SP_DirIcon},
    {"PU", "Pop-up List Options", "edit-paste", QStyle::SP_FileDialogListView},
    {"CO", "Clipboard Options", "edit-copy", QStyle::SP_FileDialogContentsView},
    {"GO", "General Options", "preferences-system", QStyle::SP_DesktopIcon},
};

} // namespace

template<typename Page>
Page *ConfigWindow::addPage(std::unique_ptr<Page> page)
{
    Page *added = page.get();
    // A page with tabs of its own brings them; a single page gets one tab.
    QWidget *notebookPage = page->widget();
    if (!qobject_cast<QTabWidget *>(notebookPage)) {
        auto *tabs = new QTabWidget(m_pages);
        tabs->addTab(notebookPage, page->title());
        notebookPage = tabs;
    }
    m_pages->addWidget(notebookPage);
    const PageLook &look = kPageLooks[std::min(m_pageObjects.size(), std::size(kPageLooks) - 1)];
    if (notebookPage->accessibleName().isEmpty())
        notebookPage->setAccessibleName(QLatin1String(look.caption));
    m_icons->addIcon(look.objectName,
                     QIcon::fromTheme(QLatin1String(look.themeIcon), style()->standardIcon(look.fallback)),
                     QLatin1String(look.caption));
    m_pageObjects.push_back(std::move(page));
    return added;
}

int ConfigWindow::currentPageIndex() const
{
    return m_pages->currentIndex();
}

ConfigPage &ConfigWindow::currentPage() const
{
    const int index = m_pages->currentIndex();
    return index >= 0 && size_t(index) < m_pageObjects.size() ? *m_pageObjects[size_t(index)] : *m_pageObjects.front();
}

void ConfigWindow::openPage(int index)
{
    m_icons->setCurrent(index);
    m_pages->setCurrentIndex(index);
}

void ConfigWindow::buildUi(TreeEditor &treeEditor, Desktop &desktop, FileDialogs &fileDialogs)
{
    auto *central = new QWidget(this);
    auto *layout = new QVBoxLayout(central);

    auto *categoryRow = new QHBoxLayout;
    auto *categoryLabel = new QLabel(QStringLiteral("Current\ncategory:"), central);
    m_categoryCombo = new QComboBox(central);
    m_categoryCombo->setObjectName(QStringLiteral("Catcombo"));
    m_categoryCombo->setMinimumContentsLength(20);
    m_categoryCombo->setMaxVisibleItems(12);
    m_categoryCombo->setToolTip(QStringLiteral(
        "The items in this selected category will be\r\ndisplayed when the pop-up list is shown"));
    m_categoryCombo->setAccessibleName(QStringLiteral("Current category:"));
    categoryLabel->setBuddy(m_categoryCombo);
    categoryRow->addWidget(categoryLabel);
    categoryRow->addWidget(m_categoryCombo, 1);
    layout->addLayout(categoryRow);

    auto *pageRow = new QHBoxLayout;
    m_icons = new PageIconColumn(central);
    m_pages = new CurrentPageStack(central);
    m_pages->setObjectName(QStringLiteral("Notebook"));
    m_pages->setAccessibleName(QStringLiteral("Configuration pages"));
    m_listSetup = addPage(std::make_unique<ListSetupPage>(m_collection, treeEditor, m_pages));
    m_listSetupTab = m_listSetup->widget();
    m_listSetupTabs = qobject_cast<QTabWidget *>(m_pages->widget(0));
    m_listSetupTabs->setObjectName(QStringLiteral("ConfigPC"));
    m_tree = m_listSetup->tree();
    m_treeModel = m_listSetup->model();
    m_popupList = addPage(std::make_unique<PopupListPage>(m_pages));
    m_clipboard = addPage(std::make_unique<ClipboardPage>(m_pages));
    addPage(std::make_unique<MiscellaneousPage>(desktop, fileDialogs, m_pages));
    m_icons->setCurrent(0);
    pageRow->addWidget(m_icons);
    // On a small or scaled screen the tallest page scrolls rather than
    // pushing the buttons below the screen's edge.
    auto *pageScroller = new QScrollArea(central);
    pageScroller->setObjectName(QStringLiteral("PageScroller"));
    pageScroller->setAccessibleName(QStringLiteral("Configuration pages"));
    pageScroller->setFrameShape(QFrame::NoFrame);
    pageScroller->setWidgetResizable(true);
    pageScroller->setWidget(m_pages);
    pageRow->addWidget(pageScroller, 1);
    layout->addLayout(pageRow, 1);
    setMinimumWidth(300);
    connect(m_icons, &PageIconColumn::pageChosen, this, &ConfigWindow::openPage);

    m_memo = new RichEdit(central);
    m_memo->setObjectName(QStringLiteral("Memo"));
    m_memo->hide();

    m_progressPanel = new QWidget(central);
    m_progressPanel->setObjectName(QStringLiteral("pbpnl"));
    auto *progressLayout = new QHBoxLayout(m_progressPanel);
    progressLayout->setContentsMargins(0, 0, 0, 0);
    progressLayout->addWidget(new QLabel(QStringLiteral("Loading data..."), m_progressPanel));
    m_progress = new QProgressBar(m_progressPanel);
    m_progress->setObjectName(QStringLiteral("pb"));
    m_progress->setRange(0, 100);
    progressLayout->addWidget(m_progress, 1);
    m_progressPanel->hide();
    layout->addWidget(m_progressPanel);

    auto *buttons = new QHBoxLayout;
    auto *ok = new QPushButton(QStringLiteral("OK"), central);
    ok->setObjectName(QStringLiteral("OK"));
    ok->setToolTip(QStringLiteral("Save all information and minimize"));
    ok->setDefault(true);
    auto *cancel = new QPushButton(QStringLiteral("Cancel"), central);
    cancel->setObjectName(QStringLiteral("Cancel"));
    cancel->setToolTip(QStringLiteral("Cancel changes (if any) and minimize"));
    auto *help = new QPushButton(QStringLiteral("&Help"), central);
    help->setObjectName(QStringLiteral("Help"));
    help->setToolTip(QStringLiteral("Bring up help file page for current options"));
    m_menuPicture = new MenuPicture(central);
    m_menuPicture->hide();
    buttons->addWidget(m_menuPicture);
    buttons->addStretch(1);
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(help);
    layout->addLayout(buttons);
    setCentralWidget(central);
    resize(640, 580);

    connect(ok, &QPushButton::clicked, this,
            [this, ok] { ErrorHandler::guard(ok, [this] { m_handler->acceptRequested(); }); });
    connect(cancel, &QPushButton::clicked, this,
            [this, cancel] { ErrorHandler::guard(cancel, [this] { m_handler->discardRequested(false); }); });
    // Escape is the window's Cancel, as in a dialog.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, cancel, &QPushButton::click);
    connect(m_listSetup, &ListSetupPage::restoreRequested, this, [this] { m_handler->discardRequested(true); });
    connect(m_listSetup, &ListSetupPage::categorySelected, this, &ConfigWindow::followTreeSelection);
    connect(m_listSetup, &ListSetupPage::newGroupListRequested, this, [this] { m_handler->newGroupListRequested(); });
    connect(m_listSetup, &ListSetupPage::openGroupListRequested, this, [this] { m_handler->openGroupListRequested(); });
    connect(m_listSetup, &ListSetupPage::recentGroupListChosen, this,
            [this](int index) { m_handler->recentGroupListChosen(index); });
    connect(m_listSetup, &ListSetupPage::clearRecentGroupListsRequested, this,
            [this] { m_handler->clearRecentGroupListsRequested(); });
    connect(m_listSetup, &ListSetupPage::saveGroupListRequested, this, [this] { m_handler->saveGroupListRequested(); });
    connect(m_listSetup, &ListSetupPage::recentGroupListsWanted, this,
            [this] { m_listSetup->showRecentGroupLists(m_handler->recentGroupLists()); });
    connect(m_popupList, &PopupListPage::explanationRequested, this,
            [this](const QString &text) { m_handler->explanationRequested(text); });
    connect(help, &QPushButton::clicked, this,
            [this, help] { ErrorHandler::guard(help, [this] { m_handler->helpRequested(currentPage().helpTopic()); }); });
    connect(m_categoryCombo, &QComboBox::activated, this, [this](int index) {
        ErrorHandler::guard(m_categoryCombo, [this, index] { m_handler->categoryPicked(index); });
    });
}

// ---- what the program shows ---------------------------------------------------------

void ConfigWindow::showInFront()
{
    showNormal();
    raise();
    activateWindow();
}

void ConfigWindow::showMenuPicture(QMenu *menu, const QIcon &picture)
{
    m_menuPicture->setMenu(menu);
    m_menuPicture->setPixmap(picture.pixmap(m_menuPicture->size()));
    m_menuPicture->setVisible(menu != nullptr);
}

void ConfigWindow::hideAway()
{
    hide();
}

void ConfigWindow::iconify()
{
    showMinimized();
}

void ConfigWindow::showProgress(int percent)
{
    m_progressPanel->show();
    m_progress->setValue(percent);
}

void ConfigWindow::hideProgress()
{
    m_progressPanel->hide();
}

void ConfigWindow::showDataFile(const QString &path)
{
    setWindowTitle(QStringLiteral("Scrapkeeper Configuration - ") + path);
    m_listSetup->setDataFileName(QFileInfo(path).fileName());
    m_listSetupTabs->setTabText(m_listSetupTabs->indexOf(m_listSetupTab), m_listSetup->title());
}

void ConfigWindow::showCategoryNames(const QStringList &names, int selected)
{
    const QSignalBlocker block(m_categoryCombo);
    m_categoryCombo->clear();
    m_categoryCombo->addItems(names);
    m_categoryCombo->setCurrentIndex(selected);
    m_clipboard->showCategoryNames(names);
}

int ConfigWindow::categoryIndex() const
{
    return m_categoryCombo->currentIndex();
}

QString ConfigWindow::categoryName() const
{
    return m_categoryCombo->currentText();
}

void ConfigWindow::setCategoryIndex(int index)
{
    const QSignalBlocker block(m_categoryCombo);
    m_categoryCombo->setCurrentIndex(index);
}

void ConfigWindow::showCategory(const CategoryNode *category)
{
    m_tree->setCurrentIndex(m_treeModel->categoryIndex(category));
}

const CategoryNode *ConfigWindow::categoryInTree() const
{
    return m_treeModel->categoryAt(m_tree->currentIndex());
}

void ConfigWindow::followTreeSelection(const CategoryNode *category)
{
    // The combo names the selected node's category; a list about to be
    // refreshed may not hold it yet.
    if (!category || m_categoryCombo->currentText() == category->name)
        return;
    const int index = m_categoryCombo->findText(category->name, Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index < 0)
        return;
    setCategoryIndex(index);
    ErrorHandler::guard(m_tree, [this, index] { m_handler->categoryChosenInTree(index); });
}

void ConfigWindow::selectFirstNode()
{
    m_tree->setCurrentIndex(m_treeModel->index(0, 0));
}

void ConfigWindow::showListSetup()
{
    openPage(0);
    m_tree->setFocus();
}

void ConfigWindow::collapseTree()
{
    m_tree->collapseAll();
}

void ConfigWindow::setTreeUpdatesEnabled(bool enabled)
{
    m_tree->setUpdatesEnabled(enabled);
}

void ConfigWindow::loadOptions(const Options &options)
{
    for (const auto &page : m_pageObjects)
        page->load(options);
}

void ConfigWindow::applyOptions(Options &options)
{
    for (const auto &page : m_pageObjects)
        page->apply(options);
}

void ConfigWindow::showOption(const Options &options, Option option)
{
    for (const auto &page : m_pageObjects)
        page->loadOption(options, option);
}

QWidget *ConfigWindow::dialogParent()
{
    return this;
}

void ConfigWindow::setAliasFromMemo(QString &alias) const
{
    alias = AliasDerivation::fromText(RichTextPlain::plainText(*m_memo->document()));
}

// ---- what the window manager and the user do to the window ---------------------------------

void ConfigWindow::closeEvent(QCloseEvent *event)
{
    bool close = false;
    ErrorHandler::guard(this, [this, &close] { close = m_handler->closeRequested(); });
    if (close)
        event->accept();
    else
        event->ignore();
}

void ConfigWindow::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange)
        return;
    if (isMinimized())
        ErrorHandler::guard(this, [this] { m_handler->windowStateChanged(true); });
    else if (isVisible())
        ErrorHandler::guard(this, [this] { m_handler->windowStateChanged(false); });
}

void ConfigWindow::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_centred) {
        m_centred = true;
        fitOnScreen(this);
        centreOnScreen(this);
    }
}
