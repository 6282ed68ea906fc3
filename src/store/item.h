#pragma once

#include "store/pastechoices.h"

#include <QSize>
#include <QString>

#include <cstdint>

enum class ItemKind : std::int8_t { PlainText = 0, Image = 1, RichText = 3 };

// One snippet of a category.
struct Item
{
    AfterPasteAction action = AfterPasteAction::None;
    PasteMethod pasteMethod = PasteMethod::SimulateCtrlV;
    ItemKind kind = ItemKind::PlainText;
    std::int8_t actionCount = 0;
    QSize pictureSize;   // of an image item's picture, whose pixels ItemPictures reads when needed
    QString category;    // name of the category holding the item (not stored in the file)
    QString alias;
    QString text;        // text, RTF source, or the side-file path of an image item
    QString extraText;
    QString created;
};
