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
    // The same with one of the filter's entries preselected.
    virtual QString openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                             const QString &selectedFilter)
    {
        Q_UNUSED(selectedFilter);
        return openFile(parent, title, startPath, filter);
    }
    // Returns the file to write (the user agreed to replace an existing one),
    // with `defaultSuffix` added to a name typed without one; empty when cancelled.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                             const QString &selectedFilter, const QString &defaultSuffix) = 0;
    // The same, also telling which of the filter's entries the user left chosen.
    virtual QString saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                             const QString &selectedFilter, const QString &defaultSuffix, QString &chosenFilter)
    {
        chosenFilter = selectedFilter;
        return saveFile(parent, title, startPath, filter, selectedFilter, defaultSuffix);
    }
};
