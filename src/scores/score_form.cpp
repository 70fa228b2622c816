#include "scores/score_form.h"

#include <cassert>

namespace vorlax {
namespace {
ScoreWindow* current = nullptr;
}

ScoreWindow& ScoreForm() {
    assert(current != nullptr && "the windows have not been made");
    return *current;
}

void SetScoreForm(ScoreWindow* window) {
    current = window;
}

ScoreWindow::ScoreWindow() : form("ScoreForm", "High Score", 462, 511) {
    form.SetBackColor(RGB(0, 0, 0));
    form.Cls();
}

}  // namespace vorlax
