#include "app/application.h"

#include "common/errorhandler.h"

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    bool handled = false;
    ErrorHandler::guard(receiver, [&] { handled = QApplication::notify(receiver, event); });
    return handled;
}
