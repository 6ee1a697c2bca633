// The SGI picture decoder and the BMF reader without OpenGL: channel rules,
// row order, run-length rows, damaged files, the writer and the mask rule.
#include "font_files.h"

#include "font/bmf_image.h"

#include <gtest/gtest.h>
#include <cstring>

namespace {

// A value for every (x, y, channel) that differs between neighbours.
int varied(int x, int y, int c) { return (x * 37 + y * 11 + c * 71 + 5) & 0xFF; }

}  // namespace

TEST(SgiDecode, ChannelRulesAndBottomRowFirst)
{
  // For 1..4 channels, the stored channel that gives red, green, blue, alpha (-1: opaque).
  const int sources[5][4] = {{}, {0, 0, 0, -1}, {0, 0, 0, 1}, {0, 1, 2, -1}, {0, 1, 2, 3}};
  for (int channels = 1; channels <= 4; channels++)
    for (bool run_length : {false, true}) {
      decoded_picture decoded =
          decode_sgi(sgi_encode(make_picture(3, 2, channels, run_length, varied)));
      ASSERT_TRUE(decoded.ok) << channels << " channels, run length " << run_length;
      EXPECT_EQ(decoded.channels, channels);
      ASSERT_EQ(decoded.width * decoded.height, 6);
      for (int y = 0; y < 2; y++)  // y from the bottom: stored row 0 comes first
        for (int x = 0; x < 3; x++) {
          bytes want;
          for (int source : sources[channels])
            want.push_back(source < 0 ? 255 : (uint8_t)varied(x, y, source));
          EXPECT_EQ(pixel_at(decoded, x, y), want) << x << "," << y << " of " << channels;
        }
    }
}

TEST(SgiRunLength, UnpacksCopiesAndRepeats)
{
  const struct {
    int width;
    bytes row, grey;
  } cases[] = {
      {5, {0x83, 10, 20, 30, 0x02, 40, 0x00}, {10, 20, 30, 40, 40}},
      {4, {0x02, 90, 0x00}, {90, 90, 0, 0}},  // a short row ends in black
      {3, {0x03, 77}, {77, 77, 77}},          // no end mark at the row's last byte
  };
  for (const auto &c : cases) {
    decoded_picture decoded = decode_sgi(hand_packed_sgi(c.width, 1, 1, {c.row}));
    ASSERT_TRUE(decoded.ok) << c.width;
    for (int x = 0; x < c.width; x++)
      EXPECT_EQ(pixel_at(decoded, x, 0), (bytes{c.grey[x], c.grey[x], c.grey[x], 255})) << x;
  }
}

TEST(SgiDecode, RefusesDamagedFilesAndAcceptsTheLimits)
{
  bytes plain = sgi_encode(make_picture(7, 5, 3, false, varied));
  bytes packed = sgi_encode(make_picture(7, 5, 3, true, varied));
  bytes two_rows = hand_packed_sgi(3, 2, 1, {{0x03, 1, 0}, {0x03, 2, 0}});
  bytes full_scratch(256, 0);  // width 1 gives a 256-byte scratch for a packed row
  full_scratch[0] = 0x01;
  bytes over_scratch = full_scratch;
  over_scratch.push_back(0);
  auto field = [](size_t at, uint32_t value, bytes file) {
    set_be16(file, at, value);
    return file;
  };
  auto offset = [](uint32_t row_1_start, bytes file) {
    set_be32(file, SGI_TABLES + 4, row_1_start);
    return file;
  };
  auto cut = [](bytes file, size_t length) { file.resize(length); return file; };
  bytes huge = field(SGI_WIDTH, 4096, field(SGI_HEIGHT, 4096, field(SGI_CHANNELS, 4, plain)));
  const struct {
    const char *what;
    bytes file;
    bool ok;
  } cases[] = {
      {"sound plain file", plain, true},
      {"sound run-length file", packed, true},
      {"two bytes a channel", field(SGI_TYPE, 0x0002, plain), false},
      {"no bytes a channel", field(SGI_TYPE, 0x0000, plain), false},
      {"no channels", field(SGI_CHANNELS, 0, plain), false},
      {"five channels", field(SGI_CHANNELS, 5, plain), false},
      {"width 0", field(SGI_WIDTH, 0, plain), false},
      {"width 4097", sgi_encode(make_picture(4097, 1, 1, false, varied)), false},
      {"height 0", field(SGI_HEIGHT, 0, plain), false},
      {"height 4097", sgi_encode(make_picture(1, 4097, 1, false, varied)), false},
      {"largest sizes over no data, plain", huge, false},
      {"largest sizes over no data, run-length", field(SGI_TYPE, 0x0101, huge), false},
      {"empty file", {}, false},
      {"header cut short", cut(plain, 11), false},
      {"planes cut short", cut(plain, plain.size() - 1), false},
      {"run-length rows cut short", cut(packed, packed.size() - 1), false},
      {"row tables cut short", cut(two_rows, SGI_TABLES + 15), false},
      {"row offset at the last byte", offset((uint32_t)two_rows.size() - 1, two_rows), false},
      {"row offset far outside", offset(0xFFFFFFF0u, two_rows), false},
      {"repeat past the width", hand_packed_sgi(4, 1, 1, {{0x05, 1, 0x00}}), false},
      {"copy past the width", hand_packed_sgi(2, 1, 1, {{0x82, 1, 2, 0x81, 3, 0x00}}), false},
      {"copy cut short by the row length", hand_packed_sgi(8, 1, 1, {{0x85, 1, 2}}), false},
      {"repeat without its byte", hand_packed_sgi(8, 1, 1, {{0x04}}), false},
      {"row as long as the scratch", hand_packed_sgi(1, 1, 1, {full_scratch}), true},
      {"row longer than the scratch", hand_packed_sgi(1, 1, 1, {over_scratch}), false},
  };
  for (const auto &c : cases)
    EXPECT_EQ(decode_sgi(c.file).ok, c.ok) << c.what;
}

TEST(SgiEncode, SplitsLongRunsAtTheLargestWidth)
{
  // Runs of 300 equal bytes, then a stretch without repeats: both need
  // several control bytes, and must decode as the plain file does.
  sgi_picture picture = make_picture(4096, 2, 2, true, [](int x, int y, int c) {
    return x < 2048 ? x / 300 + c : (x * 7 + y) & 0xFF;
  });
  sgi_picture plain = picture;
  plain.run_length = false;
  bytes packed = sgi_encode(picture);
  EXPECT_LT(packed.size(), sgi_encode(plain).size());
  decoded_picture decoded = decode_sgi(packed);
  ASSERT_TRUE(decoded.ok);
  EXPECT_EQ(decoded.rgba, decode_sgi(sgi_encode(plain)).rgba);

  picture.planes.pop_back();
  EXPECT_TRUE(sgi_encode(picture).empty()) << "planes that do not match the sizes";
  EXPECT_TRUE(sgi_encode(make_picture(0, 3, 1, false, varied)).empty()) << "width 0";
}

TEST(BmfRead, ReadsLittleEndianGlyphsAndThePictureAfterThem)
{
  bitmap_glyph_rect written[BMF_GLYPH_COUNT], read[BMF_GLYPH_COUNT];
  for (int code = 0; code < BMF_GLYPH_COUNT; code++)
    written[code] = {code / 256.0f, 0.5f, -1.5f, 1e-3f * code};
  bytes image = sgi_encode(make_picture(5, 4, 3, true, varied));
  bytes file = bmf_encode("test font", written, image);
  ASSERT_EQ(file.size(), 4195u + image.size());
  EXPECT_EQ(std::memcmp(file.data(), "BMFtest font", 13), 0);
  // Record 0 is (0, 0.5, -1.5, 0): 0.5f is 0x3F000000, -1.5f 0xBFC00000.
  const uint8_t record[16] = {0, 0, 0, 0, 0, 0, 0, 0x3F, 0, 0, 0xC0, 0xBF, 0, 0, 0, 0};
  EXPECT_EQ(std::memcmp(file.data() + 99, record, sizeof record), 0);

  FILE *stream = fmemopen(file.data(), file.size(), "rb");
  ASSERT_NE(stream, nullptr);
  int width = 0, height = 0;
  unsigned char *pixels = bmf_read_font(stream, read, &width, &height);
  std::fclose(stream);
  ASSERT_NE(pixels, nullptr);
  EXPECT_EQ(std::memcmp(read, written, sizeof read), 0);
  decoded_picture alone = decode_sgi(image);
  ASSERT_EQ(width * height, 20);
  EXPECT_EQ(bytes(pixels, pixels + 80), alone.rgba);
  std::free(pixels);
}

TEST(BitmapMask, BlackTurnsWhiteAndAnyColourBlack)
{
  // Black gives white whatever its alpha; any colour gives black; alpha is 0.
  const unsigned char picture[] = {0, 0, 0, 200, 0, 0, 0, 0, 1, 0, 0, 0,
                                   0, 1, 0, 255, 0, 0, 1, 9, 255, 255, 255, 255};
  const unsigned char shade[] = {255, 255, 0, 0, 0, 0};
  unsigned char *mask = bitmap_make_mask(picture, 3, 2);
  ASSERT_NE(mask, nullptr);
  for (int i = 0; i < 6; i++)
    EXPECT_EQ(bytes(mask + 4 * i, mask + 4 * i + 4), (bytes{shade[i], shade[i], shade[i], 0}))
        << i;
  std::free(mask);
}
