#pragma once
#include <string>
#include <string_view>

#include "Design.h"
#include "numeric/Result.h"

namespace experiment {

// A design read from a teacher's TOML file. Every key is optional; a key not
// in the file keeps the standard design's value:
//
//   name                text, 1 to 64 characters             "standard"
//   practice_trials     integer 0..100                         10
//   recorded_trials     integer 1..1000                        50
//   noise_brown         integer 0..100, brown cells of 100     22
//   signal_brown        integer 0..100, not noise_brown        25
//   signal_probability  number, 0 < p < 1                      0.5
//   exposure_ms         integer 50..10000                      1000
//   feedback            boolean                                true
//   ask_observer        boolean                                false
//   palette             "standard" or "blue-orange"            "standard"
//   [ratings]           captions, statements: arrays of 2 to 8 non-empty
//                       texts, equally many, from the surest "signal" down
//
// Texts are UTF-8 without control characters. Anything else in the file is
// an error: an unknown key (one of the other table's is told where it
// belongs), a value of the wrong type or out of its range, captions and
// statements of different lengths, equal brown counts, a file that is not
// UTF-8, is no TOML (the mistake said, see DesignFileSyntax.h) or cannot be
// read.
//
// Each gives the design read or, for a file in error, the reason in one line
// "FILE:LINE:COL: what is wrong" (lines and columns from 1; a file that cannot
// be read is at 1:1).

// Reads and checks the design file at path.
numeric::Result<Design> ReadDesignFile(const std::string& path);

// The same for the text of a design file; path only names it in the reason.
numeric::Result<Design> ParseDesignText(std::string_view text, const std::string& path);

}  // namespace experiment
