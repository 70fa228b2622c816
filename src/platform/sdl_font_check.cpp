// The SDL backend's check, at start-up, that the windows' text can be drawn.
#include <SDL_ttf.h>

#include <filesystem>

#include "core/errors.h"
#include "platform/sdl_internal.h"
#include "platform/sdl_platform.h"

namespace vorlax {

void SdlPlatform::CheckFonts() {
    std::string problems;
    for (const char* file : {sdl::kRegularFontFile, sdl::kBoldFontFile}) {
        std::string where;
        bool usable = false;
        for (const std::string& folder : fontFolders_) {
            const std::string path = folder + "/" + file;
            std::string why;
            if (std::error_code error; !std::filesystem::exists(path, error)) {
                why = "is missing from " + folder;
            } else if (TTF_Font* font = TTF_OpenFont(path.c_str(), 16)) {
                TTF_CloseFont(font);
                usable = true;
                break;
            } else {
                why = "is not a readable font in " + folder;
            }
            where += (where.empty() ? "" : " and ") + why;
        }
        if (usable) continue;
        if (fontFolders_.empty()) where = "was looked for nowhere";
        problems += (problems.empty() ? "" : "; ") + std::string(file) + " " + where;
    }
    if (problems.empty()) return;
    throw GameError(kErrFont, "No usable font for the game's text: " + problems +
                                  ". Install the Debian package fonts-liberation, or put the "
                                  "font files beside the game.");
}

}  // namespace vorlax
