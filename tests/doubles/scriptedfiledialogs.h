#pragma once

#include "platform/filedialogs.h"

#include <QStringList>

// Answers every chooser with a queued path (empty = cancel) and records the calls.
class ScriptedFileDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *, const QString &title, const QString &startPath, const QString &filter) override
    {
        asked.append(title + QLatin1Char('|') + startPath);
        filters.append(filter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QString openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                     const QString &selectedFilter) override
    {
        selectedFilters.append(selectedFilter);
        return openFile(parent, title, startPath, filter);
    }
    QString saveFile(QWidget *, const QString &title, const QString &startPath, const QString &filter,
                     const QString &selectedFilter, const QString &) override
    {
        asked.append(title + QLatin1Char('|') + startPath);
        filters.append(filter);
        selectedFilters.append(selectedFilter);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QStringList filters;
    QStringList selectedFilters;
    QStringList asked;
};
