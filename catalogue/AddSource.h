#pragma once

// The catalogue grid whose current row an add turns into a line. The window remembers the grid
// that last had the focus, for the add button; no grid has had it yet at start.
enum AddSource : int { NoAddSource = 0, TreeSource = 1, BranchSource = 2, AccessorySource = 3 };
