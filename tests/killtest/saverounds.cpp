#include "killtest/saverounds.h"

#include "config/dialogs/imageviewerrules.h"
#include "store/collection.h"

#include <QImageReader>

#include <optional>

namespace SaveRounds {

namespace {

const QString kCreated = QStringLiteral("Sun, Feb 18, 2001, 12:33 PM");
const QString kPictureCategory = QStringLiteral("Pictures");
const QString kChurnCategory = QStringLiteral("Churn");
constexpr QSize kPictureSize(320, 240);

QString noteCategory(int category)
{
    return QStringLiteral("Notes %1").arg(category);
}

QString stampAlias(int category)
{
    return QStringLiteral("stamp %1").arg(category);
}

QString stampText(int round)
{
    return QStringLiteral("round %1").arg(round);
}

QString noteAlias(int category, int index)
{
    return QStringLiteral("note %1.%2").arg(category).arg(index);
}

QString noteText(int category, int index)
{
    QString text = QStringLiteral("Note %1 of category %2: ").arg(index).arg(category)
                   + QStringLiteral("lorem ipsum ").repeated(index % 9) + QStringLiteral("end");
    if (index % 5 == 0)
        text += QStringLiteral("\r\nsecond line of note %1").arg(index);
    return text;
}

QString pictureAlias(int index, int round)
{
    return QStringLiteral("picture %1 of round %2").arg(index).arg(round);
}

QRgb pictureColour(int index, int round)
{
    return qRgb(index * 5 % 256, round & 0xff, (round >> 8) & 0xff);
}

QImage picture(int index, int round)
{
    QImage image(kPictureSize, QImage::Format_RGB32);
    image.fill(pictureColour(index, round));
    return image;
}

int churnCount(int round)
{
    return round % 7;
}

QString churnAlias(int round, int index)
{
    return QStringLiteral("churn %1.%2").arg(round).arg(index);
}

QString churnText(int round, int index)
{
    return QStringLiteral("added in round %1 as item %2").arg(round).arg(index);
}

Item textItem(const QString &alias, const QString &text)
{
    Item item;
    item.alias = alias;
    item.text = text;
    item.created = kCreated;
    return item;
}

// Through the image viewer's own rules, the way a user replaces a picture.
void showPicture(Item &item, int index, int round)
{
    ImageViewerRules rules(item);
    rules.replace(picture(index, round));
    rules.setCaption(pictureAlias(index, round));
    rules.save(item, std::nullopt);
}

void fillChurn(Collection &collection, CategoryNode *churn, int round)
{
    collection.removeItems(churn);
    for (int j = churnCount(round) - 1; j >= 0; --j)
        collection.insertFirstChild(churn, textItem(churnAlias(round, j), churnText(round, j)));
}

QString pictureDifference(const Item &item, int index, int round)
{
    const int shown = pictureRound(index, round);
    if (item.kind != ItemKind::Image)
        return QStringLiteral("picture %1 is no image item").arg(index);
    if (item.alias != pictureAlias(index, shown))
        return QStringLiteral("picture %1 is \"%2\", not of round %3").arg(index).arg(item.alias).arg(shown);
    QImageReader reader(item.text);
    QImage image;
    if (!reader.read(&image))
        return QStringLiteral("side file \"%1\" of picture %2 does not read: %3").arg(item.text).arg(index).arg(reader.errorString());
    if (image.size() != kPictureSize)
        return QStringLiteral("side file \"%1\" of picture %2 has the wrong size").arg(item.text).arg(index);
    image = image.convertToFormat(QImage::Format_RGB32);
    const QRgb expected = pictureColour(index, shown);
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if ((line[x] & 0xffffff) != (expected & 0xffffff))
                return QStringLiteral("side file \"%1\" of picture %2 differs at %3,%4").arg(item.text).arg(index).arg(x).arg(y);
        }
    }
    return {};
}

QString itemDifference(const Item &item, const QString &alias, const QString &text)
{
    if (item.kind != ItemKind::PlainText || item.alias != alias || item.text != text)
        return QStringLiteral("item \"%1\" holds \"%2\" where \"%3\" / \"%4\" belongs")
            .arg(item.alias, item.text.left(80), alias, text.left(80));
    return {};
}

} // namespace

void build(Collection &collection)
{
    // Whole categories at once, as a load hands them over.
    CategoryList categories;
    const auto append = [&](const QString &name) {
        categories.push_back(std::make_unique<CategoryNode>());
        categories.back()->name = name;
        return categories.back().get();
    };
    const auto add = [](CategoryNode *category, Item item) {
        item.category = category->name;
        category->items.push_back(std::make_unique<Item>(std::move(item)));
    };
    for (int c = 0; c < kNoteCategories; ++c) {
        CategoryNode *notes = append(noteCategory(c));
        add(notes, textItem(stampAlias(c), stampText(0)));
        for (int i = 0; i < kNotesPerCategory; ++i)
            add(notes, textItem(noteAlias(c, i), noteText(c, i)));
    }
    CategoryNode *pictures = append(kPictureCategory);
    for (int p = 0; p < kPictures; ++p) {
        Item item = textItem(QString(), kUnsavedImageText);
        item.kind = ItemKind::Image;
        showPicture(item, p, 0);
        add(pictures, std::move(item));
    }
    append(kChurnCategory);
    collection.replaceAll(std::move(categories));
    fillChurn(collection, collection.findCategory(kChurnCategory), 0);
    collection.setEditModified();
}

void advance(Collection &collection, int round)
{
    for (int c = 0; c < kNoteCategories; ++c)
        collection.findCategory(noteCategory(c))->items.front()->text = stampText(round);
    CategoryNode *pictures = collection.findCategory(kPictureCategory);
    for (const int p : picturesReplacedIn(round))
        showPicture(*pictures->items[size_t(p)], p, round);
    fillChurn(collection, collection.findCategory(kChurnCategory), round);
    collection.setEditModified();
}

QList<int> picturesReplacedIn(int round)
{
    QList<int> indexes;
    if (round == 0) {
        for (int p = 0; p < kPictures; ++p)
            indexes << p;
        return indexes;
    }
    // One to three pictures a round, so some saves write several side files.
    for (int j = 0; j <= round % 3; ++j)
        indexes << (round + j * 13) % kPictures;
    return indexes;
}

int pictureRound(int index, int round)
{
    for (int r = round; r > 0; --r) {
        if (picturesReplacedIn(r).contains(index))
            return r;
    }
    return 0;
}

int roundOf(const Collection &collection)
{
    int round = -1;
    for (int c = 0; c < kNoteCategories; ++c) {
        const CategoryNode *notes = collection.findCategory(noteCategory(c));
        if (!notes || notes->items.empty() || notes->items.front()->alias != stampAlias(c))
            return -1;
        const QString &text = notes->items.front()->text;
        bool ok = false;
        const int stamped = text.startsWith(QLatin1String("round ")) ? text.mid(6).toInt(&ok) : -1;
        if (!ok || (round >= 0 && stamped != round))
            return -1;
        round = stamped;
    }
    return round;
}

QString differences(const Collection &collection, int round)
{
    if (collection.categoryCount() != kNoteCategories + 2)
        return QStringLiteral("%1 categories, not %2").arg(collection.categoryCount()).arg(kNoteCategories + 2);
    for (int c = 0; c < kNoteCategories; ++c) {
        const CategoryNode &notes = *collection.category(c);
        if (notes.name != noteCategory(c))
            return QStringLiteral("category %1 is \"%2\"").arg(c).arg(notes.name);
        if (notes.itemCount() != kNotesPerCategory + 1)
            return QStringLiteral("\"%1\" holds %2 items, not %3").arg(notes.name).arg(notes.itemCount()).arg(kNotesPerCategory + 1);
        QString difference = itemDifference(*notes.items.front(), stampAlias(c), stampText(round));
        for (int i = 0; difference.isEmpty() && i < kNotesPerCategory; ++i)
            difference = itemDifference(*notes.items[size_t(i) + 1], noteAlias(c, i), noteText(c, i));
        if (!difference.isEmpty())
            return difference;
    }
    const CategoryNode &pictures = *collection.category(kNoteCategories);
    if (pictures.name != kPictureCategory || pictures.itemCount() != kPictures)
        return QStringLiteral("\"%1\" holds %2 items, not %3 pictures").arg(pictures.name).arg(pictures.itemCount()).arg(kPictures);
    for (int p = 0; p < kPictures; ++p) {
        const QString difference = pictureDifference(*pictures.items[size_t(p)], p, round);
        if (!difference.isEmpty())
            return difference;
    }
    const CategoryNode &churn = *collection.category(kNoteCategories + 1);
    if (churn.name != kChurnCategory || churn.itemCount() != churnCount(round))
        return QStringLiteral("\"%1\" holds %2 items, not %3").arg(churn.name).arg(churn.itemCount()).arg(churnCount(round));
    for (int j = 0; j < churnCount(round); ++j) {
        const QString difference = itemDifference(*churn.items[size_t(j)], churnAlias(round, j), churnText(round, j));
        if (!difference.isEmpty())
            return difference;
    }
    return {};
}

} // namespace SaveRounds
