// A text box edited as a player edits it: typed text and editing keys queued
// on the headless platform, read back as text and caret.
#include <gtest/gtest.h>

#include <string>

#include "platform/form.h"
#include "support/headless_fixture.h"

namespace vorlax {
namespace {

const std::string kE = "\xC3\xA9";             // é, two bytes
const std::string kEuro = "\xE2\x82\xAC";      // €, three bytes
const std::string kClef = "\xF0\x9D\x84\x9E";  // 𝄞, four bytes

class TextBoxEditing : public testing::HeadlessTest {
  protected:
    TextBoxEditing() {
        form.Show();
        box.SetFocus();
    }
    // Queues keys and text in order and lets the window system deliver them.
    void Keys(std::initializer_list<int> keys) {
        for (int k : keys) platform.QueueKeyDown(k);
        platform.DoEvents();
    }
    void Typed(const std::string& text) {
        platform.QueueText(text);
        platform.DoEvents();
    }

    Form form{"F", "F", 300, 100};
    TextBox& box = form.Add<TextBox>("Box", 10, 10, 200, 25);
};

TEST_F(TextBoxEditing, TypingInsertsAtTheCaretWhichTheArrowsHomeAndEndMove) {
    Typed("ACE");
    EXPECT_EQ(box.Caret(), 3u);
    Keys({VK_HOME});
    Typed("<");
    Keys({VK_END});
    Typed(">");
    Keys({VK_LEFT, VK_LEFT});
    Typed("-");
    EXPECT_EQ(box.Text(), "<AC-E>");
    EXPECT_EQ(box.Caret(), 4u);
    // The caret stops at either end.
    Keys({VK_HOME, VK_LEFT});
    EXPECT_EQ(box.Caret(), 0u);
    Keys({VK_END, VK_RIGHT});
    EXPECT_EQ(box.Caret(), box.Text().size());
}

TEST_F(TextBoxEditing, BackspaceAndDeleteTakeTheCharacterEitherSideOfTheCaret) {
    Typed("ABCD");
    Keys({VK_LEFT, VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Text(), "ACD");
    EXPECT_EQ(box.Caret(), 1u);
    Keys({VK_DELETE});
    EXPECT_EQ(box.Text(), "AD");
    EXPECT_EQ(box.Caret(), 1u);
    // Nothing to take at the ends.
    Keys({VK_HOME, VK_BACK});
    EXPECT_EQ(box.Text(), "AD");
    Keys({VK_END, VK_DELETE});
    EXPECT_EQ(box.Text(), "AD");
    EXPECT_EQ(box.Caret(), 2u);
}

TEST_F(TextBoxEditing, EditingNeverSplitsAMultiByteCharacter) {
    Typed("a" + kE + kEuro + kClef + "z");
    Keys({VK_LEFT, VK_LEFT});  // before the clef
    EXPECT_EQ(box.Caret(), 1u + 2 + 3);
    Keys({VK_BACK});  // the euro sign goes whole
    EXPECT_EQ(box.Text(), "a" + kE + kClef + "z");
    Keys({VK_DELETE});  // and so does the clef
    EXPECT_EQ(box.Text(), "a" + kE + "z");
    Keys({VK_LEFT});
    EXPECT_EQ(box.Caret(), 1u);
    Keys({VK_RIGHT});
    EXPECT_EQ(box.Caret(), 3u);
    Keys({VK_BACK, VK_BACK});
    EXPECT_EQ(box.Text(), "z");
}

TEST_F(TextBoxEditing, TextThatIsNotUtf8IsEditedByteByByte) {
    // A name from an old table in an 8-bit character set: "Zoë!" in Latin-1,
    // followed by a stray continuation byte.
    box.SetText("Zo\xEB!\x80");
    EXPECT_EQ(box.Caret(), 5u);
    Keys({VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Text(), "Zo\xEB\x80");
    EXPECT_EQ(box.Caret(), 3u);
    Keys({VK_BACK, VK_DELETE});
    EXPECT_EQ(box.Text(), "Zo");
    Typed(kE);
    EXPECT_EQ(box.Text(), "Zo" + kE);
}

TEST_F(TextBoxEditing, StrayBytesJoinedByAnEraseCountAsOneCharacter) {
    // Taking the "!" out joins the bytes around it into one character, U+B002.
    box.SetText("\xEB\x80!\x82");
    Keys({VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Text(), "\xEB\x80\x82");
    EXPECT_EQ(box.Caret(), 0u) << "the caret never stands inside a character";
    box.SetText("\xEB\x80!\x82");
    box.SetCaret(2);
    Keys({VK_DELETE});
    EXPECT_EQ(box.Caret(), 0u);
    Keys({VK_DELETE});
    EXPECT_EQ(box.Text(), "");
}

TEST_F(TextBoxEditing, OnlyWellFormedPrintableTextIsTaken) {
    Typed(
        "a\tb\nc\x7F\x01"
        "d");
    EXPECT_EQ(box.Text(), "abcd");
    // Malformed bytes are dropped, the characters around them stay.
    Typed(
        "\xFF"
        "e\xC0\xAF"
        "f\xED\xA0\x80"
        "g\xF4\x90\x80\x80"
        "h\xE2\x82");
    EXPECT_EQ(box.Text(), "abcdefgh");
    Typed(kClef);
    EXPECT_EQ(box.Text(), "abcdefgh" + kClef);
}

TEST_F(TextBoxEditing, SetTextPutsTheCaretAtTheEndAndSetCaretSnapsToACharacter) {
    box.SetText("x" + kEuro);
    EXPECT_EQ(box.Caret(), 4u);
    box.SetCaret(2);  // inside the euro sign
    EXPECT_EQ(box.Caret(), 1u);
    box.SetCaret(99);
    EXPECT_EQ(box.Caret(), 4u);
    box.SetText("");
    EXPECT_EQ(box.Caret(), 0u);
}

TEST_F(TextBoxEditing, ADisabledOrUnfocusedBoxIgnoresTypingAndEditingKeys) {
    Typed("AB");
    box.SetEnabled(false);
    Typed("C");
    Keys({VK_BACK, VK_HOME});
    EXPECT_EQ(box.Text(), "AB");
    EXPECT_EQ(box.Caret(), 2u);
    box.SetEnabled(true);
    Typed("C");
    EXPECT_EQ(box.Text(), "AB") << "enabling does not give the focus back";
}

TEST_F(TextBoxEditing, TheControlsOwnHandlerSeesTheKeyBeforeTheEditing) {
    Typed("AB");
    std::string seen;
    box.OnKeyDown = [&](int key) {
        if (key == VK_BACK) seen = box.Text();
    };
    Keys({VK_BACK});
    EXPECT_EQ(seen, "AB");
    EXPECT_EQ(box.Text(), "A");
}

TEST(Utf8SequenceLength, TakesOnlyWellFormedSequences) {
    EXPECT_EQ(Utf8SequenceLength(""), 0u);
    EXPECT_EQ(Utf8SequenceLength("A"), 1u);
    EXPECT_EQ(Utf8SequenceLength(std::string("\0", 1)), 1u);
    EXPECT_EQ(Utf8SequenceLength("\xC2\x80"), 2u);          // U+0080, the smallest of two bytes
    EXPECT_EQ(Utf8SequenceLength("\xDF\xBF"), 2u);          // U+07FF
    EXPECT_EQ(Utf8SequenceLength("\xE0\xA0\x80"), 3u);      // U+0800
    EXPECT_EQ(Utf8SequenceLength("\xED\x9F\xBF"), 3u);      // U+D7FF, just below the surrogates
    EXPECT_EQ(Utf8SequenceLength("\xEE\x80\x80"), 3u);      // U+E000, just above them
    EXPECT_EQ(Utf8SequenceLength("\xF0\x90\x80\x80"), 4u);  // U+10000
    EXPECT_EQ(Utf8SequenceLength("\xF4\x8F\xBF\xBF"), 4u);  // U+10FFFF, the last
    EXPECT_EQ(Utf8SequenceLength("\xC3\xA9rest"), 2u);

    EXPECT_EQ(Utf8SequenceLength("\x80"), 0u);              // a continuation byte
    EXPECT_EQ(Utf8SequenceLength("\xC0\x80"), 0u);          // overlong
    EXPECT_EQ(Utf8SequenceLength("\xC1\xBF"), 0u);          // overlong
    EXPECT_EQ(Utf8SequenceLength("\xE0\x9F\xBF"), 0u);      // overlong U+07FF
    EXPECT_EQ(Utf8SequenceLength("\xF0\x8F\xBF\xBF"), 0u);  // overlong U+FFFF
    EXPECT_EQ(Utf8SequenceLength("\xED\xA0\x80"), 0u);      // U+D800, a surrogate
    EXPECT_EQ(Utf8SequenceLength("\xED\xBF\xBF"), 0u);      // U+DFFF
    EXPECT_EQ(Utf8SequenceLength("\xF4\x90\x80\x80"), 0u);  // U+110000, too large
    EXPECT_EQ(Utf8SequenceLength("\xF5\x80\x80\x80"), 0u);
    EXPECT_EQ(Utf8SequenceLength("\xFF"), 0u);
    EXPECT_EQ(Utf8SequenceLength("\xE2\x82"), 0u);  // cut short
    EXPECT_EQ(Utf8SequenceLength("\xE2\x82Z"), 0u);
}

TEST(TextScroll, TextThatFitsIsNeverScrolled) {
    // The caret after the last character needs a pixel: 99 + 1 fits in 100.
    EXPECT_EQ(TextScroll(0, 99, 99, 100), 0);
    EXPECT_EQ(TextScroll(40, 10, 99, 100), 0);
    EXPECT_EQ(TextScroll(0, 50, 100, 100), 0);   // 100 + 1 does not fit...
    EXPECT_EQ(TextScroll(0, 100, 100, 100), 1);  // ...so the caret at its end scrolls
}

TEST(TextScroll, TheCaretStaysInViewWithTheLeastMovement) {
    // Text 300 wide in a view of 100: the caret at its end shows in the last column.
    EXPECT_EQ(TextScroll(0, 300, 300, 100), 201);
    // Moving left inside the view moves nothing.
    EXPECT_EQ(TextScroll(201, 250, 300, 100), 201);
    EXPECT_EQ(TextScroll(201, 201, 300, 100), 201);
    // Past the left edge the view follows the caret.
    EXPECT_EQ(TextScroll(201, 200, 300, 100), 200);
    EXPECT_EQ(TextScroll(201, 0, 300, 100), 0);
    // And past the right edge.
    EXPECT_EQ(TextScroll(0, 99, 300, 100), 0);
    EXPECT_EQ(TextScroll(0, 100, 300, 100), 1);
    EXPECT_EQ(TextScroll(10, 150, 300, 100), 51);
}

TEST(TextScroll, NoEmptyRoomOpensRightOfShrunkenText) {
    // Scrolled to the end of 300 pixels of text, which then loses 50.
    EXPECT_EQ(TextScroll(201, 250, 250, 100), 151);
    EXPECT_EQ(TextScroll(201, 180, 250, 100), 151);
    EXPECT_EQ(TextScroll(500, 0, 300, 0), 0);  // no room at all
}

}  // namespace
}  // namespace vorlax
