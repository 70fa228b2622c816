// The form model on the headless platform: forms, focus, key and text
// delivery, the virtual clock, closing windows, and what is shown when.
#include <gtest/gtest.h>

#include "platform/form.h"
#include "support/headless_fixture.h"

namespace vorlax {
namespace {

using HeadlessScene = testing::HeadlessTest;

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
    // A disabled box loses the focus and cannot take it again.
    b.SetFocus();
    box.SetEnabled(false);
    EXPECT_EQ(b.FocusedControl(), nullptr);
    box.SetFocus();
    EXPECT_EQ(b.FocusedControl(), nullptr);
}

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

TEST_F(HeadlessScene, HidingKeepsAFormLoadedAndTheCloseBoxUnloadsItOnce) {
    Form form("F", "F", 100, 100), help("H", "H", 50, 50);
    int unloads = 0, resizes = 0;
    form.OnUnload = [&] {
        ++unloads;
        form.Unload();  // closing a window that is already closing does nothing more
    };
    form.OnResize = [&] { ++resizes; };
    form.Show();
    form.Show();
    EXPECT_EQ(resizes, 1);
    help.Show();
    help.Hide();  // loaded still, and the focus goes with it
    EXPECT_EQ(platform.ActiveForm(), nullptr);
    EXPECT_TRUE(help.Loaded());
    help.Unload();
    platform.QueueClose(form);
    platform.DoEvents();
    EXPECT_EQ(unloads, 1);
    EXPECT_TRUE(platform.OpenForms().empty());
    form.Show();
    EXPECT_EQ(resizes, 2);
}

TEST_F(HeadlessScene, ChangedFormsAreShownAtTheNextYieldAndRefreshShowsAtOnce) {
    Form form("F", "F", 100, 100);
    auto& label = form.Add<Label>("L", 0, 0, 50, 20);
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
}

TEST_F(HeadlessScene, ResizingAFormOrAPictureKeepsItsImage) {
    Form form("F", "F", 4, 3);
    form.Image().SetPixel(3, 2, RGB(9, 9, 9));
    int resizes = 0;
    form.OnResize = [&] { ++resizes; };
    form.Show();
    form.SetClientSize(8, 8);
    EXPECT_EQ(resizes, 2);
    EXPECT_EQ(form.Image().Pixel(3, 2), RGB(9, 9, 9));

    auto& pict = form.Add<PictureBox>("P", 0, 0, 4, 4);
    pict.SetBackColor(RGB(1, 2, 3));
    pict.Cls();
    pict.Image().SetPixel(1, 1, RGB(9, 9, 9));
    pict.SetSize(6, 2);
    EXPECT_EQ(pict.Image().Width(), 6);
    EXPECT_EQ(pict.Point(1, 1), RGB(9, 9, 9));
    EXPECT_EQ(pict.Point(5, 1), RGB(1, 2, 3));
}

}  // namespace
}  // namespace vorlax
