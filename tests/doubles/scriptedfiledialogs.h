#pragma once

#include "platform/filedialogs.h"

#include <QStringList>

// Answers every chooser with a queued path (empty = cancel) and records the calls.
class ScriptedFileDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *, const QString &title, const QString &startPath, const QString &) override
    {
        asked.append(title + QLatin1Char('|') + startPath);
        return answers.isEmpty() ? QString() : answers.takeFirst();
    }
    QStringList answers;
    QStringList asked;
};
