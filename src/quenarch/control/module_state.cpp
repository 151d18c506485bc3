#include "quenarch/control/module_state.h"

namespace quenarch {

ModuleState& moduleState()
{
    thread_local ModuleState state;
    return state;
}

} // namespace quenarch
