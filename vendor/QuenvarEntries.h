#pragma once
// The Quenvar edition's data: numbered texts and named pictures. Plain C++,
// no Qt: the library is loaded by the configurator and must stand alone.

#include <cstddef>
#include <cstdint>

struct TVendorEntry {
    int32_t Entry;
    const char *Text; // UTF-8, zero-terminated
};

struct TVendorPicture {
    const char *Name;
    const unsigned char *Bytes; // PNG file
    int32_t Size;
};

/// Every text of the edition, in ascending entry order (checked at compile time).
extern const TVendorEntry *const VendorEntries;
extern const std::size_t VendorEntryCount;

/// Every picture of the edition (generated at build time from the picture program).
extern const TVendorPicture *const VendorPictures;
extern const std::size_t VendorPictureCount;
