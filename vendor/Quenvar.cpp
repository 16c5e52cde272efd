// The Quenvar vendor library: the texts and pictures of the Quenvar edition
// of the configurator, answered through two C functions. No Qt here: the
// library is a plain data store that any edition can replace.

#include "QuenvarEntries.h"

#include <algorithm>
#include <cstring>

#define VX_EXPORT extern "C" __attribute__((visibility("default")))

/// Points `text` at the zero-terminated UTF-8 text of the entry and returns
/// true; false (and an empty text) when the edition has no such entry.
VX_EXPORT bool GetData(int32_t entry, const char **text)
{
    const TVendorEntry *first = VendorEntries;
    const TVendorEntry *last = VendorEntries + VendorEntryCount;
    const TVendorEntry *found = std::lower_bound(
        first, last, entry, [](const TVendorEntry &e, int32_t key) { return e.Entry < key; });
    const bool exists = found != last && found->Entry == entry;
    if (text)
        *text = exists ? found->Text : "";
    return exists;
}

/// Points `bytes` at the PNG file of the named picture and `size` at its
/// length; false (null bytes, size 0) when the edition has no such picture.
VX_EXPORT bool GetBitmap(const char *name, const unsigned char **bytes, int32_t *size)
{
    const TVendorPicture *found = nullptr;
    if (name) {
        for (std::size_t i = 0; i < VendorPictureCount; ++i) {
            if (std::strcmp(VendorPictures[i].Name, name) == 0) {
                found = &VendorPictures[i];
                break;
            }
        }
    }
    if (bytes)
        *bytes = found ? found->Bytes : nullptr;
    if (size)
        *size = found ? found->Size : 0;
    return found != nullptr;
}
