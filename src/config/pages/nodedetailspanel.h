#pragma once

#include "config/tree/treenode.h"

#include <QWidget>

class QLabel;
class QScrollArea;
class RichEdit;

// The panel beside the tree: when an item was made and what it holds (text,
// formatted rich text or its picture), or a category's properties.
class NodeDetailsPanel : public QWidget
{
    Q_OBJECT
public:
    explicit NodeDetailsPanel(QWidget *parent = nullptr);

    void showNode(TreeNode node);

private:
    void clear();

    QLabel *m_date = nullptr;
    QScrollArea *m_scroll = nullptr;
    RichEdit *m_memo = nullptr;
    QLabel *m_picture = nullptr;
};
