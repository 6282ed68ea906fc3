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

private:
    bool m_plainTextMode = true;
};

// The shared operations on such a control.
void ResetRichEdit(RichEdit *edit);
void LoadRichText(RichEdit *edit, const QString &source);
QString GetRichSource(const RichEdit *edit);
void ShowRichSource(RichEdit *edit, const QString &source);
QString SelectAllText(RichEdit *edit);
void FillFontList(QStringList &list);
