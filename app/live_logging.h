#pragma once
// Logging between the runs of --watch: the tree watched for changes, each burst of them
// reported by a run of its own, and a full run whenever the watch cannot be trusted, or
// when the full runs asked for with it are due.

namespace app {

struct Application;

// Called after each full run. Returns when the next full run is due (begun as the
// interval's next run is) or when logging stops.
void WatchForChanges(Application& app);

}  // namespace app
