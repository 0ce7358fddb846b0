// Filled in as the windows of this folder are built.
