// Removed once the window code has sources of its own.
