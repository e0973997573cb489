#include "platform/Processors.h"

#include <sched.h>

int UsableProcessorCount() {
    cpu_set_t set;
    CPU_ZERO(&set);
    if (sched_getaffinity(0, sizeof set, &set) != 0)
        return 1;
    const int count = CPU_COUNT(&set);
    return count > 0 ? count : 1;
}
