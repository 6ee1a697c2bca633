// Bitmap fonts without OpenGL: the SGI decoder and the mask rule.
#include "tests/font/font_files.h"

#include <algorithm>

namespace {

constexpr size_t SGI_TYPE = 2, SGI_WIDTH = 6, SGI_HEIGHT = 8, SGI_CHANNELS = 10, SGI_TABLES = 512;

// The file with a big-endian field of size bytes at at set to value.
bytes with_be(bytes file, size_t at, int size, uint32_t value)
{
  for (int i = size - 1; i >= 0; i--, value >>= 8)
    file[at + i] = (uint8_t)value;
  return file;
}

int varied(int x, int y, int c) { return (x * 37 + y * 11 + c * 71 + 5) & 0xFF; }

// A run-length file with the given packed rows in table order (row + channel * height).
bytes hand_packed_sgi(int width, int height, int channels, const std::vector<bytes> &rows)
{
  bytes file = sgi_encode(make_picture(width, height, channels, true, varied));
  file.resize(SGI_TABLES + 8 * rows.size());
  for (size_t i = 0; i < rows.size(); i++) {
    file = with_be(file, SGI_TABLES + 4 * i, 4, (uint32_t)file.size());
    file = with_be(file, SGI_TABLES + 4 * (rows.size() + i), 4, (uint32_t)rows[i].size());
    file.insert(file.end(), rows[i].begin(), rows[i].end());
  }
  return file;
}

}  // namespace

TEST(SgiDecode, ChannelRulesAndBottomRowFirst)
{
  // For 0..5 channels, the stored channel that gives red, green, blue, alpha (-1: opaque).
  // A picture that says 0 channels holds one, as a flat SGI picture may.
  const int sources[6][4] = {{0, 0, 0, -1}, {0, 0, 0, -1}, {0, 0, 0, 1},
                             {0, 1, 2, -1}, {0, 1, 2, 3},  {0, 1, 2, 3}};
  for (int channels = 0; channels <= 5; channels++)
    for (bool run_length : {false, true}) {
      bytes want;
      for (int y = 0; y < 2; y++)  // stored row 0 comes first
        for (int x = 0; x < 3; x++)
          for (int source : sources[channels])
            want.push_back(source < 0 ? 255 : varied(x, y, source));
      bytes file = sgi_encode(make_picture(3, 2, std::max(channels, 1), run_length, varied));
      EXPECT_EQ(decode_sgi(with_be(file, SGI_CHANNELS, 2, channels)), want)
          << channels << " channels, run length " << run_length;
    }
}

TEST(SgiRunLength, UnpacksCopiesAndRepeats)
{
  // Rows bottom first; the bytes of an earlier, longer row stay in the reader's row buffer.
  const struct { const char *name; std::vector<bytes> rows; bytes grey; } cases[] = {
      {"copy then repeat", {{0x83, 10, 20, 30, 0x02, 40, 0x00}}, {10, 20, 30, 40, 40}},
      {"short row ends in black", {{0x02, 90, 0x00}}, {90, 90, 0, 0}},
      {"no end mark at the last byte", {{0x03, 77}}, {77, 77, 77}},
      {"a row's end after a longer row", {{0x83, 10, 20, 30}, {0x03, 40}}, {10, 20, 30, 40, 40, 40}},
  };
  for (const auto &c : cases) {
    bytes want;
    for (uint8_t g : c.grey)
      want.insert(want.end(), {g, g, g, 255});
    int width = (int)(c.grey.size() / c.rows.size());
    EXPECT_EQ(decode_sgi(hand_packed_sgi(width, (int)c.rows.size(), 1, c.rows)), want) << c.name;
  }
}

TEST(SgiDecode, RefusesDamagedFilesAndAcceptsTheLimits)
{
  bytes plain = sgi_encode(make_picture(7, 5, 3, false, varied));
  bytes packed = sgi_encode(make_picture(7, 5, 3, true, varied));
  bytes two_rows = hand_packed_sgi(3, 2, 1, {{0x03, 1, 0}, {0x03, 2, 0}});
  // Width 1 gives a 256-byte scratch for a packed row.
  bytes full_scratch = with_be(bytes(256, 0), 0, 1, 1);
  bytes over_scratch = with_be(bytes(257, 0), 0, 1, 1);
  auto cut = [](bytes file, size_t length) { file.resize(length); return file; };
  bytes huge = with_be(with_be(with_be(plain, SGI_CHANNELS, 2, 4), SGI_WIDTH, 2, 4096),
                       SGI_HEIGHT, 2, 4096);
  const struct { const char *what; bytes file; bool ok; } cases[] = {
      {"sound plain file", plain, true},
      {"sound run-length file", packed, true},
      {"two bytes a channel", with_be(plain, SGI_TYPE, 2, 0x0002), false},
      {"five channels claimed over three planes", with_be(plain, SGI_CHANNELS, 2, 5), false},
      {"no channels over a plane cut short", with_be(cut(plain, SGI_TABLES + 7 * 5 - 1), SGI_CHANNELS, 2, 0), false},
      {"no channels over row tables cut short", with_be(cut(two_rows, SGI_TABLES + 15), SGI_CHANNELS, 2, 0),
       false},
      {"width 0", with_be(plain, SGI_WIDTH, 2, 0), false},
      {"width 4097", sgi_encode(make_picture(4097, 1, 1, false, varied)), false},
      {"height 0", with_be(plain, SGI_HEIGHT, 2, 0), false},
      {"height 4097", sgi_encode(make_picture(1, 4097, 1, false, varied)), false},
      {"largest sizes over no data, plain", huge, false},
      {"largest sizes over no data, run-length", with_be(huge, SGI_TYPE, 2, 0x0101), false},
      {"empty file", {}, false},
      {"header cut short", cut(plain, 11), false},
      {"planes cut short", cut(plain, plain.size() - 1), false},
      {"run-length rows cut short", cut(packed, packed.size() - 1), false},
      {"row tables cut short", cut(two_rows, SGI_TABLES + 15), false},
      {"row offset at the end", with_be(two_rows, SGI_TABLES + 4, 4, two_rows.size() - 1), false},
      {"row offset far outside", with_be(two_rows, SGI_TABLES + 4, 4, 0xFFFFFFF0u), false},
      {"repeat past the width", hand_packed_sgi(4, 1, 1, {{0x05, 1, 0x00}}), false},
      {"copy past the width", hand_packed_sgi(2, 1, 1, {{0x82, 1, 2, 0x81, 3, 0x00}}), false},
      {"copy cut short by the row length", hand_packed_sgi(8, 1, 1, {{0x85, 1, 2}}), false},
      {"repeat without its byte", hand_packed_sgi(8, 1, 1, {{0x04}}), false},
      {"row as long as the scratch", hand_packed_sgi(1, 1, 1, {full_scratch}), true},
      {"row longer than the scratch", hand_packed_sgi(1, 1, 1, {over_scratch}), false},
  };
  for (const auto &c : cases)
    EXPECT_EQ(!decode_sgi(c.file).empty(), c.ok) << c.what;
}

TEST(BitmapMask, BlackTurnsWhiteAndAnyColourBlack)
{
  // Black gives white whatever its alpha; any colour gives black; alpha is 0.
  const unsigned char picture[] = {0, 0, 0, 200, 0, 0, 0, 0, 1, 0, 0, 0,
                                   0, 1, 0, 255, 0, 0, 1, 9, 255, 255, 255, 255};
  unsigned char *mask = bitmap_make_mask(picture, 3, 2);
  EXPECT_EQ(bytes(mask, mask + 24), (bytes{255, 255, 255, 0, 255, 255, 255, 0, 0, 0, 0, 0,
                                           0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
  std::free(mask);
}
