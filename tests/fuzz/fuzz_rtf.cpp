// The two ways the program reads RTF must give the same text: the plain text
// read without a document (what a captured item's alias and plain form come
// from) and the text of the document the rich-text control shows.
#include "fuzzsupport.h"

#include "capture/aliasderivation.h"
#include "richtext/richtextplain.h"
#include "richtext/rtfreader.h"

#include <QTextDocument>

#include <cstddef>
#include <cstdint>

namespace {

// Larger sources only slow the search; the reader's bounds are tried by the unit tests.
constexpr std::size_t kMaxSource = 64 * 1024;

void check(const QString &source)
{
    const QString plain = RtfReader::plainText(source).text;
    QTextDocument document;
    RtfReader::read(source, &document);
    const QString shown = RichTextPlain::plainText(document);
    if (plain != shown)
        FuzzSupport::fail("the plain text differs from the document's text", shown, plain);

    // Reading only the first line must give the alias the whole text gives.
    const QString alias = AliasDerivation::fromText(plain);
    const QString quickAlias = AliasDerivation::fromText(RtfReader::plainText(source, true).text);
    if (alias != quickAlias)
        FuzzSupport::fail("the first-line reading gives another alias", alias, quickAlias);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    FuzzSupport::startApplication();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size > kMaxSource)
        return 0;
    const QByteArrayView bytes(data, qsizetype(size));
    // As bytes, the way a clipboard or a data file hands RTF over ...
    check(QString::fromLatin1(bytes));
    // ... and as characters already decoded, which may hold any character.
    const QString decoded = QString::fromUtf8(bytes);
    if (decoded != QString::fromLatin1(bytes))
        check(decoded);
    return 0;
}
