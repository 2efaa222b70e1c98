// Placeholder for a library whose folder has no sources yet.
