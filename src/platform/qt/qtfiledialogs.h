#pragma once

#include "platform/filedialogs.h"

class QtFileDialogs : public FileDialogs
{
public:
    QString openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter) override;
    QString openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                     const QString &selectedFilter) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                     const QString &selectedFilter, const QString &defaultSuffix) override;
    QString saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                     const QString &selectedFilter, const QString &defaultSuffix, QString &chosenFilter) override;
};
