#pragma once

#include "config/optionbinder.h"
#include "config/pages/configpage.h"

#include <QObject>
#include <QStringList>

class QComboBox;
class QGroupBox;
class QTabWidget;

// "Clipboard Options": what is captured from the clipboard and the category
// each kind of capture goes to.
class ClipboardPage : public QObject, public ConfigPage
{
    Q_OBJECT
public:
    explicit ClipboardPage(QWidget *parent);

    QString title() const override;
    QString helpTopic() const override;
    QWidget *widget() override;
    void load(const Options &options) override;
    void apply(Options &options) override;
    void loadOption(const Options &options, Option option) override;

    // The category names, in tree order, for the destination lists.
    void showCategoryNames(const QStringList &names);

private:
    QGroupBox *addGroup(QWidget *parent, const char *name, const QString &caption);
    void addCheckBox(QGroupBox *group, const char *name, const QString &caption, Option option);
    void addChoice(QGroupBox *group, const char *name, const QString &caption, Option option);
    QComboBox *addCategoryChoice(QGroupBox *group, const char *name, const QString &caption, Option option,
                                 const char *comboName, Option indexOption, const QString &comboLabel);

    QTabWidget *m_tabs = nullptr;
    OptionBinder m_binder;
    QComboBox *m_textCategory = nullptr;
    QComboBox *m_imageCategory = nullptr;
};
