#pragma once
#include <string>
#include <vector>

#include "experiment/Design.h"

// The rating categories as the windows show them: in the interface's
// language when every caption and statement of the design has a translation
// (the standard ones, and those of the sample designs), else as the design
// gives them, so that a teacher's own scale is never shown half translated.
// On a blue-orange grid the standard statements name the orange squares.
std::vector<experiment::RatingCategory> ShownRatings(const experiment::Design& design);
