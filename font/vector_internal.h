// Library-wide settings and the vector font table, shared by the units of the
// font library's vector side (state, fonts, drawing, console); also the
// pieces of layout and console logic that the tests check without OpenGL.
#pragma once

#include "font/font_internal.h"

// ---- Settings (font_state.cpp); written by font_init and the setters --------

extern uint8_t font_option_messages;    // vector font reader prints its errors
extern uint8_t font_option_texturing;   // solid mode emits texture coordinates
extern uint8_t font_option_contouring;  // solid and 3D-solid modes draw the outline
extern uint8_t font_option_cursor;      // console shows its blinking cursor
extern uint8_t text_anchor;             // VECTOR_ANCHOR_* code, 20..28
extern float symbol_spacing;
extern float space_size;
extern float symbol_depth;
extern float contour_color[4];          // red, green, blue, alpha

// Start values of a symbol's bounding box and of the string bounds' heights;
// a symbol without vertices keeps them.
constexpr float VECTOR_BOX_START_MIN = 10.0f;
constexpr float VECTOR_BOX_START_MAX = -10.0f;

// ---- Vector font table (vector_font.cpp); written by load and unload --------

extern vector_font *vector_font_table[FONT_SLOT_COUNT];
extern int vector_current_font;         // -1 = none

// font_init's part: every slot empty, no current font.
void vector_fonts_reset();
// font_shutdown's part: unloads slots 0 to 255 in turn.
void vector_fonts_unload_all();
// The current font's symbol for a code (taken as an unsigned byte), or null.
const vector_symbol *vector_current_symbol(int code);

// ---- Layout (vector_draw.cpp) ------------------------------------------------

// How far the string walker moves right after position index of text, laid
// out in font.
float vector_layout_advance(const vector_font *font, const char *text, int index);

// ---- Console (console.cpp) ----------------------------------------------------

constexpr int CONSOLE_ROW_BUFFER = CONSOLE_MAX_COLUMNS + 1;  // a row and its NUL

// font_shutdown's part: releases the buffer; the console has no size after it.
void console_release();
// Builds the text that console_draw draws for a row, including the cursor,
// and runs the blink counter when the row is the cursor row.
void console_compose_row(int row, char text[CONSOLE_ROW_BUFFER]);
// The cursor position and the console size, for the tests.
void console_get_cursor(int *column, int *row);
void console_get_size(int *columns, int *rows);
