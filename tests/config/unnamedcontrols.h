#pragma once

#include <QAccessible>
#include <QStringList>
#include <QWidget>

// The controls under `root` a screen reader could reach by the keyboard but
// would have no name to read for: each as its class and object name.
inline QStringList unnamedControls(QWidget *root)
{
    QStringList unnamed;
    for (QWidget *widget : root->findChildren<QWidget *>()) {
        // Parts of a compound control are named by the control itself.
        if (widget->focusPolicy() == Qt::NoFocus || !widget->isVisibleTo(root) || widget->inherits("QScrollBar")
            || widget->parentWidget()->inherits("QAbstractSpinBox") || widget->parentWidget()->inherits("QComboBox")
            || widget->parentWidget()->inherits("QAbstractScrollArea"))
            continue;
        QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(widget);
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty())
            unnamed << widget->metaObject()->className() + QStringLiteral(" ") + widget->objectName();
    }
    return unnamed;
}
