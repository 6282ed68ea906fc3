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
    QString programFile;
    QString helpLinkFolder;  // forwarding pages that open the help at a topic

    // The real locations, creating the per-user folder (owner only).
    static AppPaths resolve();

    QString recentFilesList() const;
    QString examplePage() const;
    QString shippedExampleData() const;
    QString helpPage() const;

    // Gives the user a copy of the example data file to open and change.
    void provideExampleDataFile() const;
};
