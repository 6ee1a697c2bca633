// The fuzzers' inputs replayed through the font readers in the regular
// build: the seed corpus, every crash reproducer kept in fuzz/reproducers,
// and every cut of the seeds.
#include "font_files.h"

#include "fuzz/fuzz_inputs.h"
#include "fuzz/seed_corpus.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

using bytes = std::vector<uint8_t>;

struct seed_dirs {
  temp_dir root;
  std::string bmf = root.path + "/bmf", glf = root.path + "/glf";
  int count = -1;
  seed_dirs()
  {
    mkdir(bmf.c_str(), 0700);
    mkdir(glf.c_str(), 0700);
    count = write_seed_corpus(bmf.c_str(), glf.c_str());
  }
};

std::vector<bytes> files_in(const std::string &dir)
{
  std::vector<bytes> files;
  for (const fs::directory_entry &entry : fs::directory_iterator(dir))
    if (entry.is_regular_file())
      files.push_back(read_file(entry.path().string()));
  return files;
}

}  // namespace

TEST(FuzzCorpus, SeedsAreAcceptedByTheirReaders)
{
  seed_dirs seeds;
  ASSERT_GT(seeds.count, 0);
  std::vector<bytes> bmf = files_in(seeds.bmf), glf = files_in(seeds.glf);
  EXPECT_EQ((int)(bmf.size() + glf.size()), seeds.count);
  for (const bytes &file : bmf)
    EXPECT_TRUE(fuzz_bmf_input(file.data(), file.size()));
  for (const bytes &file : glf)
    EXPECT_TRUE(fuzz_glf_input(file.data(), file.size()));
}

TEST(FuzzCorpus, ReproducersNoLongerBreakTheReaders)
{
  // Each kept input goes through both readers; the reader helpers abort the
  // program on a broken promise, and the test only has to finish.
  int replayed = 0;
  for (const bytes &file : files_in(FUZZ_REPRODUCERS)) {
    fuzz_bmf_input(file.data(), file.size());
    fuzz_glf_input(file.data(), file.size());
    replayed++;
  }
  SUCCEED() << replayed << " reproducers replayed";
}

TEST(FuzzCorpus, EveryCutOfTheSeedsFailsCleanly)
{
  seed_dirs seeds;
  for (const bytes &file : files_in(seeds.bmf))
    for (size_t length = 0; length < file.size(); length++)
      EXPECT_FALSE(fuzz_bmf_input(file.data(), length)) << "BMF or SGI cut at " << length;
  for (const bytes &file : files_in(seeds.glf))
    for (size_t length = 0; length < file.size(); length++)
      EXPECT_FALSE(fuzz_glf_input(file.data(), length)) << "GLF cut at " << length;
}
