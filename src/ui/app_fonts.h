// Fonts of the windows. The controls ask for the Windows face names the
// layout was drawn with ("宋体" and friends); on systems without them those
// names are mapped to installed Chinese faces, a Song (Ming) style face first,
// so that Chinese texts keep their printed look instead of falling back to a
// Japanese face.
#pragma once

#include <QFont>
#include <QString>

namespace rebound {

// Registers the substitutions; call once after the application object exists.
void install_font_substitutions();

// "宋体" at `pixel_size` pixels.
QFont song_font(int pixel_size);

// The face of the grid's drop-down selectors.
QFont narrow_font(int pixel_size);

}  // namespace rebound
