#include "platform/qt/qtfiledialogs.h"

#include <QFileDialog>

QString QtFileDialogs::openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, startPath, filter);
}

QString QtFileDialogs::openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                                const QString &selectedFilter)
{
    QString chosenFilter = selectedFilter;
    return QFileDialog::getOpenFileName(parent, title, startPath, filter, &chosenFilter);
}

QString QtFileDialogs::saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                                const QString &selectedFilter, const QString &defaultSuffix)
{
    QString chosenFilter;
    return saveFile(parent, title, startPath, filter, selectedFilter, defaultSuffix, chosenFilter);
}

QString QtFileDialogs::saveFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter,
                                const QString &selectedFilter, const QString &defaultSuffix, QString &chosenFilter)
{
    QFileDialog dialog(parent, title, startPath, filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(defaultSuffix);
    if (!selectedFilter.isEmpty())
        dialog.selectNameFilter(selectedFilter);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    chosenFilter = dialog.selectedNameFilter();
    return dialog.selectedFiles().constFirst();
}
