#include "helptexts.h"

namespace HelpTexts {

// In page order and, within a page, in the order of the option groups. The texts are shown as
// they are: leading blanks included, the acute accent where English has an apostrophe.
const std::array<Entry, Count> Entries = {{
    {"Button32",
     u"Cheats, like the speedup in Pac Man or the level-skip in many other games, are disabled "
     u"by default. Use this switch to turn them on."},
    {"resolutioninf",
     u"ZxY - where Z and Y are width and height MAME goes to some lengths to autoselect a good "
     u"resolution. You can override MAME\u00B4s choice with this option."},
    {"strechinf",
     u" Don\u00B4t use stretch to disable pixel doubling in VESA modes (faster, but smaller "
     u"picture)."},
    {"flipinf",
     u"Flips display"},
    {"colorsinf",
     u"Some games need 16-bit color to get accurate graphics. To improve speed, you can use "
     u"256 color-mode. You can also use 16 Bit Colors to force 256-color games to use 16-bit "
     u"color, but this isn\u00B4t recommended."},
    {"gammainf",
     u"Sets the initial gamma correction value."},
    {"scanlinesinf",
     u" Scanlines are small, evenly-spaced, horizontal blank lines that are typical of real "
     u"arcade monitors. If you don\u00B4t prefer this \"authentic\" look, turn scanlines off."},
    {"videoinf",
     u"Selects the monitor type"},
    {"rotateinf",
     u"Rotates the display. NO ROTATE: Disable all internal rotation of the image, therefore "
     u"displaying the image in its original orientation."},
    {"Button1",
     u"Forces the VESA mode. The best available one is used by default. If your video card "
     u"crashes during autodetection, however, use this option to force a lower standard."},
    {"soundcardinf",
     u"Selects sound card."},
    {"Button25",
     u"Uses the SoundBlaster OPL chip for music emulation of the YM3812 chip. This is faster, "
     u"and is reasonably accurate, since the chips are 100% compatible. There is no control on "
     u"the volume, however, and you need a real OPL chip for it to work."},
    {"stereoinf",
     u"Selects stereo or mono output for games supporting stereo sound."},
    {"hotrodinf",
     u"Sets a default keyboard configuration suitable for the HotRod joystick by HanaHo Games."},
    {"hotrodseinf",
     u"Sets a default keyboard configuration suitable for the HotRod SE joystick by HanaHo "
     u"Games."},
    {"steadkeyinf",
     u"Some games require two or more buttons to be pressed at exactly the same time to make "
     u"special moves. This option selects a different handling that makes it easier to "
     u"register simultaneous button presses."},
    {"mouseinf",
     u"Enables/disables mouse support"},
    {"tweakinf",
     u" The Tweaked mode look MUCH better than VESA modes (and are usually faster), but they "
     u"may create compatibility problems with some video cards and monitors."},
    {"alwayssincedinf",
     u"For many tweaked VGA modes, MAME has two definitions: One which is more compatible, and "
     u"one which is less compatible but uses frequencies compatible with -vsync. Use this to "
     u"force to use the less compatible all the time."},
    {"tripplebufferinf",
     u"Enables triple buffering with VESA modes. This is faster than vsync, but doesn\u00B4t "
     u"work on all cards. Even if it does remove \"tearing\" during scrolling, it might not be "
     u"as smooth as -vsync."},
    {"vsyncinf",
     u"Synchronize video display with the video beam instead of using the timer. This option "
     u"can be used only if the selected video mode has an appropriate refresh rate."},
    {"antialiasinginf",
     u" Antialiasing for the vector games."},
    {"interlaceinf",
     u" Forces update of both odd and even fields of an interlaced low scanrate display "
     u"(monitor=ntsc,pal,arcade) for each game loop."},
    {"ntscinf",
     u" a 288x224 mode with standard NTSC frequencies. You need some additional hardware "
     u"(VGA2TV converter) to use this."},
    {"Button21",
     u"Enables or disables vector translucency."},
    {"skipinf",
     u"If you run a game in a video mode smaller than the visible area, you can use these two "
     u"parameters to set the initial position: 0 is the default, meaning that the screen is "
     u"centered. You can specify both positive and negative offsets."},
    {"centerinf",
     u" Each takes a signed value (-8 to 8 for centerx, -16 to 16 for centery) and lets you "
     u"change the low scanrate modes (ntsc, pal, arcade)."},
    {"audiosamplerateinf",
     u"Sets the audio sample rate. The default is 22050. Smaller values (e.g. 11025) cause "
     u"lower audio quality but faster emulation speed. Higher values (e.g. 44100) cause higher "
     u"audio quality but slower emulation speed."},
    {"frameskipinf",
     u" Skips frames to speed up the emulation. The argument is the number of frames to skip "
     u"out of 12. For example, if the game normally runs at 60 fps, Frame Skip: 2 will make it "
     u"run at 50 fps, Frame Skip 6 at 30 fps."},
    {"beaminf",
     u"Sets the width in pixels of the vectors. The Value is a float in the range of 1.00 "
     u"through 16.00."},
    {"flickerinf",
     u"Makes the vectors flicker. n is an optional argument, a float in the range 0.00 - "
     u"100.00 (0=none, 100=maximum)."},
    {"Vgafrequenceinf",
     u"This can reduce flicker. WARNING: IT IS POSSIBLE TO SET FREQUENCIES WAY OUTSIDE OF YOUR "
     u"MONITOR\u00B4S RANGE, WHICH COULD DAMAGE YOUR MONITOR. BEFORE USING THIS OPTION, BE "
     u"SURE YOU KNOW WHICH FREQUENCIES YOUR MONITOR SUPPORTS. USE THIS OPTION AT YOUR OWN RISK."},
    {"loginf",
     u"Creates a log of illegal memory accesses in ERROR.LOG"},
}};

QString text(const QByteArray &button)
{
    for (const Entry &e : Entries)
        if (button == e.button)
            return QString::fromUtf16(e.text);
    return {};
}

} // namespace HelpTexts
