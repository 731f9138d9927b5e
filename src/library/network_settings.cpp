#include "library/network_settings.h"

namespace vexil {

NetworkSettings& networkSettings() {
    static NetworkSettings settings;
    return settings;
}

} // namespace vexil
