#include "capture/capturesound.h"

#include "platform/desktop.h"
#include "settings/options.h"

CaptureSound CaptureSound::fromOptions(const Options &options)
{
    return {options.flag(Option::CaptureSound), options.flag(Option::CaptureBeep),
            options.flag(Option::CaptureSoundFile), options.text(Option::SoundFile)};
}

void CaptureSound::play(Desktop &desktop) const
{
    if (!on)
        return;
    if (beep) {
        desktop.beep();
        return;
    }
    if (fromFile && !file.trimmed().isEmpty())
        desktop.playSound(file);
}
