#include "config/dialogs/formatbar.h"

#include "richtext/richedit.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QPainter>
#include <QPixmap>
#include <QShortcut>
#include <QSpinBox>
#include <QTextCharFormat>
#include <QTextEdit>
#include <QToolButton>

#include <algorithm>

namespace {

// The colours offered, in the order of the usual sixteen-colour box.
const QList<QColor> kColors = {
    QColor(0, 0, 0),       QColor(128, 0, 0),     QColor(0, 128, 0),   QColor(128, 128, 0),
    QColor(0, 0, 128),     QColor(128, 0, 128),   QColor(0, 128, 128), QColor(128, 128, 128),
    QColor(192, 192, 192), QColor(255, 0, 0),     QColor(0, 255, 0),   QColor(255, 255, 0),
    QColor(0, 0, 255),     QColor(255, 0, 255),   QColor(0, 255, 255), QColor(255, 255, 255),
};

QIcon swatch(const QColor &color)
{
    QPixmap pixmap(28, 12);
    pixmap.fill(color);
    QPainter painter(&pixmap);
    painter.setPen(Qt::darkGray);
    painter.drawRect(pixmap.rect().adjusted(0, 0, -1, -1));
    return QIcon(pixmap);
}

QToolButton *styleButton(const QString &objectName, const QString &glyph, const QString &name,
                         void (QFont::*setStyle)(bool))
{
    auto *button = new QToolButton;
    button->setObjectName(objectName);
    button->setText(glyph);
    button->setCheckable(true);
    button->setAutoRaise(true);
    button->setToolTip(name);
    button->setAccessibleName(name);
    QFont font = button->font();
    (font.*setStyle)(true);
    button->setFont(font);
    return button;
}

} // namespace

FormatBar::FormatBar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("FormatBar"));

    m_font = new QComboBox;
    m_font->setObjectName(QStringLiteral("comboFont"));
    m_font->setEditable(true);
    m_font->setInsertPolicy(QComboBox::NoInsert);
    m_font->setAccessibleName(QStringLiteral("Font name"));
    m_font->setToolTip(QStringLiteral("Font name"));
    QStringList families;
    fillFontList(families);
    std::sort(families.begin(), families.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    families.removeDuplicates();
    m_font->addItems(families);
    m_font->setMinimumContentsLength(6);
    m_font->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    m_size = new QSpinBox;
    m_size->setObjectName(QStringLiteral("seSize"));
    m_size->setRange(1, 100);
    m_size->setAccessibleName(QStringLiteral("Font size"));
    m_size->setToolTip(QStringLiteral("Font size"));

    m_bold = styleButton(QStringLiteral("sbbold"), QStringLiteral("B"), QStringLiteral("Bold"), &QFont::setBold);
    m_italic = styleButton(QStringLiteral("sbital"), QStringLiteral("I"), QStringLiteral("Italic"), &QFont::setItalic);
    m_underline = styleButton(QStringLiteral("sbunder"), QStringLiteral("U"), QStringLiteral("Underline"),
                              &QFont::setUnderline);

    m_color = new QComboBox;
    m_color->setObjectName(QStringLiteral("comboColor"));
    m_color->setAccessibleName(QStringLiteral("Font colour"));
    m_color->setToolTip(QStringLiteral("Font colour"));
    m_color->setIconSize(QSize(28, 12));
    for (const QColor &color : kColors)
        m_color->addItem(swatch(color), QString(), color);

    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(3);
    layout->addWidget(m_font, 1);
    layout->addWidget(m_size);
    layout->addWidget(m_bold);
    layout->addWidget(m_italic);
    layout->addWidget(m_underline);
    layout->addWidget(m_color);

    connect(m_font, &QComboBox::textActivated, this, [this](const QString &family) {
        if (family.trimmed().isEmpty())
            return;
        QTextCharFormat change;
        change.setFontFamilies(QStringList{family});
        apply(change);
    });
    connect(m_size, &QSpinBox::valueChanged, this, [this](int size) {
        QTextCharFormat change;
        change.setFontPointSize(size);
        apply(change);
    });
    // Each style button adds or removes its own style and keeps the others.
    connect(m_bold, &QToolButton::toggled, this, [this](bool down) {
        QTextCharFormat change;
        change.setFontWeight(down ? QFont::Bold : QFont::Normal);
        apply(change);
    });
    connect(m_italic, &QToolButton::toggled, this, [this](bool down) {
        QTextCharFormat change;
        change.setFontItalic(down);
        apply(change);
    });
    connect(m_underline, &QToolButton::toggled, this, [this](bool down) {
        QTextCharFormat change;
        change.setFontUnderline(down);
        apply(change);
    });
    connect(m_color, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (index < 0)
            return;
        QTextCharFormat change;
        change.setForeground(m_color->itemData(index).value<QColor>());
        apply(change);
    });
}

void FormatBar::attach(QTextEdit *edit)
{
    if (m_edit)
        disconnect(m_edit, nullptr, this, nullptr);
    for (QShortcut *shortcut : std::as_const(m_shortcuts))
        delete shortcut;  // null when they went with an earlier control
    m_shortcuts.clear();
    m_edit = edit;
    if (!edit)
        return;
    // The keys every rich-text editor has; they act only where the bar's own
    // buttons can be pressed (in rich-text mode), and elsewhere do nothing
    // (the text box would otherwise take Ctrl+U to delete the line).
    for (const auto &[keys, button] : {std::pair{QKeySequence::Bold, m_bold}, std::pair{QKeySequence::Italic, m_italic},
                                       std::pair{QKeySequence::Underline, m_underline}}) {
        auto *shortcut = new QShortcut(QKeySequence(keys), edit);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, button, [this, button = button] {
            if (isEnabled())
                button->click();
        });
        m_shortcuts.append(shortcut);
    }
    connect(edit, &QTextEdit::selectionChanged, this, &FormatBar::refresh);
    connect(edit, &QTextEdit::cursorPositionChanged, this, &FormatBar::refresh);
    connect(edit, &QTextEdit::currentCharFormatChanged, this, &FormatBar::refresh);
    refresh();
}

void FormatBar::setBeforeApply(std::function<void()> hook)
{
    m_beforeApply = std::move(hook);
}

void FormatBar::refresh()
{
    if (!m_edit || m_refreshing)
        return;
    m_refreshing = true;
    // A selection shows its first character, whichever end the cursor is
    // at; without one, what typing would get.
    QTextCharFormat format = m_edit->currentCharFormat();
    if (const QTextCursor cursor = m_edit->textCursor(); cursor.hasSelection()) {
        QTextCursor first(m_edit->document());
        first.setPosition(cursor.selectionStart() + 1);
        format = first.charFormat();
    }
    // What the format leaves open comes from the control's own font.
    const QFont font = format.font().resolve(m_edit->document()->defaultFont());
    m_bold->setChecked(format.hasProperty(QTextFormat::FontWeight) ? format.fontWeight() >= QFont::DemiBold
                                                                    : font.bold());
    m_italic->setChecked(font.italic());
    m_underline->setChecked(format.fontUnderline() || font.underline());
    const qreal points = format.fontPointSize() > 0 ? format.fontPointSize() : font.pointSizeF();
    m_size->setValue(points > 0 ? qRound(points) : m_size->value());
    const QStringList families = format.fontFamilies().toStringList();
    m_font->setCurrentText(families.isEmpty() ? font.family() : families.first());
    const QBrush brush = format.foreground();
    // A colour the document leaves to the palette shows as black.
    showColor(brush.style() == Qt::NoBrush ? QColor(Qt::black) : brush.color());
    m_refreshing = false;
}

void FormatBar::showColor(const QColor &color)
{
    const QColor opaque = color.toRgb();
    int index = m_color->findData(opaque);
    if (index < 0) {
        // A colour from loaded text that the box does not offer is shown as its own swatch.
        m_color->addItem(swatch(opaque), QString(), opaque);
        index = m_color->count() - 1;
    }
    m_color->setCurrentIndex(index);
}

void FormatBar::apply(const QTextCharFormat &change)
{
    if (m_refreshing || !m_edit)
        return;
    if (m_beforeApply)
        m_beforeApply();
    // With a selection this changes the selected characters; without one
    // only the format of what is typed next.
    m_edit->mergeCurrentCharFormat(change);
    emit formatApplied();
}
