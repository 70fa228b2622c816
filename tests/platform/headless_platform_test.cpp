// The headless platform's clock and screen, and a text box edited as a
// player edits it: typed text and editing keys queued, read back as text and
// caret.
#include <gtest/gtest.h>

#include <string>

#include "platform/form.h"
#include "support/headless_fixture.h"

namespace vorlax {
namespace {

using HeadlessScene = testing::HeadlessTest;

TEST_F(HeadlessScene, WaitingYieldsMoveTheClockToTheNextScriptedActionAcrossTheWrap) {
    Form form("F", "F", 100, 100);
    form.Show();
    std::vector<std::uint32_t> when;
    platform.SetTick(0xFFFFFFF6u);  // 10 ms before the wrap
    platform.At(0x00000005u, [&] { when.push_back(platform.GetTickCount()); });
    platform.DoEvents(11);  // nothing pending: waits 11 ms
    EXPECT_EQ(platform.GetTickCount(), 1u);
    platform.DoEvents(11);  // the action is due before the wait ends
    EXPECT_EQ(when, (std::vector<std::uint32_t>{5}));
    EXPECT_EQ(platform.GetTickCount(), 5u);
    platform.DoEvents(0);  // a plain yield never waits
    EXPECT_EQ(platform.GetTickCount(), 5u);
}

TEST_F(HeadlessScene, ChangedFormsAreShownAtTheNextYieldAndRefreshShowsAtOnce) {
    Form form("F", "F", 4, 3);
    auto& label = form.Add<Label>("L", 0, 0, 50, 20);
    int resizes = 0;
    form.OnResize = [&] { ++resizes; };
    form.Show();
    platform.DoEvents();
    const int shown = platform.Presents(form);
    platform.DoEvents();
    EXPECT_EQ(platform.Presents(form), shown);  // nothing changed
    label.SetCaption("Hello");
    platform.DoEvents();
    EXPECT_EQ(platform.Presents(form), shown + 1);
    form.Refresh();
    EXPECT_EQ(platform.Presents(form), shown + 2);

    // A new size keeps the image and raises the resize event.
    form.Image().SetPixel(3, 2, RGB(9, 9, 9));
    form.SetClientSize(8, 8);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(form.Image().Pixel(3, 2), RGB(9, 9, 9));
}

const std::string kE = "\xC3\xA9";             // é, two bytes
const std::string kEuro = "\xE2\x82\xAC";      // €, three bytes
const std::string kClef = "\xF0\x9D\x84\x9E";  // 𝄞, four bytes

class TextBoxEditing : public testing::HeadlessTest {
  protected:
    TextBoxEditing() {
        form.Show();
        box.SetFocus();
    }
    // Queues keys, then text, and lets the window system deliver them.
    void Type(std::initializer_list<int> keys, const std::string& text = "") {
        for (int k : keys) platform.QueueKeyDown(k);
        if (!text.empty()) platform.QueueText(text);
        platform.DoEvents();
    }

    Form form{"F", "F", 300, 100};
    TextBox& box = form.Add<TextBox>("Box", 10, 10, 200, 25);
};

TEST_F(TextBoxEditing, TypingInsertsAtTheCaretAndEditingKeysStopAtTheEnds) {
    Type({}, "ACE");
    Type({VK_HOME}, "<");
    Type({VK_END}, ">");
    Type({VK_LEFT, VK_LEFT}, "-");
    EXPECT_EQ(box.Text(), "<AC-E>");
    Type({VK_LEFT, VK_BACK, VK_DELETE});
    EXPECT_EQ(box.Text(), "<AE>");
    EXPECT_EQ(box.Caret(), 2u);
    Type({VK_HOME, VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Caret(), 0u);
    Type({VK_END, VK_RIGHT, VK_DELETE});
    EXPECT_EQ(box.Text(), "<AE>");
    EXPECT_EQ(box.Caret(), 4u);
    // The box's own handler sees a key before the editing; a disabled box takes none.
    std::string seen;
    box.OnKeyDown = [&](int) { seen = box.Text(); };
    Type({VK_BACK});
    EXPECT_EQ(seen, "<AE>");
    box.SetEnabled(false);
    Type({VK_BACK}, "C");
    EXPECT_EQ(box.Text(), "<AE");
}

TEST_F(TextBoxEditing, EditingNeverSplitsACharacterAndOnlyWellFormedPrintableTextIsTaken) {
    Type({}, "a" + kE + kEuro + kClef + "z");
    Type({VK_LEFT, VK_LEFT, VK_BACK});  // the euro sign goes whole
    EXPECT_EQ(box.Text(), "a" + kE + kClef + "z");
    Type({VK_DELETE, VK_LEFT});  // and so does the clef
    EXPECT_EQ(box.Text(), "a" + kE + "z");
    Type({VK_RIGHT});
    EXPECT_EQ(box.Caret(), 3u);
    // A name from an old table in an 8-bit character set is edited byte by
    // byte. Taking the "!" out of these joins the bytes around it into one
    // character, U+B002; the caret never stands inside it.
    box.SetText("\xEB\x80!\x82");
    Type({VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Caret(), 0u);
    box.SetText("x" + kEuro);
    box.SetCaret(2);  // inside the euro sign
    EXPECT_EQ(box.Caret(), 1u);

    box.SetText("");
    Type({},
         "a\tb\nc\x7F\x01"
         "d\xFF"
         "e\xC0\xAF"
         "f\xED\xA0\x80"
         "g\xE2\x82");
    EXPECT_EQ(box.Text(), "abcdefg");
}

}  // namespace
}  // namespace vorlax
