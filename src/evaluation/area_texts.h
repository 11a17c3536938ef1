// How the coded conditions of a test area read wherever they are shown: the
// test-area grid and the test record sheet print the same texts, so that a
// value never reads differently in two places. Strengths and mean rebound
// values use one_decimal (model/number_text.h).
#pragma once

#include <string>

namespace rebound {

// Carbonation depth of a carbonation_index: "-.-" for 0 (not measured), the
// depth in mm with one decimal for 1 to 12 ("0.0" to "5.5"), "> 6.0" for 13
// and above.
std::string depth_text(int carbonation_index);

// Hammer angle of an angle_index in degrees, without a degree sign ("-30");
// an index outside 0 to 8 reads as 0.
std::string angle_text(int angle_index);

// Tested surface of a surface_index: "Horizontal", "Downwards", "Upwards";
// every index above 2 reads as "Upwards".
std::string side_text(int surface_index);

}  // namespace rebound
