// Filled by the project model.
