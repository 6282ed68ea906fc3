#pragma once

#include <QTextEdit>

// A text control with the two modes the program's windows share: plain-text
// mode, where its text is exactly the characters it holds, and rich-text
// mode, where it shows formatted text read from RTF source.
class RichEdit : public QTextEdit
{
    Q_OBJECT
public:
    explicit RichEdit(QWidget *parent = nullptr);

    bool plainTextMode() const { return m_plainTextMode; }
    void setPlainTextMode(bool on);

protected:
    // In rich-text mode a copy offers RTF and HTML of the selection besides
    // its text, and a paste reads RTF, else HTML through the program's own
    // safe reader (Qt's would open the files the markup names), else text.
    QMimeData *createMimeDataFromSelection() const override;
    bool canInsertFromMimeData(const QMimeData *source) const override;
    void insertFromMimeData(const QMimeData *source) override;

private:
    bool m_plainTextMode = true;
};

// The shared operations on such a control.
void resetRichEdit(RichEdit *edit);
void loadRichText(RichEdit *edit, const QString &source);
// For a window that only shows an item: the bounded start of its text
// (TextExcerpt), formatted when `rich`.
void loadExcerpt(RichEdit *edit, const QString &text, bool rich);
QString richSource(const RichEdit *edit);
void showRichSource(RichEdit *edit, const QString &source);
QString selectAllText(RichEdit *edit);
void fillFontList(QStringList &list);
