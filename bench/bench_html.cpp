// Converting 1 MB of typical web HTML (styled spans, links, lists, tables,
// entities) into an item's RTF, beside Qt's own HTML import of the same
// markup alone. Also the worst cases the bounds allow and what a 10 MB copy
// and a deeply nested one cost before falling back to plain text.
// Usage: bench_html [rounds]

#include "richtext/htmlimport.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QRandomGenerator>
#include <QTextDocument>

#include "benchstats.h"

#include <cstdio>
#include <functional>
#include <vector>

namespace {

QByteArray typicalPage(qsizetype bytes)
{
    QRandomGenerator rng(7);
    static const char *const words[] = {"snippet", "paste", "clipboard", "caf&eacute;", "Gr&uuml;&szlig;e", "form",
                                        "address", "\xE6\x97\xA5\xE6\x9C\xAC", "hotkey", "list", "category", "item"};
    QByteArray out = "<meta charset='utf-8'><div class=\"article\" style=\"font-family: Arial, sans-serif; "
                     "font-size: 16px; color: rgb(32, 33, 36);\">";
    const auto sentence = [&] {
        QByteArray s;
        const int n = 5 + int(rng.bounded(15));
        for (int i = 0; i < n; ++i) {
            const int r = int(rng.bounded(100));
            const QByteArray word = words[rng.bounded(int(std::size(words)))];
            if (r < 6)
                s += "<b>" + word + "</b> ";
            else if (r < 10)
                s += "<a href=\"https://example.com/" + word + "\" class=\"link\">" + word + "</a> ";
            else if (r < 13)
                s += "<span style=\"color: #c5221f; font-weight: 600\">" + word + "</span> ";
            else if (r < 15)
                s += "<em>" + word + "</em>&nbsp;";
            else
                s += word + ' ';
        }
        return s;
    };
    while (out.size() < bytes) {
        const int r = int(rng.bounded(100));
        if (r < 60) {
            out += "<p class=\"text\">" + sentence() + "</p>\n";
        } else if (r < 70) {
            out += "<h2 id=\"s\" class=\"heading\">" + sentence() + "</h2>\n";
        } else if (r < 85) {
            out += "<ul class=\"list\">";
            for (int i = 0; i < 4; ++i)
                out += "<li><div><span>" + sentence() + "</span></div></li>";
            out += "</ul>\n";
        } else if (r < 95) {
            out += "<table class=\"data\"><tbody>";
            for (int row = 0; row < 4; ++row) {
                out += "<tr>";
                for (int col = 0; col < 3; ++col)
                    out += "<td style=\"padding: 4px\">" + QByteArray(words[rng.bounded(int(std::size(words)))]) + "</td>";
                out += "</tr>";
            }
            out += "</tbody></table>\n";
        } else {
            out += "<div><div><div><img src=\"https://example.com/pic.png\" width=\"300\" height=\"200\" alt=\"\">"
                   "<span class=\"caption\">" + sentence() + "</span></div></div></div>\n";
        }
    }
    return out + "</div>";
}

double timed(const std::function<void()> &work)
{
    QElapsedTimer timer;
    timer.start();
    work();
    return timer.nsecsElapsed() / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    const int rounds = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    const QByteArray page = typicalPage(1024 * 1024);

    std::vector<double> item, qtAlone;
    int outcome = -1;
    for (int i = 0; i < rounds; ++i) {
        item.push_back(timed([&] { outcome = HtmlImport::convert(page).outcome; }));
        qtAlone.push_back(timed([&] {
            QTextDocument document;
            document.setHtml(QString::fromUtf8(page));
        }));
    }
    std::printf("1 MB web page to an item: median %.1f ms (%s)\n", percentile(item, 50),
                outcome == HtmlImport::Result::Formatted ? "formatted" : "NOT formatted");
    std::printf("Qt HTML import alone: median %.1f ms\n", percentile(qtAlone, 50));

    // The costliest markup the bounds let through: as long and as deep as allowed.
    QByteArray deepest = QByteArray("<div>").repeated(HtmlImport::MaxNesting - 3);
    const QByteArray inner = "<p>Lorem <b>ipsum</b> dolor <a href=\"https://example.com/\">sit</a> amet.</p>";
    while (deepest.size() + inner.size() < HtmlImport::MaxMarkupCharacters)
        deepest += inner;
    const double worst = timed([&] { outcome = HtmlImport::convert(deepest).outcome; });
    std::printf("longest and deepest markup within the bounds: %.1f ms (%s)\n", worst,
                outcome == HtmlImport::Result::PastBounds ? "NOT read" : "read");

    QByteArray huge;
    while (huge.size() < 10 * 1024 * 1024)
        huge += page;
    std::printf("10 MB of markup (plain text instead): %.1f ms\n", timed([&] { HtmlImport::convert(huge); }));
    const QByteArray nested = QByteArray("<div>").repeated(100000) + "x";
    std::printf("100 000 nested elements (plain text instead): %.1f ms\n",
                timed([&] { HtmlImport::convert(nested); }));
    return 0;
}
