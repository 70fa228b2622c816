#include "scores/score_form.h"

#include <cassert>
#include <cstdio>
#include <string>

#include "graphics/display_form.h"
#include "platform/keys.h"
#include "scores/high_scores.h"

namespace vorlax {
namespace {

ScoreWindow* current = nullptr;

constexpr Colour kYellow = RGB(255, 255, 0);
constexpr Colour kBlack = RGB(0, 0, 0);
constexpr Colour kLightGreen = RGB(128, 255, 128);

Label* TableLabel(Form& form, const std::string& name, const std::string& caption, int left,
                  int top, int width, int height, double sizePt) {
    auto& label = form.Add<Label>(name, left, top, width, height);
    label.SetCaption(caption);
    label.SetFont(Font{sizePt, true});
    label.SetForeColor(kYellow);
    label.SetBackColor(kBlack);
    label.SetTransparent(true);  // black on black, and the rules show through
    label.SetAlignment(Align::Centre);
    return &label;
}

// A rule three pixels thick, centred on row `y`.
void ThickRule(Form& form, int y) {
    for (int dy = -1; dy <= 1; ++dy) form.DrawLine(0, y + dy, 464, y + dy, kLightGreen);
}

// The entry box of a new high score, or nullptr when no entry is in progress.
TextBox* EntryBox() {
    if (G.NewEntryRank < 1 || G.NewEntryRank > kHighScoreRanks) return nullptr;
    return ScoreForm().NameText[static_cast<std::size_t>(G.NewEntryRank - 1)];
}

// A name being typed and not yet confirmed with Enter is kept as it stands,
// so the new score is not saved under the name of the row above it. After
// Enter the box is locked and the confirmed name stays.
void KeepTypedName() {
    if (TextBox* box = EntryBox(); box != nullptr && box->Enabled())
        G.HighNames[G.NewEntryRank] = box->Text();
}

}  // namespace

ScoreWindow& ScoreForm() {
    assert(current != nullptr && "the windows have not been made");
    return *current;
}

void SetScoreForm(ScoreWindow* window) {
    current = window;
}

ScoreWindow::ScoreWindow()
    : form("ScoreForm", "High Score", kScoreClientWidth, kScoreClientHeight) {
    form.SetBackColor(kBlack);
    form.Cls();
    // The table's frame above and below, the rank column's edge, and a rule
    // between each two rows.
    ThickRule(form, 56);
    ThickRule(form, 464);
    form.DrawLine(56, 56, 56, 464, kLightGreen);
    for (int y = 104; y <= 424; y += 40) form.DrawLine(8, y, 456, y, kLightGreen);

    Label1 = TableLabel(form, "Label1", "Top 10 Scores", 40, 8, 361, 33, 24.0);
    auto& picture = form.Add<PictureBox>("Picture1", 384, 8, 57, 33);
    picture.SetBackColor(kBlack);
    picture.Cls();
    Picture1 = &picture;
    for (int r = 1; r <= kHighScoreRanks; ++r) {
        const auto i = static_cast<std::size_t>(r - 1);
        RankLabel[i] = TableLabel(form, "Label" + std::to_string(r + 1), std::to_string(r), 8,
                                  64 + 40 * (r - 1), 41, 33, 24.0);
        ScoreLabel[i] = TableLabel(form, "ScoreLabel" + std::to_string(i), "000000000", 64,
                                   72 + 40 * (r - 1), 169, 33, 18.0);
        auto& box = form.Add<TextBox>("NameText" + std::to_string(i), 232, 72 + 40 * (r - 1), 209,
                                      r <= 2 ? 29 : 25);
        box.SetText("Text1");
        box.SetFont(Font{15.75, true});
        box.SetForeColor(kYellow);
        box.SetBackColor(kBlack);
        box.SetAlignment(Align::Centre);
        // Only the box of a new entry is ever opened for typing.
        box.SetEnabled(false);
        NameText[i] = &box;
    }
    Label12 = TableLabel(form, "Label12", "Press ESC - Exit High Score", 8, 472, 449, 41, 21.75);
}

void ScoreFormLoad() {
    ScoreWindow& w = ScoreForm();
    for (int k = 1; k <= kHighScoreRanks; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        w.ScoreLabel[i]->SetCaption(std::to_string(G.HighScores[k]));
        w.NameText[i]->SetText(G.HighNames[k]);
    }
    w.form.Show();
    w.Picture1->SetFocus();
}

void NameTextKeyDown(int index, int key) {
    if (index != G.NewEntryRank - 1 || key != VK_RETURN) return;
    TextBox* box = EntryBox();
    if (box == nullptr) return;
    G.HighNames[G.NewEntryRank] = box->Text();
    box->SetEnabled(false);
    ScoreForm().Picture1->SetFocus();
}

bool ScorePictureKeyDown(int key) {
    if (key != VK_ESCAPE) return false;
    ScoreForm().form.Unload();
    return true;
}

void ScoreFormUnload() {
    // However the window closes (Esc, its close box, the end of the program),
    // the entry is over: a name being typed is kept and its box locked.
    KeepTypedName();
    if (TextBox* box = EntryBox()) box->SetEnabled(false);
    SaveHighScores();
    // Without this, closing the window with its close box would leave no
    // window with the focus, and the command keys would go nowhere.
    DisplayForm().form.SetFocus();
}

void SaveHighScoresWithoutWindows() {
    if (current == nullptr || !current->form.Loaded()) return;
    KeepTypedName();
    const std::string problem = SaveHighScoresQuietly();
    if (!problem.empty()) std::fprintf(stderr, "vorlax: %s\n", problem.c_str());
}

void CloseScoreFormAtProgramEnd() {
    ScoreWindow& w = ScoreForm();
    if (w.form.Loaded()) w.form.Unload();
}

}  // namespace vorlax
