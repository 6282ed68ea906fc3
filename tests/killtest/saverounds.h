#pragma once

#include "doubles/quietdatafilehost.h"
#include "doubles/scriptedmessageboxes.h"
#include "store/collection.h"
#include "store/datafilemanager.h"
#include "store/recentfiles.h"

#include <QImage>
#include <QList>
#include <QString>

#include <functional>

// The collection the save kill test writes round after round, and what a
// data file must hold after each round: large enough that a save takes a
// while, with pictures whose side files come and go.
//
// Round 0 is built by build(); every later round restamps the note
// categories, gives a few pictures new pixels and replaces the churn
// category's items, so each round's content differs from its neighbours'.
namespace SaveRounds {

// The program's collection and data file handling, without a window, keeping
// a backup at each load as the program does by default.
struct DataSide
{
    explicit DataSide(const QString &folder)
        : manager(collection, recent, boxes, host, folder)
    {
        host.keepBackup = true;
    }

    Collection collection;
    RecentFiles recent;
    ScriptedMessageBoxes boxes;
    QuietDataFileHost host;
    DataFileManager manager;
};

inline constexpr int kNoteCategories = 8;
inline constexpr int kNotesPerCategory = 2500;
inline constexpr int kPictures = 40;

// Fills an empty collection with round 0.
void build(Collection &collection);
// Turns the collection of round `round - 1` into round `round`.
// `pictureWritten` runs after each new picture's side file is written.
void advance(Collection &collection, int round, const std::function<void()> &pictureWritten = {});

// The pictures a round gives new pixels (round 0: all of them).
QList<int> picturesReplacedIn(int round);
// The round whose pixels picture `index` shows after round `round`.
int pictureRound(int index, int round);

// The round the collection holds, or -1 when its stamps are missing or disagree.
int roundOf(const Collection &collection);
// What differs between the collection and round `round`: empty when nothing
// does. Every picture item's side file is read and its pixels checked.
QString differences(const Collection &collection, int round);

} // namespace SaveRounds
