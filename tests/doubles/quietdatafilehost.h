#pragma once

#include "store/datafilemanager.h"

#include <functional>

// A data-file host with no window: progress, captions and the tree are
// nobody's business. No backup is kept after a load unless asked for.
class QuietDataFileHost : public DataFileHost
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
    bool readBackupSetting() override { return keepBackup; }

    bool keepBackup = false;
    std::function<void()> onEvents;  // what runs when loading or saving lets events through
};
