// A Qt window to paste into: a line edit, a text edit, or a text edit with a
// line edit after it. Whatever the controls hold is written to a file after
// every change, fields separated by '|'.
// Usage: sk_edit_target line|text|form TITLE OUTFILE [INITIAL TEXT]
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char **argv)
{
    qputenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    const QString mode = args[1];
    const QString outFile = args[3];
    const QString initial = args.size() > 4 ? args[4] : QString();

    QWidget window;
    window.setWindowTitle(args[2]);
    auto *layout = new QVBoxLayout(&window);
    QTextEdit *text = mode != QLatin1String("line") ? new QTextEdit : nullptr;
    QLineEdit *line = mode != QLatin1String("text") ? new QLineEdit : nullptr;
    if (text) {
        text->setAcceptRichText(false);
        text->setPlainText(initial);
        layout->addWidget(text);
    }
    if (line) {
        if (!text)
            line->setText(initial);
        layout->addWidget(line);
    }
    auto save = [&] {
        QStringList fields;
        if (text)
            fields << text->toPlainText();
        if (line)
            fields << line->text();
        QFile file(outFile);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(fields.join(QLatin1Char('|')).toUtf8());
    };
    if (text)
        QObject::connect(text, &QTextEdit::textChanged, save);
    if (line)
        QObject::connect(line, &QLineEdit::textChanged, save);
    save();
    window.resize(420, text ? 240 : 80);
    window.show();
    return app.exec();
}
