#pragma once

#include "config/pages/configpage.h"

class Collection;
class CollectionTreeModel;
class QTreeView;

// "List Setup": the collection as a tree of categories and items. Its edits
// go to the collection itself, so it has no options to load or apply.
class ListSetupPage : public ConfigPage
{
public:
    ListSetupPage(Collection &collection, QWidget *parent);

    QString title() const override;
    QString helpTopic() const override;
    QWidget *widget() override { return m_page; }
    void load(const Options &) override {}
    void apply(Options &) override {}

    // The tab names the data file the tree shows.
    void setDataFileName(const QString &fileName) { m_fileName = fileName; }
    QTreeView *tree() const { return m_tree; }
    CollectionTreeModel *model() const { return m_model; }

private:
    QWidget *m_page = nullptr;
    QTreeView *m_tree = nullptr;
    CollectionTreeModel *m_model = nullptr;
    QString m_fileName;
};
