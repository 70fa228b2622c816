#include "scores/score_form.h"

namespace vorlax {

ScoreWindow::ScoreWindow() : form("ScoreForm", "High Score", 462, 511) {
    form.SetBackColor(RGB(0, 0, 0));
    form.Cls();
}

}  // namespace vorlax
