// Library options and settings, and the arithmetic of string layout and
// string bounds, checked without drawing.
#include "font_files.h"
#include "font/vector_internal.h"

#include <gtest/gtest.h>

namespace {

constexpr uint8_t HIGH_CODE = 0xE9;  // a code that is negative as a signed char

// A font whose symbols have known boxes: S right edge 0.8, N left edge -0.6.
class LayoutTest : public ::testing::Test {
 protected:
  void SetUp() override
  {
    font_init();
    slot = vector_font_load(write_font(folder, "layout.glf",
                                       {box_symbol('S', -0.5f, 0.8f, -0.5f, 0.5f),
                                        box_symbol('N', -0.6f, 0.7f, -1.0f, 0.25f),
                                        box_symbol('O', -0.7f, 0.7f, -1.0f, 1.0f),
                                        box_symbol(HIGH_CODE, -0.25f, 0.5f, 0, 1)}).c_str());
    ASSERT_EQ(slot, 0);
    font = vector_font_get(slot);
  }
  void TearDown() override { font_shutdown(); }

  float advance(const char *text, int index) { return vector_layout_advance(font, text, index); }

  temp_folder folder;
  int slot = -1;
  const vector_font *font = nullptr;
};

}  // namespace

// ---- Options and settings -------------------------------------------------------------

TEST(FontOptions, InitTurnsCursorOnAndTheOthersOff)
{
  font_option_enable(FONT_OPTION_MESSAGES);
  font_option_enable(FONT_OPTION_TEXTURING);
  font_option_enable(FONT_OPTION_CONTOURING);
  font_option_disable(FONT_OPTION_CURSOR);
  font_init();
  EXPECT_EQ(font_option_messages, FONT_OPTION_OFF);
  EXPECT_EQ(font_option_texturing, FONT_OPTION_OFF);
  EXPECT_EQ(font_option_contouring, FONT_OPTION_OFF);
  EXPECT_EQ(font_option_cursor, FONT_OPTION_ON);
  font_shutdown();
}

TEST(FontOptions, EachCodeSwitchesItsOwnOptionAndUnknownCodesNothing)
{
  font_init();
  uint8_t *options[] = {&font_option_messages, &font_option_texturing, &font_option_contouring,
                        &font_option_cursor};
  int codes[] = {FONT_OPTION_MESSAGES, FONT_OPTION_TEXTURING, FONT_OPTION_CONTOURING,
                 FONT_OPTION_CURSOR};
  for (int i = 0; i < 4; i++) {
    uint8_t before[4];
    for (int j = 0; j < 4; j++)
      before[j] = *options[j];
    font_option_enable(codes[i]);
    EXPECT_EQ(*options[i], FONT_OPTION_ON);
    font_option_disable(codes[i]);
    EXPECT_EQ(*options[i], FONT_OPTION_OFF);
    for (int j = 0; j < 4; j++) {
      if (j != i) {
        EXPECT_EQ(*options[j], before[j]) << "code " << codes[i] << " touched option " << j;
      }
    }
  }
  for (int code : {13, 9, 29, 31, 0, -1}) {
    font_option_enable(code);
    font_option_disable(code);
  }
  EXPECT_EQ(font_option_messages, FONT_OPTION_OFF);
  EXPECT_EQ(font_option_texturing, FONT_OPTION_OFF);
  EXPECT_EQ(font_option_contouring, FONT_OPTION_OFF);
  EXPECT_EQ(font_option_cursor, FONT_OPTION_OFF);
  font_shutdown();
}

TEST(VectorSettings, DefaultsAndSettersRoundTrip)
{
  font_init();
  EXPECT_FLOAT_EQ(vector_get_symbol_spacing(), 0.2f);
  EXPECT_FLOAT_EQ(vector_get_space_size(), 2.0f);
  EXPECT_FLOAT_EQ(vector_get_symbol_depth(), 0.2f);
  EXPECT_EQ(vector_get_anchor(), 24);
  vector_set_symbol_spacing(-3.5f);
  vector_set_space_size(0.0f);
  vector_set_symbol_depth(7.25f);
  EXPECT_EQ(vector_get_symbol_spacing(), -3.5f);
  EXPECT_EQ(vector_get_space_size(), 0.0f);
  EXPECT_EQ(vector_get_symbol_depth(), 7.25f);
  vector_set_contour_color(0.1f, 0.2f, 0.3f, 0.4f);
  EXPECT_EQ(contour_color[2], 0.3f);
  font_init();
  EXPECT_EQ(contour_color[0], 0.0f);
  EXPECT_EQ(contour_color[3], 0.0f);
  // These survive font_init: only program start sets them.
  EXPECT_EQ(vector_get_symbol_spacing(), -3.5f);
  vector_set_symbol_spacing(0.2f);
  vector_set_space_size(2.0f);
  vector_set_symbol_depth(0.2f);
  font_shutdown();
}

TEST(VectorSettings, AnchorStoresOnly20To28)
{
  font_init();
  vector_set_anchor(19);
  EXPECT_EQ(vector_get_anchor(), 24);
  vector_set_anchor(29);
  EXPECT_EQ(vector_get_anchor(), 24);
  vector_set_anchor(28);
  EXPECT_EQ(vector_get_anchor(), 28);
  vector_set_anchor(20);
  EXPECT_EQ(vector_get_anchor(), 20);
  vector_set_anchor(24 + 256);  // would wrap to 24 in a byte
  EXPECT_EQ(vector_get_anchor(), 20);
  font_init();
  EXPECT_EQ(vector_get_anchor(), 24);
  font_shutdown();
}

// ---- Layout -----------------------------------------------------------------------

TEST_F(LayoutTest, NeighboursAreSpacedFromTheirBoxes)
{
  EXPECT_FLOAT_EQ(advance("SN", 0), 1.6f);  // 0.8 - (-0.6) + 0.2
  EXPECT_FLOAT_EQ(advance("SN", 1), 0.0f);  // the last symbol moves nothing
  vector_set_symbol_spacing(0.5f);
  EXPECT_FLOAT_EQ(advance("SN", 0), 1.9f);
  vector_set_symbol_spacing(0.2f);
}

TEST_F(LayoutTest, SpaceAddsSpacingThenSpaceSize)
{
  EXPECT_FLOAT_EQ(advance("S N", 0) + advance("S N", 1), 2.2f);
  EXPECT_FLOAT_EQ(advance("S N", 0), 0.2f);
  EXPECT_FLOAT_EQ(advance("S N", 1), 2.0f);
  EXPECT_FLOAT_EQ(advance(" ", 0), 2.0f);  // a space at the end still advances
}

TEST_F(LayoutTest, MissingSymbolAdvancesOnlyAfterItself)
{
  EXPECT_FLOAT_EQ(advance("S?N", 0), 0.0f);
  EXPECT_FLOAT_EQ(advance("S?N", 1), 2.0f);
  vector_set_space_size(3.0f);
  EXPECT_FLOAT_EQ(advance("S?N", 1), 3.0f);
  vector_set_space_size(2.0f);
}

TEST_F(LayoutTest, CodesAbove127AreLookedUpAsUnsignedBytes)
{
  const char text[] = {'S', (char)HIGH_CODE, 'N', 0};
  EXPECT_FLOAT_EQ(advance(text, 0), 0.8f + 0.25f + 0.2f);
  EXPECT_FLOAT_EQ(advance(text, 1), 0.5f + 0.6f + 0.2f);
}

// ---- Bounds -----------------------------------------------------------------------

TEST_F(LayoutTest, OneSymbolBounds)
{
  float min_x, min_y, max_x, max_y;
  vector_string_bounds(slot, "O", &min_x, &min_y, &max_x, &max_y);
  EXPECT_FLOAT_EQ(min_x, -0.7f);
  EXPECT_FLOAT_EQ(min_y, -1.0f);
  EXPECT_FLOAT_EQ(max_x, 0.9f);
  EXPECT_FLOAT_EQ(max_y, 1.0f);
}

TEST_F(LayoutTest, BoundsAddWidthsSpacesAndMissingSymbols)
{
  float min_x, min_y, max_x, max_y;
  vector_current_string_bounds("S N?", &min_x, &min_y, &max_x, &max_y);
  EXPECT_FLOAT_EQ(min_x, -0.5f);
  // S 1.3 + 0.2, space 2.0, N 1.3 + 0.2, missing 2.0, from left -0.5.
  EXPECT_FLOAT_EQ(max_x, 1.5f + 2.0f + 1.5f + 2.0f - 0.5f);
  EXPECT_FLOAT_EQ(min_y, -1.0f);
  EXPECT_FLOAT_EQ(max_y, 0.5f);
}

TEST_F(LayoutTest, EmptyStringBoundsAreTheStartValues)
{
  float min_x = 5, min_y = 5, max_x = 5, max_y = 5;
  vector_string_bounds(slot, "", &min_x, &min_y, &max_x, &max_y);
  EXPECT_EQ(min_x, 0.0f);
  EXPECT_EQ(max_x, 0.0f);
  EXPECT_EQ(min_y, 10.0f);
  EXPECT_EQ(max_y, -10.0f);
}

TEST_F(LayoutTest, BoundsFillOnlyTheOutputsGiven)
{
  float max_x = 5;
  vector_string_bounds(slot, "O", nullptr, nullptr, &max_x, nullptr);
  EXPECT_FLOAT_EQ(max_x, 0.9f);
  vector_string_bounds(slot, "O", nullptr, nullptr, nullptr, nullptr);
}

TEST_F(LayoutTest, BoundsOfUnloadedOrInvalidFontTouchNothing)
{
  float min_x = 5, min_y = 6, max_x = 7, max_y = 8;
  for (int bad : {-1, 1, 256, 1000}) {
    vector_string_bounds(bad, "O", &min_x, &min_y, &max_x, &max_y);
    EXPECT_EQ(min_x, 5);
    EXPECT_EQ(min_y, 6);
    EXPECT_EQ(max_x, 7);
    EXPECT_EQ(max_y, 8);
  }
  vector_font_unload_current();
  vector_current_string_bounds("O", &min_x, &min_y, &max_x, &max_y);
  EXPECT_EQ(max_x, 7);
}

TEST_F(LayoutTest, AnchorMovesTheBoundsLikeTheDrawing)
{
  float min_x, min_y, max_x, max_y;
  int anchors[] = {20, 21, 22, 23, 24, 25, 26, 27, 28};
  float dx[] = {1, 1, 1, 0, 0, 0, 0, 0, 0};
  float dy[] = {-1, 0, 1, -1, 0, 1, 0, 0, 0};
  for (int i = 0; i < 9; i++) {
    vector_set_anchor(anchors[i]);
    vector_string_bounds(slot, "O", &min_x, &min_y, &max_x, &max_y);
    EXPECT_FLOAT_EQ(min_x, -0.7f + dx[i]) << anchors[i];
    EXPECT_FLOAT_EQ(max_x, 0.9f + dx[i]) << anchors[i];
    EXPECT_FLOAT_EQ(min_y, -1.0f + dy[i]) << anchors[i];
    EXPECT_FLOAT_EQ(max_y, 1.0f + dy[i]) << anchors[i];
  }
}
