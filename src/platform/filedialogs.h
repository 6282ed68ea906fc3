#pragma once

#include <QString>
#include <QStringList>

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
