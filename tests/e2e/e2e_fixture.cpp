#include "e2e/e2e_fixture.h"

#include <iostream>

namespace vorlax::e2e {

void GameOnXvfb::SetUp() {
    // CI must not pass by skipping: without the tools these tests fail.
    const std::string missing = MissingTools();
    ASSERT_TRUE(missing.empty()) << "The end-to-end tests need:\n" << missing;
    try {
        folder_ = std::make_unique<GameFolder>(VORLAX_BINARY);
        xvfb_ = std::make_unique<Xvfb>(folder_->Root() / "xvfb.log", screen_);
        if (windowManager_) {
            std::filesystem::create_directory(folder_->Root() / "wm");
            xvfb_->StartWindowManager(folder_->Root() / "wm");
        }
    } catch (const std::exception& e) {
        FAIL() << e.what();
    }
}

void GameOnXvfb::TearDown() {
    if (HasFailure() && folder_) {
        std::cerr << "--- the game's stderr:\n"
                  << GameStderr() << "--- the game "
                  << (game_ && game_->Running() ? "still runs" : "has ended") << "; windows:\n";
        if (xvfb_)
            for (const WindowInfo& w : xvfb_->Windows())
                std::cerr << "  0x" << std::hex << w.id << std::dec << " \"" << w.title << "\" "
                          << w.width << "x" << w.height
                          << (xvfb_->IsViewable(w.id) ? " viewable" : " not viewable") << "\n";
    }
    game_.reset();  // kills the game if it still runs
    xvfb_.reset();
    folder_.reset();
}

void GameOnXvfb::Launch(const GameLaunch& launch) {
    LaunchOptions o;
    o.argv = {launch.executable.empty() ? Folder().Executable().string()
                                        : launch.executable.string()};
    o.argv.insert(o.argv.end(), launch.args.begin(), launch.args.end());
    o.env = xvfb_->Environment();
    for (const std::string& setting : launch.env) {
        const std::string name = setting.substr(0, setting.find('=') + 1);
        std::erase_if(o.env, [&](const std::string& v) { return v.starts_with(name); });
        if (setting.back() != '=') o.env.push_back(setting);
    }
    o.cwd = Folder().Root();  // not the program folder: the game must find its files itself
    o.stdoutFile = Folder().Root() / "game.out";
    o.stderrFile = Folder().Root() / "game.err";
    game_.reset();
    mainWindow_ = 0;
    game_ = std::make_unique<Process>(o);
}

bool GameOnXvfb::StartOnTitle(const GameLaunch& launch) {
    Launch(launch);
    if (!WaitForMainWindow()) {
        ADD_FAILURE() << "no 785x617 window titled VORLAX appeared";
        return false;
    }
    return TitleDrawn(WaitForPicture(TitleDrawn, "the title screen"));
}

Image GameOnXvfb::StartPlay() {
    if (!StartOnTitle()) return {};
    EXPECT_TRUE(xvfb_->Tap("F2"));
    return WaitForPicture(StripShown, "the head-up strip after F2");
}

void GameOnXvfb::NewServer(CoreFonts fonts) {
    game_.reset();
    xvfb_.reset();
    mainWindow_ = 0;
    xvfb_ = std::make_unique<Xvfb>(folder_->Root() / "xvfb.log", screen_, fonts);
}

std::string GameOnXvfb::GameStderr() const {
    return folder_ ? ReadFile(folder_->Root() / "game.err") : std::string();
}

unsigned long GameOnXvfb::WaitForWindow(const std::string& title, int width, int height,
                                        milliseconds limit) {
    unsigned long id = 0;
    WaitUntil(
        [&] {
            for (const WindowInfo& w : xvfb_->WindowsTitled(title))
                if ((width == 0 || (w.width == width && w.height == height)) &&
                    xvfb_->IsViewable(w.id))
                    id = w.id;
            return id != 0 || !game_->Running();  // no use waiting for a program that has ended
        },
        limit, milliseconds{50});
    return id;
}

bool GameOnXvfb::WaitForMainWindow(int width, int height) {
    mainWindow_ = WaitForWindow("VORLAX", width, height, kStartLimit);
    // A new window takes the focus itself; make sure of it, keys go to the focus.
    if (mainWindow_ == 0 || xvfb_->Focus(mainWindow_)) return mainWindow_ != 0;
    ADD_FAILURE() << "the game's window did not take the keyboard focus";
    return false;
}

bool GameOnXvfb::WindowGone(unsigned long id) const {
    return WaitUntil([&] { return !xvfb_->IsViewable(id); }, kLimit, milliseconds{50});
}

bool GameOnXvfb::FocusOn(unsigned long id) const {
    return WaitUntil([&] { return xvfb_->FocusedWindow() == id; }, kLimit, milliseconds{50});
}

Image GameOnXvfb::WaitForPicture(const std::function<bool(const Image&)>& done,
                                 const std::string& what, milliseconds limit,
                                 unsigned long window) {
    Image last;
    std::string why;
    // A capture can fail while the server is busy mapping or exposing the window.
    const bool seen = WaitUntil(
        [&] {
            std::optional<Image> image = xvfb_->Capture(window ? window : mainWindow_, &why);
            if (!image) return false;
            last = std::move(*image);
            return done(last);
        },
        limit, milliseconds{30});
    if (!seen) ADD_FAILURE() << "the window never showed " << what << " " << why;
    return last;
}

void GameOnXvfb::ExpectExit(int status, const std::string& after) {
    const std::optional<int> ended = WaitExit();
    ASSERT_TRUE(ended.has_value()) << "the game did not end after " << after;
    EXPECT_EQ(*ended, status) << "after " << after;
    // The server notices a closed connection a moment after the process ended.
    EXPECT_TRUE(WaitUntil([&] { return GameWindows().empty(); }, kLimit, milliseconds{50}))
        << "a window was left after " << after;
}

void GameOnXvfb::QuitWithEscape() {
    ASSERT_TRUE(xvfb_->Tap("Escape"));
    ExpectExit(0, "Esc");
}

}  // namespace vorlax::e2e
