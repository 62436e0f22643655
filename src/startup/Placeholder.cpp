// Filled by the start-up.
