#include "capture/clipboardmonitor.h"

#include "capture/aliasderivation.h"
#include "capture/clipboardcontent.h"

#include "richtext/htmlimport.h"
#include "richtext/rtfreader.h"
#include "common/picturebounds.h"
#include "common/programerror.h"
#include "platform/clipboard.h"
#include "settings/options.h"
#include "store/collection.h"
#include "store/createdstamp.h"
#include "store/itempictures.h"


#include <exception>

namespace {

Item newRecord()
{
    Item item;
    item.created = createdStamp();
    return item;
}

bool lockedAndFull(const CategoryNode *category)
{
    return category->rec.isLockedAndFull(category->itemCount());
}

Refusal pastBounds(const ClipboardContent &content, bool picture)
{
    if (picture && !content.pastBounds())
        return Refusal::unreadable(QStringLiteral("The picture on the clipboard could not be read."));
    return Refusal::tooLarge(picture ? QStringLiteral("The picture is larger than %1.").arg(PictureBounds::described())
                                     : QStringLiteral("It is larger than %1 MB.")
                                           .arg(ClipboardContent::MaxBytes / (1024 * 1024)));
}

// Rich text as capture keeps it: the RTF source as it came (the stored RTF
// may be any document of the content) and the alias of its plain form.
struct RichCapture
{
    QString source;
    QString alias;
    bool empty = true;
};

RichCapture readRichText(const QString &rtf, const ClipboardContent &content)
{
    // Only the trailing-mark rule needs the whole text; the alias needs its start.
    const RtfReader::PlainText read = RtfReader::plainText(rtf, !content.hasHtml());
    QString plain = read.text;
    if (plain.isEmpty())
        return {};
    QString source = rtf;
    // A final paragraph mark that the source's own plain text does not have
    // is dropped.
    if (content.hasHtml() && plain.endsWith(QLatin1String("\r\n")) && read.lastBreakStart >= 0) {
        const QString clipText = content.plainText().value_or(QString());
        const qsizetype l = plain.size();
        const bool crThere = l - 2 < clipText.size() && clipText[l - 2] == QLatin1Char('\r');
        const bool lfThere = l - 1 < clipText.size() && clipText[l - 1] == QLatin1Char('\n');
        if (!clipText.isEmpty() && !crThere && !lfThere) {
            source.remove(read.lastBreakStart, read.lastBreakLength);
            plain.chop(2);
        }
    }
    return {source, AliasDerivation::fromText(plain), false};
}

// An HTML copy as capture keeps it: its formatting as rich text; or, when it
// holds nothing but text or is past the bounds, the copy's plain text, else
// the markup's own text.
struct HtmlCapture
{
    std::optional<QString> text;  // none: past the bounds with no plain text offered
    QString alias;
    bool rich = false;
};

HtmlCapture readHtml(const ClipboardContent &content)
{
    const auto bytes = content.html();
    const HtmlImport::Result converted = bytes ? HtmlImport::convert(*bytes) : HtmlImport::Result();
    if (converted.outcome == HtmlImport::Result::Formatted)
        return {converted.rtf, AliasDerivation::fromText(converted.plain), true};
    if (content.hasPlainText())
        return {content.plainText(), QString(), false};
    if (converted.outcome == HtmlImport::Result::PlainOnly)
        return {converted.plain, QString(), false};
    return {};
}

} // namespace

ClipboardMonitor::ClipboardMonitor(Collection &collection, Options &options, Clipboard &clipboard, CaptureHost &host,
                                   QObject *parent)
    : QObject(parent), m_collection(collection), m_options(options), m_clipboard(clipboard), m_host(host)
{
}

void ClipboardMonitor::join()
{
    if (m_joined)
        return;
    m_joined = true;
    // No notification comes for what the clipboard holds now, so there is
    // none to swallow: the next change is the user's.
    armed = true;
    connect(&m_clipboard, &Clipboard::changed, this, &ClipboardMonitor::onClipboardChanged);
}

void ClipboardMonitor::leave()
{
    m_joined = false;
    disconnect(&m_clipboard, &Clipboard::changed, this, &ClipboardMonitor::onClipboardChanged);
}

void ClipboardMonitor::onClipboardChanged()
{
    if (armed && suppressCount <= 0) {
        armed = false;
        m_receivers.clear();
        bool added = false;
        m_refusal = {};
        try {
            added = capture();
        } catch (const ProgramError &error) {
            m_refusal = Refusal::unreadable(error.message());
        } catch (const std::exception &) {
            m_refusal = Refusal::unreadable(QStringLiteral("It could not be read."));
        }
        if (added) {
            stored();
            emit itemCaptured();
        } else if (m_refusal) {
            emit captureRefused(m_refusal);
        }
    }
    armed = true;
}

void ClipboardMonitor::stored()
{
    CopyMenuStale = true;
    m_host.playCaptureSound();
    m_collection.setCaptureModified();
    if (!m_host.applicationMinimised())
        m_collection.setEditModified();
    for (const CategoryNode *category : std::as_const(m_receivers))
        emit copyStored(*category->items.front());
}

ClipboardMonitor::Added ClipboardMonitor::addText(const QString &text, CategoryNode *target)
{
    m_receivers.clear();
    m_refusal = {};
    if (!target)
        return {false, Refusal::noCategory(QString())};
    if (m_options.flag(Option::PreventDuplicates) && Collection::newestRepeats(target, text))
        return {};
    Item item = newRecord();
    item.alias = AliasDerivation::fromText(text);
    item.text = text;
    const bool added = target == m_collection.currentCategory() ? addToCurrentDestinations(item, false)
                                                                 : addToCategory(item, target);
    if (added)
        stored();
    return {added, m_refusal};
}

bool ClipboardMonitor::capture()
{
    const ClipboardContent content(m_clipboard);
    if (content.isSecret())
        return false;
    if (m_options.flag(Option::CaptureText) && (content.hasText() || keepsHtmlFormatting(content))) {
        if (const auto added = captureText(content))
            return *added;
    }
    if (m_options.flag(Option::CaptureImages) && content.hasImage())
        return captureImage(content);
    return false;
}

bool ClipboardMonitor::keepsHtmlFormatting(const ClipboardContent &content) const
{
    return m_options.flag(Option::CaptureRichText) && m_options.flag(Option::CaptureHtml) && content.hasHtml();
}

std::optional<bool> ClipboardMonitor::captureText(const ClipboardContent &content)
{
    Item item = newRecord();
    std::optional<QString> text;
    if (content.hasFileList()) {
        text = content.fileListText();
    } else if (m_options.flag(Option::CaptureRichText) && content.hasRichText()) {
        const auto rtf = content.richTextSource();
        if (!rtf) {
            m_refusal = pastBounds(content, false);
            return false;
        }
        const RichCapture rich = readRichText(*rtf, content);
        if (rich.empty)
            return false;
        text = rich.source;
        item.alias = rich.alias;
        item.kind = ItemKind::RichText;
    } else if (keepsHtmlFormatting(content)) {
        HtmlCapture html = readHtml(content);
        // Markup without text (a copied picture's) is not a text copy: the
        // picture offered with it is.
        if (!content.hasText() && html.text && html.text->isEmpty())
            return std::nullopt;
        if (!html.text && !content.pastBounds()) {
            m_refusal = Refusal::tooLarge(
                QStringLiteral("Its web formatting is too long or too deeply nested to read, and it came without plain text."));
            return false;
        }
        text = std::move(html.text);
        if (html.rich) {
            item.alias = html.alias;
            item.kind = ItemKind::RichText;
        }
    } else {
        text = content.plainText();
    }
    if (!text) {
        m_refusal = pastBounds(content, false);
        return false;
    }
    if (text->isEmpty())
        return false;

    CategoryNode *current = m_collection.currentCategory();
    if (m_options.flag(Option::PreventDuplicates) && !m_collection.currentItems().isEmpty()
        && Collection::newestRepeats(current, *text))
        return false;
    if (item.kind != ItemKind::RichText)
        item.alias = AliasDerivation::fromText(*text);
    item.text = *text;

    const QString currentName = m_host.currentCategoryName();
    if (m_options.flag(Option::TextToChosenCategory)) {
        const CategoryNode *chosen = m_collection.category(m_options.number(Option::TextCategory));
        if ((chosen ? chosen->name : QString()) != currentName) {
            return addToCategory(item, specificCategory(Option::TextCategory));
        }
    }
    return addToCurrentDestinations(item, m_options.flag(Option::TextToEveryCategory));
}

bool ClipboardMonitor::addToCurrentDestinations(const Item &item, bool everyCategory)
{
    CategoryNode *current = m_collection.currentCategory();
    if (!current && !everyCategory) {
        m_refusal = Refusal::noCategory(QString());
        return false;
    }
    const bool currentRefuses = !current || lockedAndFull(current);
    for (const auto &category : m_collection.categories()) {
        if ((everyCategory || category.get() == current) && !lockedAndFull(category.get()))
            m_receivers << category.get();
    }
    m_collection.addNewItem(everyCategory, item);
    if (!currentRefuses) {
        m_collection.insertCurrItem(0, {current->items.front()->alias, current->items.front().get()});
        // The current list follows the category when the limit took its oldest item.
        while (m_collection.currentItems().size() > current->itemCount())
            m_collection.trimCurrItems();
    }
    if (m_receivers.isEmpty())
        m_refusal = current ? Refusal::lockedAndFull(*current) : Refusal::noCategory(QString());
    return !m_receivers.isEmpty();
}

bool ClipboardMonitor::mayReceive(const CategoryNode *target)
{
    if (!target) {
        m_refusal = Refusal::noCategory(QString());
        return false;
    }
    if (lockedAndFull(target)) {
        m_refusal = Refusal::lockedAndFull(*target);
        return false;
    }
    return true;
}

bool ClipboardMonitor::addToCategory(const Item &item, CategoryNode *target)
{
    if (!mayReceive(target))
        return false;
    m_collection.insertFirstChild(target, item);
    m_collection.enforceLimit(target, false);
    m_receivers = {target};
    return true;
}

CategoryNode *ClipboardMonitor::specificCategory(Option indexOption) const
{
    const CategoryNode *byIndex = m_collection.category(m_options.number(indexOption));
    return byIndex ? m_collection.findCategory(byIndex->name) : nullptr;
}

bool ClipboardMonitor::captureImage(const ClipboardContent &content)
{
    const QString currentName = m_host.currentCategoryName();
    CategoryNode *target = m_options.flag(Option::ImagesToChosenCategory) ? specificCategory(Option::ImageCategory)
                                                                      : m_collection.currentCategory();
    if (!mayReceive(target))
        return false;
    const auto picture = content.image();
    if (!picture) {
        m_refusal = pastBounds(content, true);
        return false;
    }
    Item item = newRecord();
    item.kind = ItemKind::Image;
    // On disk before it is in the collection: nothing depends on memory.
    ItemPictures::shared().setPicture(item, *picture);
    item.alias = AliasDerivation::forImage(picture->width(), picture->height());
    m_collection.insertFirstChild(target, item);
    m_receivers = {target};
    const bool isCurrent = target->name == currentName;
    if (isCurrent && target == m_collection.currentCategory())
        m_collection.insertCurrItem(0, {target->items.front()->alias, target->items.front().get()});
    m_collection.enforceLimit(target, isCurrent);
    return true;
}

void ClipboardMonitor::refreshDestinationLists(const QStringList &oldNames)
{
    refreshDestination(oldNames, Option::ImageCategory, Option::ImagesToChosenCategory,
                       Option::ImagesToCurrentCategory);
    refreshDestination(oldNames, Option::TextCategory, Option::TextToChosenCategory, Option::TextToCurrentCategory);
}

void ClipboardMonitor::refreshDestination(const QStringList &oldNames, Option index, Option specificOption,
                                          Option currentOption)
{
    const QString remembered = oldNames.value(m_options.number(index));
    if (!m_options.flag(specificOption)) {
        m_options.set(index, 0);
        return;
    }
    for (int i = 0; i < m_collection.categoryCount(); ++i) {
        if (m_collection.category(i)->name == remembered) {
            m_options.set(index, i);
            return;
        }
    }
    m_options.set(index, 0);
    m_options.set(currentOption, true);
}
