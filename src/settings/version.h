// The version the programs show (rebound --version, rebound-cli --version),
// taken from the project's version by the build.
#pragma once

namespace rebound {

inline constexpr const char* kVersionText = REBOUND_VERSION_TEXT;

}  // namespace rebound
