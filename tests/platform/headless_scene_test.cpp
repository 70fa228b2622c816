// A scripted scene on the headless platform: forms, focus, key and text
// delivery, the virtual clock, and closing windows. (Nested loops and ending
// the program are played by the game's own tests of its command keys.)
#include <gtest/gtest.h>

#include "core/numbers.h"
#include "platform/form.h"
#include "support/headless_fixture.h"

namespace vorlax {
namespace {

using HeadlessScene = testing::HeadlessTest;

TEST_F(HeadlessScene, ShowRaisesLoadThenResizeOnceAndActivates) {
    Form form("F", "Caption", 200, 100);
    std::vector<std::string> events;
    form.OnLoad = [&] { events.push_back("load"); };
    form.OnResize = [&] { events.push_back("resize"); };
    form.Show();
    form.Show();
    EXPECT_EQ(events, (std::vector<std::string>{"load", "resize"}));
    EXPECT_TRUE(form.Loaded());
    EXPECT_TRUE(form.Visible());
    EXPECT_EQ(platform.ActiveForm(), &form);
}

TEST_F(HeadlessScene, KeysReachTheActiveFormThenItsFocusedControl) {
    Form a("A", "A", 100, 100), b("B", "B", 100, 100);
    auto& box = b.Add<TextBox>("Box", 0, 0, 50, 20);
    std::vector<std::string> seen;
    a.OnKeyDown = [&](int k) { seen.push_back("A" + std::to_string(k)); };
    b.OnKeyDown = [&](int k) { seen.push_back("B" + std::to_string(k)); };
    box.OnKeyDown = [&](int k) { seen.push_back("box" + std::to_string(k)); };
    a.Show();
    b.Show();
    box.SetFocus();
    platform.QueueKeyDown(VK_F2);
    platform.QueueText("Ace");
    platform.DoEvents();
    a.SetFocus();
    platform.QueueKeyDown(VK_ESCAPE);
    platform.QueueText("x");
    platform.DoEvents();
    EXPECT_EQ(seen, (std::vector<std::string>{"B113", "box113", "A27"}));
    EXPECT_EQ(box.Text(), "Ace");
}

TEST_F(HeadlessScene, TypingNeedsAFocusedEnabledTextBox) {
    Form form("F", "F", 100, 100);
    auto& box = form.Add<TextBox>("Box", 0, 0, 50, 20);
    auto& pic = form.Add<PictureBox>("Pic", 0, 30, 20, 20);
    form.Show();
    box.SetFocus();
    platform.QueueText("Zo");
    platform.QueueText("é");
    platform.QueueKeyDown(VK_BACK);
    platform.DoEvents();
    EXPECT_EQ(box.Text(), "Zo");
    box.SetEnabled(false);
    EXPECT_EQ(form.FocusedControl(), nullptr);
    platform.QueueText("!");
    platform.DoEvents();
    EXPECT_EQ(box.Text(), "Zo");
    box.SetFocus();  // disabled: refused
    EXPECT_EQ(form.FocusedControl(), nullptr);
    pic.SetFocus();
    platform.QueueText("?");
    platform.DoEvents();
    EXPECT_EQ(box.Text(), "Zo");
    EXPECT_TRUE(pic.HasFocus());
}

TEST_F(HeadlessScene, WaitingYieldsMoveTheClockToTheNextScriptedAction) {
    Form form("F", "F", 100, 100);
    form.Show();
    std::vector<std::uint32_t> when;
    platform.SetTick(1000);
    platform.At(1025, [&] { when.push_back(platform.GetTickCount()); });
    platform.DoEvents(11);  // nothing pending: waits 11 ms
    EXPECT_EQ(platform.GetTickCount(), 1011u);
    platform.DoEvents(11);  // the action is due before the wait ends
    EXPECT_EQ(platform.GetTickCount(), 1022u);
    platform.DoEvents(11);
    EXPECT_EQ(when, (std::vector<std::uint32_t>{1025}));
    EXPECT_EQ(platform.GetTickCount(), 1025u);
    platform.DoEvents(0);  // a plain yield never waits
    EXPECT_EQ(platform.GetTickCount(), 1025u);
}

TEST_F(HeadlessScene, ScriptedActionsWorkAcrossTheCounterWrap) {
    platform.SetTick(0xFFFFFFF6u);  // 10 ms before the wrap
    bool ran = false;
    platform.At(0x00000005u, [&] { ran = true; });
    platform.DoEvents(10);
    EXPECT_FALSE(ran);
    platform.DoEvents(10);
    EXPECT_TRUE(ran);
    EXPECT_EQ(platform.GetTickCount(), 5u);
}

TEST_F(HeadlessScene, TheCloseBoxUnloadsOnceEvenIfTheHandlerClosesAgain) {
    Form form("F", "F", 100, 100);
    int unloads = 0;
    form.OnUnload = [&] {
        ++unloads;
        form.Unload();  // closing a window that is already closing does nothing more
    };
    form.Show();
    platform.QueueClose(form);
    platform.DoEvents();
    EXPECT_EQ(unloads, 1);
    EXPECT_FALSE(form.Loaded());
    EXPECT_TRUE(platform.OpenForms().empty());
    // Shown again it loads afresh and reports its size again.
    int resizes = 0;
    form.OnResize = [&] { ++resizes; };
    form.Show();
    EXPECT_EQ(resizes, 1);
}

TEST_F(HeadlessScene, HidingKeepsTheFormLoadedAndDropsTheFocus) {
    Form a("A", "A", 100, 100), help("H", "H", 50, 50);
    a.Show();
    help.Show();
    EXPECT_EQ(platform.ActiveForm(), &help);
    help.Hide();
    EXPECT_EQ(platform.ActiveForm(), nullptr);
    EXPECT_TRUE(help.Loaded());
    platform.QueueKeyDown(VK_ESCAPE);  // nobody has the focus: dropped
    platform.DoEvents();
    a.SetFocus();
    EXPECT_EQ(platform.ActiveForm(), &a);
}

TEST_F(HeadlessScene, ChangedFormsAreShownAtTheNextYieldAndRefreshShowsAtOnce) {
    Form form("F", "F", 100, 100);
    auto& label = form.Add<Label>("L", 0, 0, 50, 20);
    form.Show();
    platform.DoEvents();
    int shown = platform.Presents(form);
    platform.DoEvents();
    EXPECT_EQ(platform.Presents(form), shown);  // nothing changed
    label.SetCaption("Hello");
    platform.DoEvents();
    EXPECT_EQ(platform.Presents(form), shown + 1);
    form.Refresh();
    EXPECT_EQ(platform.Presents(form), shown + 2);
}

TEST_F(HeadlessScene, ResizingKeepsTheImageAndRaisesTheResizeEvent) {
    Form form("F", "F", 4, 3);
    form.SetBackColor(RGB(1, 0, 1));
    form.Cls();
    form.Image().SetPixel(3, 2, RGB(9, 9, 9));
    int resizes = 0;
    form.OnResize = [&] { ++resizes; };
    form.SetClientSize(6, 5);  // not shown yet: no event
    EXPECT_EQ(resizes, 0);
    form.Show();
    EXPECT_EQ(resizes, 1);
    form.SetClientSize(8, 8);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(form.ClientWidth(), 8);
    EXPECT_EQ(form.Image().Pixel(3, 2), RGB(9, 9, 9));
    EXPECT_EQ(form.Image().Pixel(7, 7), RGB(1, 0, 1));
}

TEST_F(HeadlessScene, APictureBoxImageFollowsItsSize) {
    Form form("F", "F", 100, 100);
    auto& pict = form.Add<PictureBox>("P", 0, 0, 4, 4);
    pict.SetBackColor(RGB(1, 2, 3));
    pict.Cls();
    pict.Image().SetPixel(3, 3, RGB(9, 9, 9));
    pict.SetSize(6, 2);
    EXPECT_EQ(pict.Image().Width(), 6);
    EXPECT_EQ(pict.Image().Height(), 2);
    EXPECT_EQ(pict.Point(1, 1), RGB(1, 2, 3));
    EXPECT_EQ(pict.Point(5, 1), RGB(1, 2, 3));
    EXPECT_EQ(pict.Point(3, 3), kInvalidColour);
}

}  // namespace
}  // namespace vorlax
