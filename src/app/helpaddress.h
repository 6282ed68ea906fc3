#pragma once

#include <QString>
#include <QUrl>

// Browsers are started through xdg-open, which drops the "#topic" from the
// address of a local file, so the help would always open at its top. For a
// topic, a one-line page that forwards to the topic's anchor is opened
// instead.
namespace HelpAddress {

// What to open for `topic` of the help page `helpPage`: the page itself when
// the topic is empty, else a forwarding page written into `linkFolder`. When
// the forwarding page cannot be written, the page's address with the topic
// as its fragment (a browser given it directly still finds the anchor).
QUrl forTopic(const QString &helpPage, const QString &topic, const QString &linkFolder);

} // namespace HelpAddress
