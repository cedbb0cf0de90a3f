#pragma once
#include <string>
#include <string_view>

namespace experiment {

// A syntax error of a design file in a teacher's words. The TOML parser
// describes what it expected ("Error while parsing floating-point: expected
// decimal digit, saw '.'"); this names the mistake that most likely led
// there, from the description and the line it stands on, with the line's
// key and value as they should be written where that can be told ("a number
// needs a digit before the point: 0.3"). A description none of the common
// mistakes explains is passed on in the parser's own words.
//
// line is the text of the line the parser stopped on, without its end.
std::string ExplainSyntaxError(std::string_view description, std::string_view line);

}  // namespace experiment
