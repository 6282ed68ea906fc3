#pragma once

#include <QIcon>
#include <QWidget>

class QVBoxLayout;

// One large picture with its caption below, standing for a page of the
// configuration window. It looks chosen while its page shows, brightly while
// the column has the keyboard, softly while the focus is elsewhere.
class PageIcon : public QWidget
{
    Q_OBJECT
public:
    PageIcon(const QIcon &icon, const QString &caption, QWidget *parent = nullptr);

    QString caption() const { return m_caption; }
    bool isCurrent() const { return m_current; }
    void setCurrent(bool current);
    void setColumnActive(bool active);

    // The icon's picture at side × side, whatever sizes its theme offers.
    static QPixmap picture(const QIcon &icon, int side, qreal ratio, QIcon::Mode mode);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

signals:
    void chosen();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

private:
    QRect captionRect(int width) const;

    QIcon m_icon;
    QString m_caption;
    bool m_current = false;
    bool m_columnActive = false;
};

// The column of page icons left of the configuration window's pages.
class PageIconColumn : public QWidget
{
    Q_OBJECT
public:
    static constexpr int ColumnWidth = 80;

    explicit PageIconColumn(QWidget *parent = nullptr);

    int addIcon(const char *objectName, const QIcon &icon, const QString &caption);
    int count() const { return int(m_icons.size()); }
    PageIcon *icon(int index) const { return m_icons.value(index); }
    int current() const { return m_current; }
    // Shows which page is open; chooses nothing.
    void setCurrent(int index);

signals:
    // The user chose the page at `index` (also the one already open).
    void pageChosen(int index);

private:
    void followFocus();
    void moveFocus(int from, int step);

    QVBoxLayout *m_layout = nullptr;
    QList<PageIcon *> m_icons;
    int m_current = -1;

    friend class PageIcon;
};
