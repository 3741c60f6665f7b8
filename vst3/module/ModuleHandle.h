#pragma once

// Module-wide state set by the entry points.

namespace calvorin
{
// The handle the host passed to the first ModuleEntry (Linux), else null.
void* ModuleHandle();
// Unbalanced entry calls so far.
int ModuleEntryCount();
} // namespace calvorin
