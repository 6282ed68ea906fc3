#include "platform/qt/qtfiledialogs.h"

#include <QFileDialog>

QString QtFileDialogs::openFile(QWidget *parent, const QString &title, const QString &startPath, const QString &filter)
{
    return QFileDialog::getOpenFileName(parent, title, startPath, filter);
}
