// libFuzzer target: bytes as a level's text. The parser and the checker must
// take any text without a crash, and a level they accept must come back
// unchanged through the decompiler's text.
#include "level/level.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

level_data level, again;
level_sources sources;

void check(bool promise, const char *what)
{
  if (promise)
    return;
  std::fprintf(stderr, "level text reader broke its promise: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
  diagnostics messages;
  if (!parse_level_text(std::string((const char *)data, size), level, sources, messages))
    return 0;
  check_level(level, sources, messages);
  format_diagnostics("fuzz.level", messages);
  if (level.enemy_count > MAX_ENEMIES)
    return 0;
  diagnostics reread;
  check(parse_level_text(write_level_text(level), again, sources, reread), "its own text reads back");
  check(encode_map(again) == encode_map(level), "its own text gives the same map");
  return 0;
}
