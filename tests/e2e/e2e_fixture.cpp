#include "e2e/e2e_fixture.h"

#include <iostream>
#include <sstream>

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
        std::cerr << "--- the game's stderr:\n" << GameStderr() << "--- windows:\n";
        if (xvfb_)
            for (const WindowInfo& w : xvfb_->Windows())
                std::cerr << "  0x" << std::hex << w.id << std::dec << " \"" << w.title << "\" "
                          << w.width << "x" << w.height << "\n";
    }
    game_.reset();  // kills the game if it still runs
    xvfb_.reset();
    folder_.reset();
}

void GameOnXvfb::Launch(const LaunchSpec& spec) {
    LaunchOptions o;
    o.argv = {spec.executable.empty() ? Folder().Executable().string() : spec.executable.string()};
    o.argv.insert(o.argv.end(), spec.args.begin(), spec.args.end());
    o.env = xvfb_->Environment();
    for (const std::string& setting : spec.env) {
        const std::string name = setting.substr(0, setting.find('=') + 1);
        std::erase_if(o.env, [&](const std::string& v) { return v.starts_with(name); });
        if (setting.back() != '=') o.env.push_back(setting);  // "NAME=" unsets it
    }
    o.cwd = Folder().Root();  // not the program folder: the game must find its files itself
    o.stdoutFile = Folder().Root() / "game.out";
    o.stderrFile = Folder().Root() / "game.err";
    game_ = std::make_unique<Process>(o);
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

std::optional<WindowInfo> GameOnXvfb::WaitForMainWindow(int width, int height) {
    std::optional<WindowInfo> found;
    const bool up = WaitUntil(
        [&] {
            for (const WindowInfo& w : GameWindows()) {
                if (w.width == width && w.height == height && xvfb_->IsViewable(w.id)) {
                    found = w;
                    return true;
                }
            }
            return !game_->Running();  // no use waiting for a program that has ended
        },
        kStartLimit, milliseconds{50});
    if (!up || !found) return std::nullopt;
    mainWindow_ = found->id;
    // A new window takes the focus itself; make sure of it, keys go to the focus.
    if (!xvfb_->Focus(mainWindow_)) {
        ADD_FAILURE() << "the game's window did not take the keyboard focus";
        return std::nullopt;
    }
    return found;
}

bool GameOnXvfb::NoGameWindowLeft() const {
    // The server notices a closed connection a moment after the process ended.
    return WaitUntil([&] { return GameWindows().empty(); }, kScreenLimit, milliseconds{50});
}

Image GameOnXvfb::Capture() {
    std::string why;
    std::optional<Image> image;
    // A capture can fail while the server is busy mapping or exposing the window.
    WaitUntil([&] { return (image = xvfb_->Capture(mainWindow_, &why)).has_value(); }, kScreenLimit,
              milliseconds{50});
    if (!image) {
        ADD_FAILURE() << "cannot capture the game's window: " << why;
        return {};
    }
    return *image;
}

Image GameOnXvfb::WaitForPicture(const std::function<bool(const Image&)>& done,
                                 const std::string& what, milliseconds limit) {
    Image last;
    const bool seen = WaitUntil(
        [&] {
            std::optional<Image> image = xvfb_->Capture(mainWindow_);
            if (!image) return false;
            last = std::move(*image);
            return done(last);
        },
        limit, milliseconds{30});
    if (!seen) ADD_FAILURE() << "the game's window never showed " << what;
    return last;
}

void GameOnXvfb::QuitWithEscape() {
    ASSERT_TRUE(xvfb_->Tap("Escape"));
    const std::optional<int> status = WaitExit();
    ASSERT_TRUE(status.has_value()) << "the game did not end after Esc";
    EXPECT_EQ(*status, 0);
    EXPECT_TRUE(NoGameWindowLeft());
}

}  // namespace vorlax::e2e
