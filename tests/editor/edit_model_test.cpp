// The editing model: cells, selections, enemies, undo and redo, and the
// checker's verdict after every change, on the level in memory.
#include <gtest/gtest.h>
#include "editor/edit_model.h"
#include "editor/edit_view.h"

#include <cmath>
#include <cstdlib>
#include <functional>

namespace {

float height_at(const edit_model &model, int x, int y) { return cell_height(model.level.cells[x][y]); }

edit_model fresh_model()
{
  edit_model model;
  start_editing(model, new_level("Test"));
  return model;
}

// Puts the cursor on (x, y) without a selection.
void go_to(edit_model &model, int x, int y)
{
  move_cursor(model, x - model.cursor.x, y - model.cursor.y, false);
}

// Selects the rectangle from (x0, y0) to (x1, y1), the cursor ending on (x1, y1).
void select(edit_model &model, int x0, int y0, int x1, int y1)
{
  go_to(model, x0, y0);
  move_cursor(model, x1 - x0, y1 - y0, true);
}

}  // namespace

// Heights step to the next tenth and land on the float the text would read.
TEST(EditModel, HeightsStepByTenthsToTheDecimalsTheTextWrites)
{
  struct step_case {
    float from;
    int tenths;
    const char *to;
  } cases[] = {
      {0.0f, 1, "0.1"},     {0.3f, 1, "0.4"},   {0.7f, -1, "0.6"},    {0.1f, -1, "0"},
      {2.25f, 1, "2.3"},    {2.25f, -1, "2.2"}, {0.3f, 5, "0.8"},     {-0.2f, -5, "-0.7"},
      {99.95f, 1, "100"},   {100.0f, 5, "100"}, {-100.0f, -1, "-100"}, {NAN, 1, "0.1"},
  };
  for (const step_case &c : cases) {
    float expected = std::strtof(c.to, nullptr);
    EXPECT_EQ(height_bits_of(stepped_height(c.from, c.tenths)), height_bits_of(expected))
        << c.from << " by " << c.tenths << " tenths";
  }
}

// Each change applies to the selection (or the cursor's cell) as one step.
TEST(EditModel, ChangesApplyToTheSelectionOrTheCursorCell)
{
  struct edit_case {
    const char *name;
    std::function<void(edit_model &)> edit;
    std::function<bool(const edit_model &)> holds;
  } cases[] = {
      {"a kind over a rectangle",
       [](edit_model &m) { select(m, 5, 5, 7, 6); step_kind(m, 1); step_kind(m, 1); step_kind(m, 1); },
       [](const edit_model &m) {
         for (int x = 4; x <= 8; x++)
           for (int y = 4; y <= 7; y++)
             if ((m.level.cells[x][y].kind == KIND_METAL) != (x >= 5 && x <= 7 && y >= 5 && y <= 6))
               return false;
         return m.undo_steps.size() == 3;
       }},
      {"kinds cycle back past the first",
       [](edit_model &m) { go_to(m, 5, 5); step_kind(m, -1); },
       [](const edit_model &m) { return m.level.cells[5][5].kind == KIND_ENEMY_SKIN; }},
      {"one height for the whole selection, from the cursor cell's",
       [](edit_model &m) {
         go_to(m, 6, 6);
         step_height(m, LARGE_HEIGHT_STEP);
         select(m, 6, 6, 5, 5);
         step_height(m, SMALL_HEIGHT_STEP);
       },
       [](const edit_model &m) {
         return height_at(m, 5, 5) == 0.1f && height_at(m, 6, 6) == 0.1f && height_at(m, 5, 6) == 0.1f;
       }},
      {"drops on all, when some lack one",
       [](edit_model &m) { go_to(m, 5, 5); toggle_drops(m); select(m, 5, 5, 5, 6); toggle_drops(m); },
       [](const edit_model &m) {
         return m.level.cells[5][5].drop_marker == DROP_MARKER_DROP &&
                m.level.cells[5][6].drop_marker == DROP_MARKER_DROP && m.summary.drops == 3;
       }},
      {"drops off all, when all have one",
       [](edit_model &m) { select(m, 5, 5, 5, 6); toggle_drops(m); toggle_drops(m); },
       [](const edit_model &m) { return m.level.cells[5][6].drop_marker == DROP_MARKER_NONE && m.summary.drops == 1; }},
      {"an enemy turns left a quarter at a time, round to +x",
       [](edit_model &m) { go_to(m, 9, 9); add_enemy(m); for (int i = 0; i < 5; i++) turn_enemy(m); },
       [](const edit_model &m) { return m.level.enemy_count == 1 && m.level.enemies[0].direction == TOWARD_PLUS_Y; }},
      {"at most ten enemies, one a cell",
       [](edit_model &m) {
         for (int i = 0; i < 12; i++) { go_to(m, 5 + i, 9); add_enemy(m); }
         go_to(m, 5, 9);
         add_enemy(m);
       },
       [](const edit_model &m) { return m.level.enemy_count == MAX_ENEMIES && enemy_on(m.level, 15, 9) < 0; }},
      {"removing an enemy renumbers those after it",
       [](edit_model &m) {
         for (int y = 5; y <= 7; y++) { go_to(m, 9, y); add_enemy(m); }
         go_to(m, 9, 6);
         remove_enemy(m);
       },
       [](const edit_model &m) { return m.level.enemy_count == 2 && enemy_on(m.level, 9, 7) == 1; }},
      {"a name is trimmed, and a blank one refused",
       [](edit_model &m) { rename_level(m, "  Summit  "); rename_level(m, "   "); },
       [](const edit_model &m) { return m.level.name == "Summit" && m.undo_steps.size() == 1; }},
      {"moving without Shift drops the selection",
       [](edit_model &m) { select(m, 3, 3, 5, 5); move_cursor(m, 1, 0, false); step_kind(m, 1); },
       [](const edit_model &m) { return m.level.cells[6][5].kind == KIND_STONE_FLOOR && m.level.cells[4][4].kind == KIND_GRASS; }},
      {"a change to nothing new is no step",
       [](edit_model &m) { go_to(m, 5, 5); step_height(m, -SMALL_HEIGHT_STEP); place_start(m); place_start(m); },
       [](const edit_model &m) { return height_at(m, 5, 5) == -0.1f && m.undo_steps.size() == 2; }},
  };
  for (const edit_case &c : cases) {
    edit_model model = fresh_model();
    c.edit(model);
    EXPECT_TRUE(c.holds(model)) << c.name;
  }
}

// The checker runs after every change, and its messages name the cells the
// editor marks; undo takes a message back with its cause.
TEST(EditModel, TheCheckerJudgesEveryChangeAndNamesItsCell)
{
  struct finding_case {
    const char *name;
    std::function<void(edit_model &)> edit;
    grid_point cell;
    bool is_error;
  } cases[] = {
      {"lava under the start",
       [](edit_model &m) { for (int i = 0; i < 4; i++) step_kind(m, 1); }, {3, 12}, true},
      {"a gap in the wall",
       [](edit_model &m) { go_to(m, 0, 9); for (int i = 0; i < 8; i++) step_height(m, -LARGE_HEIGHT_STEP); },
       {0, 9}, true},
      {"a drop out of reach",
       [](edit_model &m) { go_to(m, 20, 20); toggle_drops(m); for (int i = 0; i < 5; i++) step_height(m, LARGE_HEIGHT_STEP); },
       {20, 20}, false},
      {"an enemy on the start",
       [](edit_model &m) { add_enemy(m); }, {3, 12}, true},
  };
  for (const finding_case &c : cases) {
    edit_model model = fresh_model();
    c.edit(model);
    ASSERT_EQ(model.findings.size(), 1u) << c.name;
    EXPECT_EQ(std::make_pair(model.findings[0].cell.x, model.findings[0].cell.y), std::make_pair(c.cell.x, c.cell.y))
        << c.name;
    EXPECT_EQ(model.findings[0].is_error, c.is_error) << c.name << ": " << model.findings[0].message;
    while (undo(model) != "nothing to undo")
      ;
    EXPECT_TRUE(model.findings.empty()) << c.name << ": undone, yet " << model.findings[0].message;
  }
}

TEST(EditModel, UndoKeepsTheLastStepsAndRedoWhatWasUndone)
{
  edit_model model = fresh_model();
  go_to(model, 5, 5);
  const int changes = (int)MAX_UNDO_STEPS + 44;
  for (int i = 0; i < changes; i++)
    step_height(model, SMALL_HEIGHT_STEP);
  EXPECT_TRUE(unsaved_changes(model));
  int undone = 0;
  while (undo(model) != "nothing to undo")
    undone++;
  EXPECT_EQ(undone, (int)MAX_UNDO_STEPS);
  EXPECT_FLOAT_EQ(height_at(model, 5, 5), 4.4f);  // the oldest 44 are forgotten
  int redone = 0;
  while (redo(model) != "nothing to redo")
    redone++;
  EXPECT_EQ(redone, (int)MAX_UNDO_STEPS);
  EXPECT_FLOAT_EQ(height_at(model, 5, 5), changes / 10.0f);

  // A new change after an undo makes the undone one impossible to redo.
  undo(model);
  step_kind(model, 1);
  EXPECT_EQ(redo(model), "nothing to redo");

  // Unsaved changes are those the file lacks: undone back to it, none.
  mark_saved(model);
  toggle_drops(model);
  EXPECT_TRUE(unsaved_changes(model));
  undo(model);
  EXPECT_FALSE(unsaved_changes(model));
}

// The arrows move the cursor as the view looks: along the grid axis nearest
// the view's heading, and to its left.
TEST(EditView, ArrowsFollowTheView)
{
  struct arrow_case {
    int yaw, forward, left;
    grid_point step;
  } cases[] = {
      {0, 1, 0, {1, 0}},    {0, 0, 1, {0, 1}},   {90, 1, 0, {0, 1}},  {90, 0, -1, {1, 0}},
      {180, -1, 0, {1, 0}}, {270, 1, 0, {0, -1}}, {44, 1, 0, {1, 0}}, {46, 1, 0, {0, 1}},
      {345, 0, 1, {0, 1}},
  };
  for (const arrow_case &c : cases) {
    editor_camera camera = default_camera();
    orbit_camera(camera, c.yaw);
    grid_point step = view_step(camera, c.forward, c.left);
    EXPECT_EQ(std::make_pair(step.x, step.y), std::make_pair(c.step.x, c.step.y)) << "yaw " << c.yaw;
  }
}
