#include "evaluation/area_texts.h"

#include "evaluation/corrections.h"
#include "model/number_text.h"

namespace rebound {

std::string depth_text(int carbonation_index) {
    if (carbonation_index <= 0) return "-.-";
    if (carbonation_index >= 13) return "> 6.0";
    return one_decimal((carbonation_index - 1) * 0.5);
}

std::string angle_text(int angle_index) {
    return std::to_string(angle_degrees(angle_index));
}

std::string side_text(int surface_index) {
    switch (surface_index) {
        case 0:
            return "Horizontal";
        case 1:
            return "Downwards";
        default:
            return "Upwards";
    }
}

}  // namespace rebound
