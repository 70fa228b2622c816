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

TEST_F(TextBoxEditing, TypingInsertsAtTheCaretAndEditingKeysStopAtTheEnds) {
    Typed("ACE");
    Keys({VK_HOME});
    Typed("<");
    Keys({VK_END});
    Typed(">");
    Keys({VK_LEFT, VK_LEFT});
    Typed("-");
    EXPECT_EQ(box.Text(), "<AC-E>");
    EXPECT_EQ(box.Caret(), 4u);
    Keys({VK_LEFT, VK_BACK, VK_DELETE});
    EXPECT_EQ(box.Text(), "<AE>");
    EXPECT_EQ(box.Caret(), 2u);
    Keys({VK_HOME, VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Caret(), 0u);
    Keys({VK_END, VK_RIGHT, VK_DELETE});
    EXPECT_EQ(box.Text(), "<AE>");
    EXPECT_EQ(box.Caret(), 4u);
}

TEST_F(TextBoxEditing, EditingNeverSplitsACharacterWhateverTheBytes) {
    Typed("a" + kE + kEuro + kClef + "z");
    Keys({VK_LEFT, VK_LEFT, VK_BACK});  // the euro sign goes whole
    EXPECT_EQ(box.Text(), "a" + kE + kClef + "z");
    Keys({VK_DELETE, VK_LEFT});  // and so does the clef
    EXPECT_EQ(box.Text(), "a" + kE + "z");
    EXPECT_EQ(box.Caret(), 1u);
    Keys({VK_RIGHT});
    EXPECT_EQ(box.Caret(), 3u);

    // A name from an old table in an 8-bit character set ("Zoë!" in Latin-1
    // and a stray continuation byte) is edited byte by byte.
    box.SetText("Zo\xEB!\x80");
    Keys({VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Text(), "Zo\xEB\x80");
    // Taking the "!" out of these joins the bytes around it into one
    // character, U+B002; the caret never stands inside it.
    box.SetText("\xEB\x80!\x82");
    Keys({VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Caret(), 0u);
    box.SetText("\xEB\x80!\x82");
    box.SetCaret(2);
    Keys({VK_DELETE});
    EXPECT_EQ(box.Caret(), 0u);
    box.SetText("x" + kEuro);
    box.SetCaret(2);  // inside the euro sign
    EXPECT_EQ(box.Caret(), 1u);
}

TEST_F(TextBoxEditing, OnlyWellFormedPrintableTextIsTaken) {
    Typed(
        "a\tb\nc\x7F\x01"
        "d\xFF"
        "e\xC0\xAF"
        "f\xED\xA0\x80"
        "g\xE2\x82");
    EXPECT_EQ(box.Text(), "abcdefg");
}

TEST_F(TextBoxEditing, TheControlsOwnHandlerSeesTheKeyBeforeTheEditingAndADisabledBoxNone) {
    Typed("AB");
    std::string seen;
    box.OnKeyDown = [&](int key) {
        if (key == VK_BACK) seen = box.Text();
    };
    Keys({VK_BACK});
    EXPECT_EQ(seen, "AB");
    EXPECT_EQ(box.Text(), "A");
    box.SetEnabled(false);
    Typed("C");
    Keys({VK_BACK});
    EXPECT_EQ(box.Text(), "A");
}

TEST(Utf8SequenceLength, TakesOnlyWellFormedSequences) {
    const std::pair<std::string, std::size_t> cases[] = {
        {"", 0},
        {"A", 1},
        {"\xC3\xA9rest", 2},
        {"\xC2\x80", 2},  // the smallest of each length...
        {"\xE0\xA0\x80", 3},
        {"\xF0\x90\x80\x80", 4},
        {"\xC1\xBF", 0},  // ...and the overlong forms just below
        {"\xE0\x9F\xBF", 0},
        {"\xF0\x8F\xBF\xBF", 0},
        {"\xED\x9F\xBF", 3},  // around the surrogates
        {"\xED\xA0\x80", 0},
        {"\xED\xBF\xBF", 0},
        {"\xEE\x80\x80", 3},
        {"\xF4\x8F\xBF\xBF", 4},  // the last code point, and beyond
        {"\xF4\x90\x80\x80", 0},
        {"\x80", 0},
        {"\xE2\x82Z", 0},
    };
    for (const auto& [bytes, length] : cases)
        EXPECT_EQ(Utf8SequenceLength(bytes), length) << ::testing::PrintToString(bytes);
}

TEST(TextScroll, TheCaretStaysInViewWithTheLeastMovement) {
    // The caret after the last character needs a pixel: 99 + 1 fits in 100.
    EXPECT_EQ(TextScroll(40, 10, 99, 100), 0);
    EXPECT_EQ(TextScroll(0, 100, 100, 100), 1);
    // Text 300 wide in a view of 100: the caret at its end shows in the last column.
    EXPECT_EQ(TextScroll(0, 300, 300, 100), 201);
    EXPECT_EQ(TextScroll(201, 201, 300, 100), 201);  // inside the view: no movement
    EXPECT_EQ(TextScroll(201, 200, 300, 100), 200);  // past the left edge
    EXPECT_EQ(TextScroll(10, 150, 300, 100), 51);    // past the right edge
    // No empty room opens right of text that shrank.
    EXPECT_EQ(TextScroll(201, 180, 250, 100), 151);
}

}  // namespace
}  // namespace vorlax
