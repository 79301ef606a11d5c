#pragma once
// The directory scan: walks the monitored tree breadth-first and stores one row per
// entry in `allist`, a file with its identity text (MD5 text or size).

namespace app {

struct Application;

// Scans the tree of `dir` inside the open transaction. A stop request rolls the
// transaction back and sets `stopped`; a database failure, or a monitored directory
// that cannot be listed, also sets `failed`.
void ScanTree(Application& app);

}  // namespace app
