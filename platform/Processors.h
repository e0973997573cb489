// How many processors this process may run on.
#pragma once

// The processors the calling thread may be scheduled on (its affinity mask, so a process pinned
// to one core gets 1); 1 when the system cannot say.
int UsableProcessorCount();
