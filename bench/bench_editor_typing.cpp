// Times one keystroke in the item editor's text box over a large item, with
// the editor opened from the tree (every change is kept for the Edit More
// list) against the same editor opened without it (baseline).
// Usage: bench_editor_typing [text KB] [keys]   (QT_QPA_PLATFORM=offscreen)

#include "config/dialogs/editmoresession.h"
#include "config/dialogs/itemeditor.h"
#include "doubles/scriptedfiledialogs.h"
#include "doubles/scriptedmessageboxes.h"
#include "store/item.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QTextEdit>

#include "benchstats.h"

#include <cstdio>
#include <vector>

namespace {

std::vector<double> typeKeys(ItemEditor &editor, int keys)
{
    auto *text = editor.findChild<QTextEdit *>(QStringLiteral("ItemText"));
    text->setFocus();
    std::vector<double> samples;
    for (int i = 0; i < keys; ++i) {
        QElapsedTimer timer;
        timer.start();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(text, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(text, &release);
        QApplication::processEvents();
        samples.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    return samples;
}

void report(const char *what, const std::vector<double> &samples)
{
    std::printf("%-34s median %8.3f ms   p90 %8.3f ms\n", what, percentile(samples, 50), percentile(samples, 90));
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const int kilobytes = argc > 1 ? atoi(argv[1]) : 1024;
    const int keys = argc > 2 ? atoi(argv[2]) : 30;

    QList<Item> items(20);
    QString line = QStringLiteral("Some words on a line of a long item, typed over and over.\n");
    QString big;
    while (big.size() < kilobytes * 1024)
        big += line;
    for (int i = 0; i < items.size(); ++i)
        items[i].alias = items[i].text = QStringLiteral("item %1").arg(i);
    items[0].text = big;
    items[0].alias = QStringLiteral("big");

    ScriptedMessageBoxes messages;
    ScriptedFileDialogs files;
    std::printf("one keystroke in a %d KB item, %d keys\n", kilobytes, keys);
    {
        ItemEditor editor(ItemEditor::Mode::EditFromList, messages, files);
        editor.setFields(items[0]);
        editor.show();
        report("without Edit More (baseline)", typeKeys(editor, keys));
    }
    {
        QList<Item *> records;
        for (Item &item : items)
            records.append(&item);
        EditMoreSession session(records, records[0]);
        ItemEditor editor(ItemEditor::Mode::Edit, messages, files);
        editor.setFields(items[0]);
        editor.setEditMore(session, QStringLiteral("Mail"));
        editor.show();
        report("from the tree, list hidden", typeKeys(editor, keys));
        editor.toggleEditMore();
        report("from the tree, list showing", typeKeys(editor, keys));
    }
    return 0;
}
