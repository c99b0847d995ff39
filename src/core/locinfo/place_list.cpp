#include "core/locinfo/place_list.h"

#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>

#include "core/platform/mapped_memory.h"
#include "core/platform/regular_file.h"
#include "core/text/code_page.h"

namespace zentorak {

namespace {

char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EndsWithIgnoringCase(std::string_view text, std::string_view lowerEnd) {
    if (text.size() < lowerEnd.size()) {
        return false;
    }
    text.remove_prefix(text.size() - lowerEnd.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (LowerAscii(text[i]) != lowerEnd[i]) {
            return false;
        }
    }
    return true;
}

std::string LowerAscii(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) {
        c = LowerAscii(c);
    }
    return lower;
}

// The names other apps give a telephone number, in lower case.
bool IsTelephoneName(const std::string& lower, const std::string& telKeyword) {
    static const char* const kNames[] = {"tel",          "phone",     "phonenumber",
                                         "phone_number", "telephone", "contact:phone",
                                         "電話",         "電話番号"};
    if (!telKeyword.empty() && lower == telKeyword) {
        return true;
    }
    for (const char* name : kNames) {
        if (lower == name) {
            return true;
        }
    }
    return false;
}

// The largest KML document taken from an archive.
constexpr size_t kMaxKmlBytes = size_t{1} << 30;

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

std::string_view Trimmed(std::string_view value) {
    while (!value.empty() && IsSpace(value.front())) {
        value.remove_prefix(1);
    }
    while (!value.empty() && IsSpace(value.back())) {
        value.remove_suffix(1);
    }
    return value;
}

void SpaceForBreak(char& c) {
    if (c == '\r' || c == '\n' || c == '\t' || c == '\0') {
        c = ' ';
    }
}

constexpr uint64_t kOnes = 0x0101010101010101, kHighBits = 0x8080808080808080;

// Whether a byte of the word is c.
bool HasByte(uint64_t word, char c) {
    const uint64_t x = word ^ (kOnes * static_cast<unsigned char>(c));
    return ((x - kOnes) & ~x & kHighBits) != 0;
}

// Line breaks, tabs and NULs become spaces; true when the text holds a comma or a quote (it is
// then quoted in its line). Eight bytes are looked at at once, as a text seldom has a byte below
// 14 (the first term has a byte's high bit set where that byte is below 14).
bool SpacesForBreaks(std::string& text) {
    bool quoted = false;
    size_t i = 0;
    for (; i + 8 <= text.size(); i += 8) {
        uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        quoted = quoted || HasByte(word, ',') || HasByte(word, '"');
        if (((word - kOnes * 14) & ~word & kHighBits) != 0) {
            for (size_t k = i; k < i + 8; ++k) {
                SpaceForBreak(text[k]);
            }
        }
    }
    for (; i < text.size(); ++i) {
        quoted = quoted || text[i] == ',' || text[i] == '"';
        SpaceForBreak(text[i]);
    }
    return quoted;
}

void AppendField(std::string& line, const std::string& value, bool quoted) {
    if (!quoted) {
        line.append(value);
        return;
    }
    line += '"';
    for (size_t begin = 0, quote; begin <= value.size(); begin = quote + 1) {
        quote = std::min(value.find('"', begin), value.size());
        line.append(value, begin, quote - begin);
        line.append(quote < value.size() ? "\"\"" : "\"");
    }
}

// A file read whole into mapped memory (huge pages for a large one: a fault per 2 MB instead of
// per 4 KB page, which halved the time to read a 38 MB file), with room after it for simdjson's
// padding. Unmaps what it holds.
class WholeFile {
public:
    WholeFile() = default;
    WholeFile(const WholeFile&) = delete;
    WholeFile& operator=(const WholeFile&) = delete;
    ~WholeFile() { block_.Unmap(); }

    // 0, kLoadCannotOpen or kLoadReadFailed; bad_alloc for a file too large.
    int Read(const std::string& path) {
        const int fd = OpenRegularFileForReading(path);
        if (fd < 0) {
            return kLoadCannotOpen;
        }
        const off_t size = FileSize(fd);
        int result = size < 0 ? kLoadReadFailed : 0;
        try {
            if (result == 0) {
                block_ = MappedBlock::Map(static_cast<size_t>(size) + 64);
                size_ = static_cast<size_t>(size);
                const ssize_t got = ReadFullyAt(fd, block_.base, size_, 0);
                result = got == static_cast<ssize_t>(size_) ? 0 : kLoadReadFailed;
            }
        } catch (...) {
            ::close(fd);
            throw;
        }
        ::close(fd);
        return result;
    }
    PlaceBytes Bytes() const {
        return {reinterpret_cast<char*>(block_.base), size_, block_.size - size_};
    }

private:
    MappedBlock block_;
    size_t size_ = 0;
};

}  // namespace

PlaceFormat PlaceFormatOf(std::string_view path) {
    if (EndsWithIgnoringCase(path, ".gpx")) {
        return PlaceFormat::kGpx;
    }
    if (EndsWithIgnoringCase(path, ".kml")) {
        return PlaceFormat::kKml;
    }
    if (EndsWithIgnoringCase(path, ".kmz")) {
        return PlaceFormat::kKmz;
    }
    return EndsWithIgnoringCase(path, ".geojson") ? PlaceFormat::kGeoJson : PlaceFormat::kNone;
}

PlaceListBuilder::PlaceListBuilder(PlaceList& list, const CoordinateKeywords& keywords)
    : list_(list), tel_(ToUtf8(keywords.tel)) {
    if (list_.captions.empty()) {
        list_.captions.push_back(keywords.name.empty() ? "name" : ToUtf8(keywords.name));
    }
    for (size_t c = 0; c < list_.captions.size(); ++c) {
        known_.push_back({list_.captions[c], c});
    }
    values_.resize(list_.captions.size());
    quoted_.resize(values_.size());
}

size_t PlaceListBuilder::ColumnOf(std::string_view name) {
    for (size_t i = 0; i < known_.size(); ++i) {
        const Known& known = known_[(lastKnown_ + i) % known_.size()];
        if (known.name == name) {
            lastKnown_ = (lastKnown_ + i + 1) % known_.size();
            return known.column;
        }
    }
    // A name met for the first time: its caption is its own, or the telephone keyword.
    std::string caption(name);
    if (!tel_.empty() && IsTelephoneName(LowerAscii(caption), LowerAscii(tel_))) {
        caption = tel_;
    }
    size_t column = list_.captions.size();
    for (size_t c = 0; c < list_.captions.size(); ++c) {
        if (list_.captions[c] == caption) {
            column = c;
        }
    }
    if (column == list_.captions.size()) {
        list_.captions.push_back(caption);
        values_.emplace_back();
        quoted_.push_back(false);
    }
    known_.push_back({std::string(name), column});
    return column;
}

void PlaceListBuilder::Field(std::string_view caption, std::string_view value) {
    caption = Trimmed(caption);
    if (!caption.empty()) {
        Set(ColumnOf(caption), value);
    }
}

void PlaceListBuilder::Set(size_t column, std::string_view value) {
    std::string& kept = values_[column];
    if (!kept.empty()) {
        return;
    }
    kept.assign(Trimmed(value));
    quoted_[column] = SpacesForBreaks(kept);
    lineBuilt_ = lineBuilt_ && kept.empty();
}

void PlaceListBuilder::Point(double lat, double lon) {
    if (!lineBuilt_) {
        size_t used = values_.size();
        while (used > 0 && values_[used - 1].empty()) {
            --used;
        }
        std::string& line = list_.itemBytes;
        lineBegin_ = line.size();
        for (size_t c = 0; c < used; ++c) {
            if (c > 0) {
                line += ',';
            }
            AppendField(line, values_[c], quoted_[c] && !values_[c].empty());
        }
        lineSize_ = line.size() - lineBegin_;
        lineBuilt_ = true;
    }
    list_.places.push_back({lat, lon, lineBegin_, lineSize_});
}

void PlaceListBuilder::Clear() {
    for (std::string& value : values_) {
        value.clear();
    }
    lineBuilt_ = false;
}

int ReadKmzPlaces(PlaceBytes bytes, PlaceListBuilder& places) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(bytes.data, bytes.size, 0, &error);
    zip_t* archive = source ? zip_open_from_source(source, ZIP_RDONLY, &error) : nullptr;
    zip_error_fini(&error);
    if (!archive) {
        if (source) {
            zip_source_free(source);
        }
        return kLoadCannotOpen;
    }
    std::unique_ptr<zip_t, void (*)(zip_t*)> owner(archive, zip_discard);
    const zip_int64_t entries = zip_get_num_entries(archive, 0);
    for (zip_int64_t i = 0; i < entries; ++i) {
        const char* name = zip_get_name(archive, static_cast<zip_uint64_t>(i), 0);
        if (!name || !EndsWithIgnoringCase(name, ".kml")) {
            continue;
        }
        std::unique_ptr<zip_file_t, int (*)(zip_file_t*)> file(
            zip_fopen_index(archive, static_cast<zip_uint64_t>(i), 0), zip_fclose);
        if (!file) {
            return kLoadCannotOpen;
        }
        // Read by pieces: the size the archive states is not trusted with memory.
        std::string kml;
        char piece[64 << 10];
        zip_int64_t got;
        while ((got = zip_fread(file.get(), piece, sizeof piece)) > 0) {
            if (kml.size() + static_cast<size_t>(got) > kMaxKmlBytes) {
                return kLoadNoMemory;
            }
            kml.append(piece, static_cast<size_t>(got));
        }
        return got < 0 ? kLoadCannotOpen : ReadKmlPlaces(kml, places);
    }
    return kLoadCannotOpen;
}

int ReadPlaceListFile(const std::string& path, PlaceFormat format,
                      const CoordinateKeywords& keywords, PlaceList& list) {
    list = PlaceList{};
    try {
        WholeFile file;
        const int read = file.Read(path);
        if (read != 0) {
            return read;
        }
        const PlaceBytes bytes = file.Bytes();
        // A place takes a few hundred bytes of a file and its items some of them: room enough
        // at once (pages never written are never faulted in).
        list.places.reserve(bytes.size / 128);
        list.itemBytes.reserve(bytes.size / 2);
        PlaceListBuilder places(list, keywords);
        switch (format) {
            case PlaceFormat::kGpx:
                return ReadGpxPlaces(bytes, places);
            case PlaceFormat::kKml:
                return ReadKmlPlaces(bytes, places);
            case PlaceFormat::kKmz:
                return ReadKmzPlaces(bytes, places);
            case PlaceFormat::kGeoJson:
                return ReadGeoJsonPlaces(bytes, places);
            case PlaceFormat::kNone:
                break;
        }
        return kLoadCannotOpen;
    } catch (const std::bad_alloc&) {
        list = PlaceList{};
        return kLoadNoMemory;
    }
}

void PlaceListHeader(const PlaceList& list, std::vector<std::u16string>& header,
                     FileColumns& columns) {
    header = {u"緯度", u"経度"};
    columns = FileColumns{};
    for (const std::string& caption : list.captions) {
        columns.items.push_back(static_cast<int>(header.size()));
        header.push_back(FromUtf8(caption));
    }
}

int ReadFileColumns(const std::string& path, const CoordinateKeywords& keywords,
                    std::vector<std::u16string>& header, FileColumns& columns) {
    if (const PlaceFormat format = PlaceFormatOf(path); format != PlaceFormat::kNone) {
        PlaceList list;
        const int result = ReadPlaceListFile(path, format, keywords, list);
        if (result == 0) {
            PlaceListHeader(list, header, columns);
        }
        return result;
    }
    FileStart start;
    if (const int result = ReadFileStart(path, start); result != 0) {
        return result;
    }
    columns = ChooseFileColumns(start.header, std::string_view(start.head).substr(start.firstLine),
                                keywords);
    header = std::move(start.header);
    return 0;
}

}  // namespace zentorak
