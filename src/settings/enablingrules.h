#pragma once

#include "settings/option.h"

#include <functional>
#include <vector>

class Options;

// Which option controls are usable depends on other options: a control is
// enabled while every option it depends on is on. The rules are data here,
// next to the options; the pages only apply them.
struct EnablingRule
{
    Option control;
    std::vector<Option> dependsOn;
    // A switch that must not stay on unseen: becoming disabled also turns it off.
    bool offWhenDisabled = false;
};

namespace EnablingRules {

const std::vector<EnablingRule> &all();

// Whether the control of `option` is enabled, with `isOn` telling each option's state
// (the options themselves, or the controls of a page not yet applied).
bool enabled(Option option, const std::function<bool(Option)> &isOn);
bool enabled(Option option, const Options &options);
// Whether the control of `option` is turned off when its rule disables it.
bool offWhenDisabled(Option option);

} // namespace EnablingRules
