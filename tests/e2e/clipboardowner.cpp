// Test helper: owns the CLIPBOARD with several flavours at once, as real
// applications do, until another program takes it or a timeout passes.
// Usage: sk_clipboard_owner SECONDS MIME=FILE [MIME=FILE ...]

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>

#include <cstdio>

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: %s SECONDS MIME=FILE...\n", argv[0]);
        return 2;
    }
    auto *data = new QMimeData;
    for (int i = 2; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        const qsizetype eq = arg.indexOf(QLatin1Char('='));
        QFile file(arg.mid(eq + 1));
        if (eq < 0 || !file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "cannot read %s\n", argv[i]);
            return 2;
        }
        data->setData(arg.left(eq), file.readAll());
    }
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setMimeData(data, QClipboard::Clipboard);
    QObject::connect(clipboard, &QClipboard::changed, &app, [&](QClipboard::Mode mode) {
        if (mode == QClipboard::Clipboard && !clipboard->ownsClipboard())
            app.quit();
    });
    QTimer::singleShot(int(std::atof(argv[1]) * 1000), &app, &QCoreApplication::quit);
    return app.exec();
}
