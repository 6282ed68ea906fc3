#pragma once

#include "config/optionbinder.h"
#include "config/pages/configpage.h"

#include <QObject>

class QCheckBox;
class QLineEdit;
class QSpinBox;
class QTabWidget;
class QToolButton;

// "Pop-up List Options": whether the quick list is active and its hotkey,
// what choosing an item pastes, the global paste method, and the size and
// companions of the pop-up list.
class PopupListPage : public QObject, public ConfigPage
{
    Q_OBJECT
public:
    explicit PopupListPage(QWidget *parent);

    QString title() const override;
    QString helpTopic() const override;
    QWidget *widget() override;
    void load(const Options &options) override;
    void apply(Options &options) override;
    void loadOption(const Options &options, Option option) override;
    // Says under the hotkey how the desktop delivers it, where the program
    // cannot take the key itself; nothing is shown for an empty text.
    void setHotkeyAdvice(const QString &text);

signals:
    // The help button beside the global paste method asks for this text to be shown.
    void explanationRequested(const QString &text);

private:
    QWidget *buildListTab();
    QWidget *buildOtherTab();
    QCheckBox *addCheckBox(QWidget *parent, const char *name, const QString &caption, Option option);
    void showWidth(int width);

    QTabWidget *m_tabs = nullptr;
    class QLabel *m_hotkeyAdvice = nullptr;
    OptionBinder m_binder;
    QSpinBox *m_width = nullptr;
    QLineEdit *m_ruler = nullptr;
    QToolButton *m_globalHelp = nullptr;
};
