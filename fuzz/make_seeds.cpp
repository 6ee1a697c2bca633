// Writes the fuzzers' seed corpus: make_seeds BMF_DIR GLF_DIR.
#include "fuzz/seed_corpus.h"

#include <cstdio>

int main(int argc, char **argv)
{
  if (argc != 3) {
    std::fprintf(stderr, "usage: make_seeds BMF_DIR GLF_DIR\n");
    return 2;
  }
  int count = write_seed_corpus(argv[1], argv[2]);
  if (count < 0) {
    std::fprintf(stderr, "make_seeds: could not write the corpus\n");
    return 1;
  }
  std::printf("%d seed files\n", count);
  return 0;
}
