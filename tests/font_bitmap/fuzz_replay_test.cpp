// The fuzzers' inputs replayed through the font readers in the regular
// build: the seed corpus, every cut of the seeds, and every crash reproducer
// kept in fuzz/reproducers.
#include "font_files.h"

#include "fuzz/fuzz_inputs.h"
#include "fuzz/seed_corpus.h"

#include <gtest/gtest.h>
#include <filesystem>
#include <sys/stat.h>

namespace {

std::vector<bytes> files_in(const std::string &dir)
{
  std::vector<bytes> files;
  for (const auto &entry : std::filesystem::directory_iterator(dir))
    if (entry.is_regular_file())
      files.push_back(read_file(entry.path().string()));
  return files;
}

}  // namespace

TEST(FuzzCorpus, SeedsAreAcceptedAndEveryCutFailsCleanly)
{
  temp_dir root;
  std::string bmf_dir = root.path + "/bmf", glf_dir = root.path + "/glf";
  mkdir(bmf_dir.c_str(), 0700);
  mkdir(glf_dir.c_str(), 0700);
  int count = write_seed_corpus(bmf_dir.c_str(), glf_dir.c_str());
  ASSERT_GT(count, 0);
  std::vector<bytes> bmf = files_in(bmf_dir), glf = files_in(glf_dir);
  EXPECT_EQ((int)(bmf.size() + glf.size()), count);
  const std::pair<std::vector<bytes> *, bool (*)(const uint8_t *, size_t)> readers[] = {
      {&bmf, fuzz_bmf_input}, {&glf, fuzz_glf_input}};
  for (const auto &[files, reader] : readers)
    for (const bytes &file : *files) {
      EXPECT_TRUE(reader(file.data(), file.size()));
      for (size_t length = 0; length < file.size(); length++)
        EXPECT_FALSE(reader(file.data(), length)) << "cut at " << length;
    }
}

TEST(FuzzCorpus, ReproducersNoLongerBreakTheReaders)
{
  // The reader helpers abort on a broken promise: the test only has to finish.
  for (const bytes &file : files_in(FUZZ_REPRODUCERS)) {
    fuzz_bmf_input(file.data(), file.size());
    fuzz_glf_input(file.data(), file.size());
  }
}
