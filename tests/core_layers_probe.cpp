// Compiled with the core library's own settings by the test
// core_layers.qt_headers_out_of_reach, which expects it to fail: the core
// sees no Qt header, so one included here cannot be found.
#include <QString>

#include "model/rebound_file.h"

int rebound_core_layer_probe() {
    return QString().size();
}
