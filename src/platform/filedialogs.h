#pragma once

#include <QString>

class QWidget;

// File choosers, behind an interface so tests can choose for the user.
class FileDialogs
{
public:
    virtual ~FileDialogs() = default;
    // Returns the chosen existing file, or an empty string when cancelled.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &startPath,
                             const QString &filter) = 0;
};
