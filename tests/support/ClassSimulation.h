#pragma once
// Simulated observers of a class, for tests, benchmarks and the README's
// picture: each trial's observation drawn from the experiment's binormal
// model (noise N(0, 1), signal N(d, R^2)) and answered 1 + the number of
// criteria below it, written in the class format of the per-trial file.
#include <cstdint>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "experiment/TrialLog.h"

namespace classsim {

struct Observer {
  std::string name;
  std::string design;
  std::string session;  // UTC creation time, unique per run
  std::uint32_t seed;   // of the stimulus sequence and the observations
  double signalProbability = 0.5;
  double d = 1.5;
  double R = 1.0;
  std::vector<double> criteria{-0.3, 0.6, 1.5};  // K - 1 of them
  int practice = 10;
  int recorded = 50;
};

inline std::vector<experiment::TrialLogRow> Simulate(const Observer& o) {
  std::mt19937 random(o.seed);
  std::uniform_real_distribution<double> uniform(0, 1);
  std::normal_distribution<double> normal(0, 1);
  std::vector<experiment::TrialLogRow> rows;
  for (int t = 1; t <= o.practice + o.recorded; ++t) {
    const bool signal = uniform(random) < o.signalProbability;
    const double x = signal ? o.d + o.R * normal(random) : normal(random);
    int response = 1;
    for (double c : o.criteria) response += x > c;
    experiment::TrialLogRow row{};
    row.Session = o.session;
    row.Observer = o.name;
    row.DesignName = o.design;
    row.Categories = static_cast<std::int32_t>(o.criteria.size() + 1);
    row.Seed = o.seed;
    row.Trial = t;
    row.Practice = t <= o.practice;
    row.Stimulus = signal ? experiment::kSignal : experiment::kNoise;
    row.Response = static_cast<experiment::ResponseCode>(response);
    row.ExposureMs = 1000.0;
    row.RatingMs = 600 + static_cast<std::int64_t>(400 * uniform(random));
    row.DesignRecorded = o.recorded;
    rows.push_back(row);
  }
  return rows;
}

// A session time of the given minute of a class day, "2026-12-08T09:MM:SS.000Z".
inline std::string SessionTime(int index) {
  char text[32];
  std::snprintf(text, sizeof text, "2026-12-08T%02d:%02d:%02d.000Z", 9 + index / 3600, index / 60 % 60, index % 60);
  return text;
}

// A whole class: every observer runs each of two designs that differ only
// in the base rate of the signal (0.8 "liberal" and 0.2 "conservative"), with
// the same sensitivity; the observers move their criteria with the base rate,
// down when signals are frequent, up when they are rare. Observers differ in
// d' and criteria around the class's values, K - 1 of them spread evenly
// over the same range on a K-point scale.
inline std::vector<Observer> LiberalConservativeClass(int observers, int recorded, std::uint32_t seed = 2026,
                                                      int categories = 4) {
  std::mt19937 random(seed);
  std::normal_distribution<double> normal(0, 1);
  std::vector<Observer> all;
  for (int i = 0; i < observers; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "S%02d", i + 1);
    const double d = 1.4 + 0.25 * normal(random);
    const double shift = 0.2 * normal(random);
    for (int design = 0; design < 2; ++design) {
      Observer o;
      o.name = name;
      o.design = design == 0 ? "liberal" : "conservative";
      o.session = SessionTime(2 * i + design);
      o.seed = seed + 1000 * static_cast<std::uint32_t>(i) + static_cast<std::uint32_t>(design);
      o.signalProbability = design == 0 ? 0.8 : 0.2;
      o.d = d;
      o.R = 1.0;
      const double move = design == 0 ? -0.5 : 0.5;
      o.criteria.clear();
      for (int j = 0; j + 1 < categories; ++j)
        o.criteria.push_back((categories == 2 ? 0.7 : -0.2 + 1.8 * j / (categories - 2)) + shift + move);
      o.recorded = recorded;
      all.push_back(o);
    }
  }
  return all;
}

}  // namespace classsim
