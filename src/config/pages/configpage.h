#pragma once

#include "settings/option.h"

#include <QString>

class Options;
class QWidget;

// One page of the configuration window: its title, the help topic its Help
// button opens, its widget, and how it takes its state from the options and
// gives it back. A new page is one class of this kind and one line in the window.
class ConfigPage
{
public:
    virtual ~ConfigPage() = default;
    virtual QString title() const = 0;
    virtual QString helpTopic() const = 0;
    virtual QWidget *widget() = 0;
    virtual void load(const Options &options) = 0;
    virtual void apply(Options &options) = 0;
    // An option changed elsewhere (the tray menu) while the page is shown;
    // a page without it has nothing to show.
    virtual void loadOption(const Options &, Option) {}
};
