#include "core/text/text_utils.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "core/platform/app_folder.h"
#include "core/text/code_page.h"

namespace zentorak {

namespace {

WideStringBuilder::AllocateFunction gAllocate = nullptr;

char16_t* AllocateUnits(uint64_t units) {
    uint64_t bytes = units * sizeof(char16_t);
    if (bytes > SIZE_MAX) {
        return nullptr;
    }
    void* block = gAllocate ? gAllocate(static_cast<size_t>(bytes)) : std::malloc(bytes);
    return static_cast<char16_t*>(block);
}

size_t UnitLength(const char16_t* s) {
    size_t n = 0;
    while (s[n]) {
        ++n;
    }
    return n;
}

}  // namespace

void WideStringBuilder::SetAllocatorForTesting(AllocateFunction allocate) {
    gAllocate = allocate;
}

int WideStringBuilder::init() {
    capacity = 100;
    length = 0;
    char16_t* block = AllocateUnits(100);
    if (!block) {
        return kTextBuilderNoMemory;
    }
    block[0] = 0;
    text = block;
    return 0;
}

int WideStringBuilder::append(const char16_t* s) {
    if (!text) {
        return kTextBuilderNoMemory;
    }
    const uint64_t n = UnitLength(s);
    if (static_cast<int64_t>(length + n) >= static_cast<int64_t>(capacity) - 1) {
        // The smallest multiple of the current capacity that holds n units, but at least the
        // capacity itself: the block at least doubles.
        uint64_t increment = n <= capacity ? capacity : capacity * ((n - 1) / capacity + 1);
        uint64_t newCapacity = capacity + increment;
        char16_t* block = newCapacity <= UINT32_MAX ? AllocateUnits(newCapacity) : nullptr;
        if (!block) {
            return kTextBuilderNoMemory;
        }
        std::memcpy(block, text, (length + 1) * sizeof(char16_t));
        block[length] = 0;
        std::free(text);
        text = block;
        capacity = static_cast<uint32_t>(newCapacity);
    }
    std::memcpy(text + length, s, (n + 1) * sizeof(char16_t));
    length += static_cast<uint32_t>(n);
    text[length] = 0;
    return 0;
}

int WideStringBuilder::release() {
    if (!text) {
        return 0;
    }
    std::free(text);
    text = nullptr;
    length = 0;
    capacity = 0;
    return 0;
}

int CheckDigits(std::u16string_view text) {
    text = text.substr(0, text.find(u'\0'));
    if (text.empty()) {
        return kTextEmpty;
    }
    for (char16_t c : text) {
        if (c < u'0' || c > u'9') {
            return kTextNotDigits;
        }
    }
    return 0;
}

int32_t DigitRunValue(std::u16string_view digits) {
    int64_t value = 0;
    for (char16_t c : digits) {
        value = value * 10 + (c - u'0');
        if (value > INT32_MAX) {
            return INT32_MAX;
        }
    }
    return static_cast<int32_t>(value);
}

std::u16string MakeModulePath(std::u16string_view modulePath, std::u16string_view name) {
    std::u16string result;
    size_t slash = modulePath.rfind(u'/');
    if (modulePath.empty()) {
        result = u"/";
    } else if (slash != std::u16string_view::npos) {
        result = modulePath.substr(0, slash + 1);
    } else {
        result = u"/";
        result += modulePath;
        result += u"/";
    }
    result += name;
    if (result.size() > kMaxModulePath) {
        result.clear();
    }
    return result;
}

std::u16string MakeModulePath(std::u16string_view name) {
    // An unknown executable path counts as an empty module path, as a failed module query would
    // on the handset.
    return MakeModulePath(FromUtf8(ExecutablePath()), name);
}

std::u16string MakeAppFolderPath(std::u16string_view name) {
    // A '/' after the folder makes the folder itself the "module's" folder.
    const std::string folder = AppFolderFile(ProgramAppFolder(), "");
    return MakeModulePath(FromUtf8(folder), name);
}

int GetFileExtension(std::u16string_view name, std::u16string& extension) {
    name = name.substr(0, name.find(u'\0'));
    size_t dot = name.rfind(u'.');
    try {
        if (dot == std::u16string_view::npos || dot + 1 == name.size()) {
            extension = std::u16string();
        } else {
            extension = std::u16string(name.substr(dot + 1));
        }
    } catch (const std::bad_alloc&) {
        return kTextExtensionNoMemory;
    }
    return 0;
}

namespace {

int Scale(int n, int dpi) {
    int64_t value = (static_cast<int64_t>(n) * dpi + 48) / 96;
    return static_cast<int>(value);
}

}  // namespace

int ScaleX(int x, int logPixelsX) {
    return Scale(x, logPixelsX);
}
int ScaleY(int y, int logPixelsY) {
    return Scale(y, logPixelsY);
}

int GetScreenOrientation(int width, int height) {
    if (width < height) {
        return 1;
    }
    return width > height ? -1 : 0;
}

}  // namespace zentorak
