#pragma once

#include "config/tree/treenode.h"

#include <QWidget>

class QFontMetrics;
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

    // The tab stop at which every "label<tabs>value" line of the text shows its
    // value in one column, in the given font.
    static int alignedTabStop(const QString &text, const QFontMetrics &metrics);

private:
    void clear();

    QLabel *m_date = nullptr;
    QScrollArea *m_scroll = nullptr;
    RichEdit *m_memo = nullptr;
    QLabel *m_picture = nullptr;
};
