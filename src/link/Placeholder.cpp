// Removed once the link layer has sources of its own.
