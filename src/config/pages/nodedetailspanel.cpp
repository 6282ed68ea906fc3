#include "config/pages/nodedetailspanel.h"

#include "config/tree/nodedetails.h"
#include "richtext/richedit.h"
#include "store/collection.h"
#include "store/itempictures.h"

#include <QFontMetrics>
#include <QLabel>
#include <QScreen>
#include <QScrollArea>
#include <QStringList>
#include <QVBoxLayout>

int NodeDetailsPanel::alignedTabStop(const QString &text, const QFontMetrics &metrics)
{
    // Each labelled line is "label", one or more tabs, value: the labels were
    // written for tab stops that put every value in one column.
    struct Label
    {
        int width;
        int tabs;
    };
    QList<Label> labels;
    for (const QString &line : text.split(QLatin1Char('\n'))) {
        const qsizetype firstTab = line.indexOf(QLatin1Char('\t'));
        if (firstTab < 0)
            continue;
        qsizetype tabs = 0;
        while (firstTab + tabs < line.size() && line.at(firstTab + tabs) == QLatin1Char('\t'))
            ++tabs;
        labels.append({metrics.horizontalAdvance(line.left(firstTab)), int(tabs)});
    }
    const int gap = metrics.horizontalAdvance(QStringLiteral("  "));
    const int fallback = metrics.horizontalAdvance(QLatin1Char('x')) * 8;
    if (labels.isEmpty())
        return fallback;
    int widest = 0;
    for (const Label &label : labels)
        widest = std::max(widest, label.width);
    // The narrowest stop that lines every value up with room after its label.
    for (int stop = std::max(1, gap); stop <= widest + gap; ++stop) {
        int column = -1;
        bool aligned = true;
        for (const Label &label : labels) {
            const int at = (label.width / stop + label.tabs) * stop;
            if (at - label.width < gap || (column >= 0 && at != column)) {
                aligned = false;
                break;
            }
            column = at;
        }
        if (aligned)
            return stop;
    }
    return widest + gap;
}

NodeDetailsPanel::NodeDetailsPanel(QWidget *parent)
    : QWidget(parent)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_date = new QLabel(this);
    m_date->setObjectName(QStringLiteral("panelDate"));
    m_date->setTextFormat(Qt::PlainText);
    m_scroll = new QScrollArea(this);
    m_scroll->setObjectName(QStringLiteral("currsb"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setAccessibleName(QStringLiteral("Details of the selected node"));
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea#currsb, QScrollArea#currsb > QWidget > QWidget { background: black; }"));
    auto *content = new QWidget(m_scroll);
    auto *contentLayout = new QVBoxLayout(content);
    contentLayout->setContentsMargins(0, 0, 0, 0);
    m_memo = new RichEdit(content);
    m_memo->setObjectName(QStringLiteral("pMemo"));
    m_memo->setReadOnly(true);
    m_memo->setLineWrapMode(QTextEdit::NoWrap);
    m_memo->setAccessibleName(QStringLiteral("Details"));
    m_picture = new QLabel(content);
    m_picture->setObjectName(QStringLiteral("img"));
    m_picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_picture->setAccessibleName(QStringLiteral("Picture"));
    m_picture->setStyleSheet(QStringLiteral("QLabel#img { color: white; }"));  // a note on the black ground
    m_picture->setWordWrap(true);
    contentLayout->addWidget(m_memo, 1);
    contentLayout->addWidget(m_picture, 1);
    m_scroll->setWidget(content);
    layout->addWidget(m_date);
    layout->addWidget(m_scroll, 1);
    clear();
}

void NodeDetailsPanel::clear()
{
    resetRichEdit(m_memo);
    m_memo->clear();
    m_picture->clear();
    m_picture->hide();
}

void NodeDetailsPanel::showNode(TreeNode node)
{
    auto *layout = static_cast<QVBoxLayout *>(this->layout());
    layout->removeWidget(m_date);
    if (node.isItem()) {
        const Item &item = *node.item;
        m_date->setText(NodeDetails::createdLine(item));
        layout->addWidget(m_date);  // the date stands below an item
        if (item.kind == ItemKind::Image) {
            clear();
            // Never decoded larger than the screen could show it.
            const QImage picture = ItemPictures::shared().picture(item, screen()->availableGeometry().size());
            if (picture.isNull())
                m_picture->setText(ItemPictures::notShownNote(item.text));
            else
                m_picture->setPixmap(QPixmap::fromImage(picture));
            m_picture->show();
            m_memo->hide();
            return;
        }
        clear();
        loadExcerpt(m_memo, item.text, item.kind == ItemKind::RichText);
        m_memo->show();
        return;
    }
    layout->insertWidget(0, m_date);
    clear();
    if (node.isCategory()) {
        m_date->setText(NodeDetails::kCategoryHeading);
        const QString summary = NodeDetails::categorySummary(*node.category);
        m_memo->setTabStopDistance(alignedTabStop(summary, m_memo->fontMetrics()));
        m_memo->setPlainText(summary);
    } else {
        m_date->clear();
    }
    m_memo->show();
}
