// Loaded images by file name, so that a picture used by several features is
// decoded once. The table holds first records owned by their loaders.
#pragma once

class CImage;

// The cached image whose file name matches `path` without regard to case, or null.
CImage* FindCachedImage(const char* path);
// Enters a first record (with its `fileName` set); false when the table is full.
bool AddCachedImage(CImage* image);
// Takes a record out of the table (a failed load, or an image being released).
void RemoveCachedImage(const CImage* image);
int CachedImageCount();
// Empties the table (a run never does; tests do).
void ResetImageCache();
