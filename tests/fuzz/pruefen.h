#pragma once

// A broken invariant in a fuzz target: says which one on stderr and aborts, so libFuzzer keeps
// the input and the replay run fails.
void pruefe(bool gilt, const char *invariante);
