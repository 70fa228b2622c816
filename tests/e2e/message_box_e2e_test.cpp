// A failed start-up on a private X server: the message must be seen whatever
// the desktop has installed. The system's message box needs the zenity
// program or X core fonts; where neither is there the game shows its own
// window. The test passes with or without them: it answers the box once on
// the server as the machine has it and once on one without core fonts, then
// closes the game's own window (VORLAX_OWN_MESSAGE_BOX=1) with Esc and with
// its close box.
#include "e2e/e2e_fixture.h"

namespace vorlax::e2e {
namespace {

class E2EMessageBox : public GameOnXvfb {};

TEST_F(E2EMessageBox, AFailedStartIsShownOnAnyDesktopAndEndsWithStatusOneWhenAnswered) {
    const std::string missing = "Enemy Mask 7.bmp";
    fs::remove(ProgramFolder() / missing);
    struct Case {
        CoreFonts fonts;
        bool own;
        std::string answer;
    };
    for (const Case& c : {Case{CoreFonts::AsInstalled, false, "Return"},
                          Case{CoreFonts::BuiltInsOnly, false, "Return"},
                          Case{CoreFonts::AsInstalled, true, "Escape"},
                          Case{CoreFonts::AsInstalled, true, "the close box"}}) {
        SCOPED_TRACE((c.own ? "the game's own box, " : "the system's box, ") + c.answer +
                     (c.fonts == CoreFonts::AsInstalled ? "" : ", no core fonts"));
        NewServer(c.fonts);
        Launch({c.own ? "VORLAX_OWN_MESSAGE_BOX=1" : "VORLAX_OWN_MESSAGE_BOX="});
        // The system's box is titled VORLAX too; the game's window must not open.
        const unsigned long box = WaitForWindow("VORLAX");
        ASSERT_NE(box, 0u) << "no message box appeared";
        for (const WindowInfo& w : GameWindows())
            EXPECT_FALSE(w.width == kClientWidth && w.height == kClientHeight) << "a game window";
        EXPECT_NE(GameStderr().find(missing), std::string::npos) << GameStderr();
        if (c.own) {
            // Dark letters of the message on the box's light grey.
            WaitForPicture(
                [](const Image& im) {
                    const Rect all{0, 0, im.width, im.height};
                    return im.Count(all, {240, 240, 240}) > im.width * im.height / 2 &&
                           im.Count(all, [](Rgb p) {
                               return p.r < 100 && p.g < 100 && p.b < 100;
                           }) > 400;
                },
                "the message", kLimit, box);
        }
        // Nothing focuses the system's box without a window manager.
        EXPECT_TRUE(Focus(box)) << "the message box would not take the focus";
        // It waits for an answer: a few frames of its loop pass and it is still there.
        std::this_thread::sleep_for(milliseconds{300});
        ASSERT_FALSE(WindowGone(box, milliseconds{0})) << "the box closed by itself";
        ASSERT_TRUE(c.answer == "the close box" ? CloseBox(box) : Tap(c.answer));
        ExpectExit(1, c.answer + " in the box");
    }
}

}  // namespace
}  // namespace vorlax::e2e
