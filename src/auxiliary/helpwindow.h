#pragma once

#include <QString>
#include <QUrl>
#include <QWidget>

class LocalPageBrowser;
class QLabel;
class QTextBrowser;

// The program's own viewer for the help and the example page, for a desktop
// that has no browser to show them. It reads only files inside the folder it
// is given: nothing comes from the network, and a link that leads anywhere
// else is named in the window instead of followed.
class HelpWindow : public QWidget
{
    Q_OBJECT
public:
    static const QString NoBrowserNotice;

    explicit HelpWindow(const QString &folder, QWidget *parent = nullptr);

    // Shows the page `file` at the anchor `topic` (its top when empty).
    // False, showing nothing new, when the page is not a readable file inside
    // the folder.
    bool showPage(const QString &file, const QString &topic);

    QTextBrowser *browser() const;
    // The line above the page: why the page is shown here, or what became
    // of the last link followed.
    QString notice() const;

private:
    void follow(const QUrl &link);

    LocalPageBrowser *m_browser = nullptr;
    QLabel *m_notice = nullptr;
};
