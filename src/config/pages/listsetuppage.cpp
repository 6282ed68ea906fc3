#include "config/pages/listsetuppage.h"

#include "config/tree/collectiontreemodel.h"

#include <QTreeView>
#include <QVBoxLayout>

ListSetupPage::ListSetupPage(Collection &collection, QWidget *parent)
{
    m_page = new QWidget(parent);
    m_page->setObjectName(QStringLiteral("ListSetuptab"));
    auto *layout = new QVBoxLayout(m_page);
    m_tree = new QTreeView(m_page);
    m_tree->setObjectName(QStringLiteral("TV"));
    m_tree->setHeaderHidden(true);
    m_tree->setMouseTracking(true);  // hot tracking
    m_model = new CollectionTreeModel(collection, m_page);
    m_tree->setModel(m_model);
    layout->addWidget(m_tree);
}

QString ListSetupPage::title() const
{
    return m_fileName.isEmpty() ? QStringLiteral("List Setup") : QStringLiteral("List Setup - ") + m_fileName;
}

QString ListSetupPage::helpTopic() const
{
    return QStringLiteral("ListSetup");
}
