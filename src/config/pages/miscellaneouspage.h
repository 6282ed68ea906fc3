#pragma once

#include "config/pages/configpage.h"

#include <QObject>

class Desktop;
class FileDialogs;
class OptionBinder;
class QAbstractButton;
class QCheckBox;
class QLineEdit;
class QRadioButton;
class QTabWidget;

// "General Options": start-up, leaving the taskbar, confirmations and the
// capture sound; when data is saved and backed up; and the tray menu's look.
// Three tabs, every control bound to its option.
class MiscellaneousPage : public QObject, public ConfigPage
{
    Q_OBJECT
public:
    MiscellaneousPage(Desktop &desktop, FileDialogs &fileDialogs, QWidget *parent);

    QString title() const override;
    QString helpTopic() const override;
    QWidget *widget() override;
    void load(const Options &options) override;
    void apply(Options &options) override;

    // What the page's buttons do.
    void browseForSound();
    void testSound();

private:
    QWidget *buildMiscellaneousTab();
    QWidget *buildSavingDataTab();
    QWidget *buildIconMenuTab();
    QCheckBox *checkBox(QWidget *parent, const char *name, const QString &caption);
    QRadioButton *radioButton(QWidget *parent, const char *name, const QString &caption);

    Desktop &m_desktop;
    FileDialogs &m_fileDialogs;
    OptionBinder *m_binder;
    QTabWidget *m_tabs;
    QCheckBox *m_playSound = nullptr;
    QRadioButton *m_soundFile = nullptr;
    QRadioButton *m_beep = nullptr;
    QLineEdit *m_soundPath = nullptr;
};
