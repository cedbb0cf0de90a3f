// Writes a simulated class into a folder, one per-trial file (class format)
// per observer and design:
//
//   simulate_class FOLDER [OBSERVERS [RECORDED_TRIALS [CATEGORIES]]]
//
// Thirty observers of 100 recorded trials on a four-point scale by default,
// each in the designs "liberal" (signal probability 0.8) and "conservative"
// (0.2), same d'.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "tests/support/ClassSimulation.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: simulate_class FOLDER [OBSERVERS [RECORDED_TRIALS [CATEGORIES]]]\n");
    return 2;
  }
  const std::filesystem::path folder = argv[1];
  const int observers = argc > 2 ? std::atoi(argv[2]) : 30;
  const int recorded = argc > 3 ? std::atoi(argv[3]) : 100;
  const int categories = std::clamp(argc > 4 ? std::atoi(argv[4]) : 4, 2, experiment::kMaxCategories);
  std::filesystem::create_directories(folder);
  for (const classsim::Observer& o : classsim::LiberalConservativeClass(observers, recorded, 2026, categories)) {
    const std::string path = (folder / (o.design + "_" + o.name + ".csv")).string();
    const numeric::Status written =
        experiment::WriteTrialLog(path, classsim::Simulate(o), experiment::TrialLogFormat::kClass);
    if (!written) {
      std::fprintf(stderr, "simulate_class: %s\n", written.Reason().c_str());
      return 1;
    }
  }
  return 0;
}
