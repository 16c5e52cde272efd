#pragma once
// The raw texts of the built-in catalogue (CatalogueData.cpp). Read them
// through Catalogue.h; this is only the storage.

#include <cstdint>

constexpr int32_t kCatalogueFields = 20;

/// Record r of the UPS area starts at text id 10000 + 20 r; field n is entry n.
extern const char *const kUpsTexts[][kCatalogueFields];
extern const char *const kAccessoryTexts[][kCatalogueFields];
extern const int32_t kUpsRecordCount;
extern const int32_t kAccessoryRecordCount;
