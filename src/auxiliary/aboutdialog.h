#pragma once

#include <QDialog>
#include <QUrl>

// The program's name, version and the maker's home page.
class AboutDialog : public QDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget *parent = nullptr);

    static QUrl homePage();

signals:
    // The user followed the home-page link; the caller opens the browser.
    void homePageRequested(const QUrl &url);
};
