#pragma once

#include "settings/option.h"

#include <QList>
#include <QObject>

#include <functional>

class Options;
class QAbstractButton;
class QComboBox;
class QLineEdit;
class QSpinBox;
class QWidget;
class RadioGroup;

// Ties each control of a page to its option with one call: the control shows
// the option when the page loads, gives it back when the page applies, and is
// enabled as the enabling rules say, following the page's own controls as the
// user changes them.
class OptionBinder : public QObject
{
    Q_OBJECT
public:
    explicit OptionBinder(QObject *parent = nullptr);

    void bind(QAbstractButton *button, Option option);  // check box or radio button
    void bind(QSpinBox *spinBox, Option option);
    void bind(QComboBox *comboBox, Option option);       // the chosen index
    void bind(QLineEdit *edit, Option option);
    void bind(RadioGroup *group, Option option);         // the chosen index
    // A control with no option of its own, enabled exactly as the control of `option`.
    void follow(QWidget *companion, Option option);
    // A control with no option of its own, enabled while `option` is on (and usable).
    void enableWhileOn(QWidget *control, Option option);

    void load(const Options &options);
    // Shows one option that changed elsewhere, leaving the other controls as the user left them.
    void load(const Options &options, Option changed);
    void apply(Options &options) const;

private:
    struct Binding
    {
        Option option;
        QWidget *control;
        std::function<void(const Options &)> load;
        std::function<void(Options &)> apply;
        std::function<bool()> isOn;  // for controls others depend on
        std::function<void()> turnOff;  // for switches
    };
    struct Companion
    {
        QWidget *control;
        Option option;
        bool whileOn;
    };
    void add(Binding binding);
    void updateEnabled();
    bool isOn(Option option) const;

    QList<Binding> m_bindings;
    QList<Companion> m_companions;
    const Options *m_loadedFrom = nullptr;
};
