// Writes a generated page (bench/PageGenerator) to a file, for scripts that
// compare whole runs of zelm-cli:  zelm-make-page BYTES SEED OUT
#include <cstdio>
#include <cstdlib>
#include <fstream>

#include "PageGenerator.h"

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: zelm-make-page BYTES SEED OUT\n");
    return 2;
  }
  const std::string page =
      zelm::bench::GeneratePage(std::strtoull(argv[1], nullptr, 10), static_cast<unsigned>(std::atoi(argv[2])));
  std::ofstream out(argv[3], std::ios::binary);
  out.write(page.data(), static_cast<std::streamsize>(page.size()));
  return out.good() ? 0 : 1;
}
