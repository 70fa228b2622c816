// A text box edited as a player edits it.
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
    void Keys(std::initializer_list<int> keys) {
        for (int k : keys) EXPECT_TRUE(box.EditKey(k));
    }
    Form form{"F", "F", 300, 100};
    TextBox& box = form.Add<TextBox>("Box", 10, 10, 200, 25);
};

TEST_F(TextBoxEditing, TypingInsertsAtTheCaretAndEditingKeysStopAtTheEnds) {
    box.Type("ACE");
    Keys({VK_HOME});
    box.Type("<");
    Keys({VK_END});
    box.Type(">");
    Keys({VK_LEFT, VK_LEFT});
    box.Type("-");
    EXPECT_EQ(box.Text(), "<AC-E>");
    Keys({VK_LEFT, VK_BACK, VK_DELETE});
    EXPECT_EQ(box.Text(), "<AE>");
    EXPECT_EQ(box.Caret(), 2u);
    Keys({VK_HOME, VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Caret(), 0u);
    Keys({VK_END, VK_RIGHT, VK_DELETE});
    EXPECT_EQ(box.Text(), "<AE>");
    EXPECT_EQ(box.Caret(), 4u);
    EXPECT_FALSE(box.EditKey(VK_F2));
}

TEST_F(TextBoxEditing, EditingNeverSplitsACharacterAndOnlyWellFormedPrintableTextIsTaken) {
    box.Type("a" + kE + kEuro + kClef + "z");
    Keys({VK_LEFT, VK_LEFT, VK_BACK});  // the euro sign goes whole
    EXPECT_EQ(box.Text(), "a" + kE + kClef + "z");
    Keys({VK_DELETE, VK_LEFT});  // and so does the clef
    EXPECT_EQ(box.Text(), "a" + kE + "z");
    Keys({VK_RIGHT});
    EXPECT_EQ(box.Caret(), 3u);
    // A name from an old table in an 8-bit character set is edited byte by
    // byte. Taking the "!" out of these joins the bytes around it into one
    // character, U+B002; the caret never stands inside it.
    box.SetText("\xEB\x80!\x82");
    Keys({VK_LEFT, VK_BACK});
    EXPECT_EQ(box.Caret(), 0u);
    box.SetText("x" + kEuro);
    box.SetCaret(2);  // inside the euro sign
    EXPECT_EQ(box.Caret(), 1u);

    box.SetText("");
    // Control characters, a stray byte, overlong forms, a surrogate, a cut sequence.
    box.Type(
        "a\tb\nc\x7F\x01"
        "d\xFF"
        "e\xC1\xBF\xE0\x9F\xBF\xF0\x8F\xBF\xBF"
        "f\xED\xA0\x80"
        "g\xE2\x82");
    EXPECT_EQ(box.Text(), "abcdefg");
    // The last code point and one beyond it; U+10000 and U+0800, the first of their lengths.
    box.Type("\xF4\x8F\xBF\xBF\xF4\x90\x80\x80\xF0\x90\x80\x80\xE0\xA0\x80");
    EXPECT_EQ(box.Text(), "abcdefg\xF4\x8F\xBF\xBF\xF0\x90\x80\x80\xE0\xA0\x80");
}

}  // namespace
}  // namespace vorlax
