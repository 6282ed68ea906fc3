#pragma once

#include <QApplication>

// Catches what escapes any event handler and hands it to the error handler,
// so one failing action never ends the program.
class Application : public QApplication
{
public:
    Application(int &argc, char **argv);
    bool notify(QObject *receiver, QEvent *event) override;
};
