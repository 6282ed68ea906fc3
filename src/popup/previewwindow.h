#pragma once

#include <QWidget>

class QCheckBox;
class QLabel;
class QScrollArea;
class RichEdit;
struct Item;

// The preview window beside the pop-up list: the focused entry in full,
// text, formatted rich text or the picture.
class PreviewWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int MinimumWidth = 170;

    explicit PreviewWindow(QWidget *parent = nullptr);

    void showItem(const Item &item);
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
    QScrollArea *m_pictureArea = nullptr;
    QLabel *m_picture = nullptr;
    RichEdit *m_memo = nullptr;
    QWidget *m_bottomBar = nullptr;
    QCheckBox *m_wordWrap = nullptr;
};
