#pragma once

#include <QString>

class Desktop;
class Options;

// The notice a capture gives: nothing, a beep, or a sound file played
// without waiting for it. The configuration page tries it out with the
// choices it shows; a capture uses the options.
struct CaptureSound
{
    bool on = false;        // a notice at all
    bool beep = true;       // just a beep ...
    bool fromFile = false;  // ... or the sound file
    QString file;           // played as entered; blank means silence

    static CaptureSound fromOptions(const Options &options);
    void play(Desktop &desktop) const;
};
