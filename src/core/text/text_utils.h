// Small shared text utilities: a growable UTF-16 buffer for assembling paths, the decimal-digit
// check of the settings reader, the path of a file beside the executable or in the program's
// folder, a file name's extension, layout scaling from 96-dpi units and the screen-orientation
// test. Keeps no state and asks no screen: the UI passes its cached DPI and window size in.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zentorak {

inline constexpr int kTextBuilderNoMemory = -101;  // WideStringBuilder's block cannot be had
inline constexpr int kTextEmpty = -101;            // CheckDigits: no digit at all
inline constexpr int kTextNotDigits = -102;        // CheckDigits: a unit is not '0'..'9'
inline constexpr int kTextExtensionNoMemory = -1;  // GetFileExtension

// A plain record: text always ends with a zero unit, length < capacity while text is set.
struct WideStringBuilder {
    char16_t* text = nullptr;
    uint32_t length = 0;
    uint32_t capacity = 0;

    // 0; kTextBuilderNoMemory when the first block of 100 units cannot be had (text is left as
    // it was).
    int init();
    // 0; kTextBuilderNoMemory when the larger block cannot be had or the builder holds no block.
    // The builder is then left exactly as it was, so the text gathered so far stays usable.
    int append(const char16_t* s);
    // 0, also when there was nothing to free.
    int release();

    // Tests replace the block allocator to exercise the failure paths; null restores malloc.
    using AllocateFunction = void* (*)(size_t bytes);
    static void SetAllocatorForTesting(AllocateFunction allocate);
};

// 0 when every unit (up to a NUL) is '0'..'9'; kTextEmpty for an empty text; kTextNotDigits
// otherwise.
int CheckDigits(std::u16string_view text);

// The value of a run of '0'..'9' (checked by the caller). Values beyond 32 bits clamp to
// INT32_MAX, as a saturating string-to-integer conversion does, so no field ever receives a
// wrapped-around value.
int32_t DigitRunValue(std::u16string_view digits);

// The longest result MakeModulePath gives: 259 units, the handset's 260-unit block with its
// terminator.
inline constexpr size_t kMaxModulePath = 259;

// The full path of name in the folder of modulePath (the executable's path, '/' separated).
// A path that would not fit kMaxModulePath gives an empty result rather than a cut one, which
// could name a different file.
std::u16string MakeModulePath(std::u16string_view modulePath, std::u16string_view name);
// The same for the running executable (/proc/self/exe).
std::u16string MakeModulePath(std::u16string_view name);
// The full path of name in the program's folder (ProgramAppFolder: beside the executable, or
// the user's configuration folder for an installed copy), refused as MakeModulePath refuses.
std::u16string MakeAppFolderPath(std::u16string_view name);

// Everything after the last '.' anywhere in name (empty if none or if it is the last unit).
// 0; kTextExtensionNoMemory when the result cannot be allocated (extension is left unset).
int GetFileExtension(std::u16string_view name, std::u16string& extension);

// (n * dpi + 48) / 96 with truncation toward zero: a 96-dpi length in device pixels.
int ScaleX(int x, int logPixelsX);
int ScaleY(int y, int logPixelsY);

// 1 when taller than wide, -1 when wider than tall, 0 when square.
int GetScreenOrientation(int width, int height);

}  // namespace zentorak
