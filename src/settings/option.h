#pragma once

#include <cstddef>

// Every stored option, named for what it does. Declared in the order the
// options are written, which is the order of the options table.
enum class Option {
    CurrentCategory,          // index of the current category in tree order
    QuickListActive,          // hotkey and pop-up list active
    HotkeyCtrl,               // hotkey modifiers
    HotkeyShift,
    HotkeyAlt,
    HotkeyWin,
    HotkeyKey,                // index in the hotkey key list
    BackupAfterLoad,          // backup copy of the data file after each load
    PasteText,                // paste a text item when it is chosen
    PasteImage,               // paste an image item when it is chosen
    ListHelpButtons,          // the pop-up list's help buttons
    CaptureText,              // capture text from the clipboard
    TextToCurrentCategory,    // text destination: the current category ...
    TextToChosenCategory,     // ... one chosen category ...
    TextCategory,             // (its index)
    TextToEveryCategory,      // ... or every category
    PreventDuplicates,        // no text captured twice in a row
    CaptureRichText,          // capture rich text, not only plain text
    CaptureHtml,              // keep the formatting of HTML copies (web pages, mail)
    CaptureImages,            // capture images from the clipboard
    ImagesToCurrentCategory,  // image destination: the current category ...
    ImagesToChosenCategory,   // ... or one chosen category
    ImageCategory,            // (its index)
    SaveOnExit,               // save all changes at exit
    StartAtLogin,             // the autostart entry
    MinimiseToTray,           // minimise to a tray icon
    HideFromTaskbar,          // no taskbar entry while minimised
    CaptureSound,             // sound on capture ...
    CaptureSoundFile,         // ... from a sound file ...
    CaptureBeep,              // ... or a beep
    SoundFile,                // the sound file's path
    GlobalPaste,              // one paste method for every item ...
    GlobalPasteMethod,        // ... which one: Ctrl+V, keystrokes or insert at the caret
    TipOnStart,               // a tip at start-up
    NextTip,                  // index of the next tip to show
    ConfirmItemDelete,        // ask before deleting items
    ConfirmCategoryDelete,    // ask before deleting categories
    ListRows,                 // pop-up list height in rows
    ShrinkList,               // shrink the pop-up list to fewer items
    ListWidth,                // pop-up list width in pixels
    PreviewWindow,            // preview window beside the pop-up list
    CopyMenuSize,             // entries in the tray's copy sub-menu
    MenuMarginBar,            // bar at the side of the icon menu
    MenuHighlight,            // menu items drawn raised or lowered when selected ...
    MenuHighlightStyle,       // ... which of the two
    AutoSaveChoice,           // every few minutes, on restore, or only at exit
    AutoSaveMinutes,          // the auto-save interval
    ItemTooltip,              // tooltip over the pop-up list's items
    TypingSearches,           // typing in the pop-up list searches every category
    PreviousDataFile,         // the data file to offer back after the example file
};

inline constexpr std::size_t kOptionCount = std::size_t(Option::PreviousDataFile) + 1;
