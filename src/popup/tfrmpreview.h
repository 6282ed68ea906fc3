#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QScrollArea;
class RichEdit;
struct TItemRec;

// The preview window beside the pop-up list: the focused entry in full,
// text, formatted rich text or the picture.
class TfrmPreview : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 170;

    explicit TfrmPreview(QWidget *parent = nullptr);

    void ShowPreviewItem(const TItemRec &item);
    RichEdit *memo() const { return m_memo; }
    bool showingPicture() const;

signals:
    void closeListRequested();
    void editRequested();
    void configurationRequested();
    void disableRequested();
    void toggleRequested();
    void closed();

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    QScrollArea *m_sb = nullptr;
    QLabel *m_img = nullptr;
    RichEdit *m_memo = nullptr;
    QWidget *m_wwpanel = nullptr;
    QCheckBox *m_wwcb = nullptr;
};

// The tooltip window that follows the mouse over the list.
class TfrmHintWindow : public QWidget
{
    Q_OBJECT
public:
    explicit TfrmHintWindow(QWidget *parent = nullptr);
    void ShowTipText(const QString &text, QPoint pointer, QRect screen);
    QString text() const;

protected:
    void mousePressEvent(QMouseEvent *event) override;

private:
    QLabel *m_hint = nullptr;
};
