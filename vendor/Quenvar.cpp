#include <cstdint>
extern "C" __attribute__((visibility("default"))) bool GetData(int32_t, const char **text) { *text = ""; return false; }
