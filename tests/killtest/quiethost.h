#pragma once

#include "store/datafilemanager.h"

#include <functional>

// A data file host with no window: nothing to show or refresh, the backup
// kept after every load as the program does by default.
class QuietHost : public DataFileHost
{
public:
    void showProgress(int) override {}
    void hideProgress() override {}
    void processEvents() override
    {
        if (onEvents)
            onEvents();
    }
    void refreshCaption() override {}
    void refreshCategoryCombo() override {}
    void selectFirstNode() override {}
    void moveOutOfSight() override {}
    bool readBackupSetting() override { return true; }

    std::function<void()> onEvents;  // what runs when loading or saving lets events through
};
