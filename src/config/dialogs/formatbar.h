#pragma once

#include <QList>
#include <QPointer>
#include <QWidget>

#include <functional>

class QComboBox;
class QShortcut;
class QSpinBox;
class QTextCharFormat;
class QTextEdit;
class QToolButton;

// The row of font controls over a text control: font name, size, bold,
// italic, underline and colour. It shows the format of the control's
// selection and applies the user's choices to it.
class FormatBar : public QWidget
{
    Q_OBJECT
public:
    explicit FormatBar(QWidget *parent);

    // Follows `edit`'s selection from now on. A choice applies to the
    // selection when at least one character is selected, else to the
    // format of new typing. Ctrl+B, Ctrl+I and Ctrl+U in `edit` press the
    // style buttons while the bar is enabled, and do nothing else.
    void attach(QTextEdit *edit);
    // Runs before any format is applied (the item editor switches its text
    // to rich-text mode there).
    void setBeforeApply(std::function<void()> hook);

    // Shows the format at the attached control's selection without applying it.
    void refresh();

    QComboBox *fontCombo() const { return m_font; }
    QSpinBox *sizeSpin() const { return m_size; }
    QToolButton *boldButton() const { return m_bold; }
    QToolButton *italicButton() const { return m_italic; }
    QToolButton *underlineButton() const { return m_underline; }
    QComboBox *colorCombo() const { return m_color; }

signals:
    void formatApplied();

private:
    void apply(const QTextCharFormat &change);
    void showColor(const QColor &color);

    QComboBox *m_font = nullptr;
    QSpinBox *m_size = nullptr;
    QToolButton *m_bold = nullptr;
    QToolButton *m_italic = nullptr;
    QToolButton *m_underline = nullptr;
    QComboBox *m_color = nullptr;
    QPointer<QTextEdit> m_edit;
    QList<QPointer<QShortcut>> m_shortcuts;
    std::function<void()> m_beforeApply;
    // Set while the bar is refreshed from the selection, so showing a format
    // never applies it.
    bool m_refreshing = false;
};
