// The editor's view of the level: the game's own renderer seen from an
// editing camera that orbits the cursor (or from the game's camera presets),
// with the cursor, the selection, the start, the enemies' directions, the
// drops and the checker's cells marked over it. Internal to the editor.
#pragma once

#include "editor/edit_model.h"

// The camera the view is seen from.
constexpr int EDITING_CAMERA = -1;  // else a preset of the game, 0..3

struct editor_camera {
  int preset;       // EDITING_CAMERA, or the game's preset seen from the cursor cell
  int yaw;          // degrees: the way the view looks; 0 looks along +x, as the hero starts
  int pitch;        // degrees the editing camera looks down
  float distance;   // world units from the editing camera to the cursor
};

// The editing camera behind the cursor, looking along +x, as the hero starts.
editor_camera default_camera();
// Turns the view about the cursor by degrees (to the left for positive).
void orbit_camera(editor_camera &camera, int degrees);
// Looks down more (positive degrees) or less, within the camera's limits.
void tilt_camera(editor_camera &camera, int degrees);
// Comes closer (zoom_in) or goes further, within the camera's limits.
void zoom_camera(editor_camera &camera, bool zoom_in);
// The grid step of the cursor for a move forward (+1) or back (-1), or to
// the left (+1) or right (-1), as the view looks: along the grid axis
// nearest the view's heading.
grid_point view_step(const editor_camera &camera, int forward, int left);

// Puts the level into the world state that the renderer draws, through the
// map loader (enemies on their cells' heights, drops laid out).
void show_level(const level_data &level);
// Draws the level and its marks from the camera into the back buffer.
void draw_editor_view(const edit_model &model, const editor_camera &camera);
