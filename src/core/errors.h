// Errors raised during start-up and shown to the player in a message box.
#pragma once

#include <stdexcept>
#include <string>

#include "core/types.h"

namespace vorlax {

// An error with a number and a description. Start-up traps these (and any
// other std::exception) and shows the description.
class GameError : public std::runtime_error {
  public:
    GameError(Long number, const std::string& description)
        : std::runtime_error(description), number_(number) {}
    Long Number() const { return number_; }

  private:
    Long number_;
};

// A bitmap file that is missing or cannot be loaded.
inline constexpr Long kErrBitmapLoad = static_cast<Long>(0x80040002u);
// The high-score file is missing, unreadable, short or holds a bad score.
inline constexpr Long kErrHighScoreFile = static_cast<Long>(0x80040003u);
// No font the game's text can be drawn in.
inline constexpr Long kErrFont = static_cast<Long>(0x80040004u);

}  // namespace vorlax
