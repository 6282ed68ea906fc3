#pragma once

#include <QString>

// Where the program finds its files on this desktop.
struct AppPaths
{
    QString programFolder;   // per-user folder for the files the program writes
    QString sharedFolder;    // files that ship with the program (help, example page and data)
    QString settingsFile;
    QString autostartFile;
    QString lockFile;
    QString commandSocket;   // where the running program hears commands from the shell
    QString programFile;
    QString helpLinkFolder;  // forwarding pages that open the help at a topic

    // The real locations, creating the per-user folder (owner only).
    static AppPaths resolve();
    // The user's private folder for the lock and the command socket, as
    // resolve() finds it, without creating anything.
    static QString runtimeFolder();
    static QString lockFileIn(const QString &runtimeFolder);
    static QString commandSocketIn(const QString &runtimeFolder);

    QString recentFilesList() const;
    QString examplePage() const;
    QString shippedExampleData() const;
    QString helpPage() const;

    // Gives the user a copy of the example data file to open and change.
    void provideExampleDataFile() const;
};
