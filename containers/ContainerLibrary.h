#pragma once
// The container library's start and stop, each run once: the start from the library's
// load, before the driver starts, and the stop from its unload.

namespace baslink {

// Fills the registries, in this order: the standard compare functions; TStringCombo and the
// buckets; the buckets' compare functions; the three lists; the (still empty) hash-function
// registry; the graphics and TMemoryStream. 24 classes and 20 compare functions in all.
void StartContainerLibrary();

// Frees the registries (FreeRegistries).
void StopContainerLibrary();

}  // namespace baslink
