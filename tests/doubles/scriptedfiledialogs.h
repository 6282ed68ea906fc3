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
    QString saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                     const QString &selectedFilter, const QString &defaultSuffix, QString &chosenFilter) override
    {
        chosenFilter = chosenFilterAnswers.isEmpty() ? selectedFilter : chosenFilterAnswers.takeFirst();
        return saveFile(parent, title, startPath, filter, selectedFilter, defaultSuffix);
    }
    QStringList answers;
    // The filter entry each save chooser reports as chosen (none queued: the preselected one).
    QStringList chosenFilterAnswers;
    QStringList filters;
    QStringList selectedFilters;
    QStringList asked;
};
