// Reading location-info files into the grid. Lines are split on their raw bytes (in CP932 and in
// UTF-8 no byte of a multi-byte character is a comma, quote, CR or LF), and only as far as their
// coordinates: a target's line is kept (less its coordinates when they come first), and its items
// are split and decoded from it after the index is built (TargetStore::StartDecodingTexts).
#include "core/locinfo/location_loader.h"

#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <algorithm>
#include <array>
#include <bit>
#include <functional>
#include <memory>
#include <new>

#include "core/locinfo/coordinate_bytes.h"
#include "core/locinfo/line_scanner.h"
#include "core/locinfo/place_list.h"
#include "core/platform/regular_file.h"
#include "core/platform/threads.h"
#include "core/targets/target_store.h"
#include "core/text/code_page.h"
#include "core/text/csv_split.h"
#include "core/text/file_names.h"

namespace zentorak {

namespace {

constexpr size_t kMaxCaption = 99;

bool EqualsIgnoringAsciiCase(std::u16string_view text, std::string_view lower) {
    if (text.size() != lower.size()) {
        return false;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        char16_t c = text[i] >= u'A' && text[i] <= u'Z' ? text[i] + (u'a' - u'A') : text[i];
        if (c != static_cast<unsigned char>(lower[i])) {
            return false;
        }
    }
    return true;
}

bool IsLatitudeCaption(std::u16string_view caption, const CoordinateKeywords& keywords) {
    return (!keywords.lat.empty() && caption == keywords.lat) || caption == u"緯度" ||
           caption == u"北緯" || EqualsIgnoringAsciiCase(caption, "lat") ||
           EqualsIgnoringAsciiCase(caption, "latitude");
}

bool IsLongitudeCaption(std::u16string_view caption, const CoordinateKeywords& keywords) {
    return (!keywords.lon.empty() && caption == keywords.lon) || caption == u"経度" ||
           caption == u"東経" || EqualsIgnoringAsciiCase(caption, "lng") ||
           EqualsIgnoringAsciiCase(caption, "lon") || EqualsIgnoringAsciiCase(caption, "longitude");
}

// The latitude and longitude columns named by caption, when the first two captions are not
// already a latitude and a longitude caption and the header names both elsewhere.
bool CoordinateColumnsByCaption(const std::vector<std::u16string>& header,
                                const CoordinateKeywords& keywords, int& lat, int& lon) {
    if (header.size() >= 2 && IsLatitudeCaption(header[0], keywords) &&
        IsLongitudeCaption(header[1], keywords)) {
        return false;
    }
    lat = lon = -1;
    for (size_t i = 0; i < header.size(); ++i) {
        if (lat < 0 && IsLatitudeCaption(header[i], keywords)) {
            lat = static_cast<int>(i);
        } else if (lon < 0 && IsLongitudeCaption(header[i], keywords)) {
            lon = static_cast<int>(i);
        }
    }
    return lat >= 0 && lon >= 0;
}

// Gives slot s the header's column c. An empty caption leaves the slot absent and its previous
// caption in place.
void MapSlot(ColumnMap& columns, int s, const std::vector<std::u16string>& header, size_t c) {
    if (!header[c].empty()) {
        columns.slot[s] = static_cast<int>(c);
        columns.columnCaption[s] = header[c].substr(0, kMaxCaption);
    }
}

void ApplyHeader(ColumnMap& columns, const std::vector<std::u16string>& header,
                 const CoordinateKeywords& keywords) {
    for (int i = 0; i < kColumnSlots; ++i) {
        columns.slot[i] = -1;
    }
    int lat, lon;
    if (!CoordinateColumnsByCaption(header, keywords, lat, lon)) {
        for (size_t i = 0; i < header.size() && i < kColumnSlots; ++i) {
            MapSlot(columns, static_cast<int>(i), header, i);
        }
        return;
    }
    MapSlot(columns, 0, header, static_cast<size_t>(lat));
    MapSlot(columns, 1, header, static_cast<size_t>(lon));
    int s = 2;
    for (size_t c = 0; c < header.size() && s < kColumnSlots; ++c) {
        if (c != static_cast<size_t>(lat) && c != static_cast<size_t>(lon)) {
            MapSlot(columns, s++, header, c);
        }
    }
}

// What one file's lines need: the columns of the coordinates, how many fields a line must have
// to give a target, and how the items are taken from the lines.
struct FilePlan {
    size_t latColumn = 0, lonColumn = 0;
    size_t needed = 3;  // fields: both coordinate columns and at least three in all
    bool usual = true;  // the coordinates are the first two of three or more columns
    std::shared_ptr<const ItemPlan> items;
    LocationInfoFileReport* report = nullptr;
};

FilePlan MakePlan(const ColumnMap& columns, TextEncoding encoding) {
    FilePlan plan;
    plan.latColumn = static_cast<size_t>(columns.slot[0]);
    plan.lonColumn = static_cast<size_t>(columns.slot[1]);
    plan.needed = std::max({size_t{3}, plan.latColumn + 1, plan.lonColumn + 1});
    plan.usual = plan.latColumn == 0 && plan.lonColumn == 1 && plan.needed == 3;
    auto items = std::make_shared<ItemPlan>();
    items->encoding = encoding;
    for (int k = 0; k < kInfoItems; ++k) {
        if (columns.Present(k + 2)) {
            const size_t c = static_cast<size_t>(columns.slot[k + 2]);
            items->column[k] = static_cast<int>(c);
            if (c >= items->itemOfColumn.size()) {
                items->itemOfColumn.resize(c + 1, -1);
            }
            items->itemOfColumn[c] = static_cast<int8_t>(k);
        }
    }
    items->presentWith.assign(items->itemOfColumn.size() + 1, 0);
    for (size_t n = 0; n < items->presentWith.size(); ++n) {
        for (int k = 0; k < kInfoItems; ++k) {
            if (items->column[k] >= 0 && static_cast<size_t>(items->column[k]) < n) {
                items->presentWith[n] |= static_cast<uint8_t>(1u << k);
            }
        }
    }
    plan.items = std::move(items);
    return plan;
}

void CountForm(LocationInfoFileReport* report, PointForm form) {
    if (!report) {
        return;
    }
    report->dmsLines += form == PointForm::kDms;
    report->decimalLines += form == PointForm::kDecimal || form == PointForm::kDecimalOutsideArea;
    report->mixedLines += form == PointForm::kMixed;
}

// Bit i set when byte i of the 32 bytes at p is a comma.
uint32_t CommasOf32(const char* p) {
#if defined(__SSE2__)
    const __m128i comma = _mm_set1_epi8(',');
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16));
    return static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(low, comma))) |
           static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(high, comma))) << 16;
#else
    uint32_t mask = 0;
    for (int i = 0; i < 32; ++i) {
        mask |= static_cast<uint32_t>(p[i] == ',') << i;
    }
    return mask;
#endif
}

// Files the target at a point with what it keeps of its line (see TargetStore::Add).
int FileTarget(TargetStore& store, const FilePlan& plan, ArcAngle lat, ArcAngle lon,
               std::string_view kept, uint8_t skipped) {
    int row, column;
    if (GridCellOf(lat, lon, row, column) != 0) {
        return 0;
    }
    // A point exactly on 46 N or 148 E is inside the area's bounds, so it is kept and filed in
    // the last row or column (TargetStore::CellOf) rather than dropped.
    const int cell = TargetStore::CellNumber(row, column);
    // A target that cannot be kept fails the load rather than going missing without a word.
    return store.Add(lat, lon, cell, kept, plan.items, skipped) ? 0 : kLoadNoMemory;
}

// Splits the line as far as the fields a target needs, picking out its coordinates and its
// second field: the fields split, fewer than plan.needed when the line has fewer. May throw
// std::bad_alloc.
size_t SplitToPoint(const FilePlan& plan, std::string_view line, std::string& arena,
                    std::string_view& lat, std::string_view& lon, std::string_view& second) {
    size_t count = 0;
    SplitQuotedFields<char>(line, ',', '"', arena, [&](std::string_view v) {
        if (count == plan.latColumn) {
            lat = v;
        }
        if (count == plan.lonColumn) {
            lon = v;
        }
        if (count == 1) {
            second = v;
        }
        return ++count < plan.needed;
    });
    return count;
}

// The point of the coordinate cells in any form a target may have, counted in the report; false
// when they give none.
bool ReadAnyPoint(const FilePlan& plan, std::string_view lat, std::string_view lon,
                  ArcAngle& latArc, ArcAngle& lonArc) {
    if (ReadUsualPoint(lat, lon, latArc, lonArc)) {
        CountForm(plan.report, PointForm::kDms);
        return true;
    }
    DmsAngle latAngle, lonAngle;
    PointForm form = ReadPoint(lat, lon, latAngle, lonAngle);
    CountForm(plan.report, form);
    if (form != PointForm::kDms && form != PointForm::kDecimal) {
        return false;
    }
    // The target keeps the angles carried into their ranges (35/75/00 as 36/15/00); the area is
    // checked on what it keeps.
    latArc = latAngle;
    lonArc = lonAngle;
    return true;
}

// The columns before the part of the line that the target keeps, with line cut to that part.
// When the coordinates are the first two columns, only the rest of the line is kept. That rest
// starts after the second field's separator when the field is plain text in the line (a quoted
// field is built apart, in the arena).
uint8_t KeepAfterPoint(const FilePlan& plan, std::string_view& line, std::string_view second) {
    const std::less_equal<const char*> notAfter{};
    if (plan.latColumn + plan.lonColumn == 1 && !second.empty() &&
        notAfter(line.data(), second.data()) &&
        notAfter(second.data() + second.size() + 1, line.data() + line.size())) {
        const size_t rest = static_cast<size_t>(second.data() - line.data()) + second.size() + 1;
        line = line.substr(rest);
        return 2;
    }
    return 0;
}

// Files the line's target, if it gives one: the line is split only as far as its coordinates
// and the fields a target needs; the items are split from the kept line when they are decoded.
// 0, or kLoadNoMemory. A line that gives no target is skipped without a word. The
// line is one a LineScanner gave: LineScanner::kReadableAfterStart bytes from its start may be
// read.
// One piece: the loader's hot path, run for every line (the separators found in a function of
// their own cost five more instructions a line).
int AddLine(TargetStore& store, const FilePlan& plan, std::string_view line, std::string& arena) {
    std::string_view lat, lon, second;
    // Most files have the coordinates in the first two columns, unquoted: their two separators
    // are found by a loop over the short fields, which costs less than the splitter's calls
    // to memchr. A field that opens with a quote goes to the splitter.
    const size_t n = line.size();
    size_t a = 0, b = 0;
    const bool usual = plan.usual && n > 0 && line[0] != '"';
    if (usual) {
        // Most lines have both separators in their first 32 bytes, which are readable (see
        // LineScanner::kReadableAfterStart).
        uint32_t commas = CommasOf32(line.data());
        commas &= n < 32 ? (uint32_t{1} << n) - 1 : ~uint32_t{0};
        if ((commas & (commas - 1)) != 0) {
            a = static_cast<size_t>(std::countr_zero(commas));
            b = static_cast<size_t>(std::countr_zero(commas & (commas - 1)));
        } else {
            while (a < n && line[a] != ',') {
                ++a;
            }
            b = a + 1;
            while (b < n && line[b] != ',') {
                ++b;
            }
        }
    }
    if (usual && a + 1 < n && line[a + 1] != '"') {
        if (b + 1 >= n) {
            return 0;  // no third field
        }
        lat = line.substr(0, a);
        lon = second = line.substr(a + 1, b - a - 1);
        ArcAngle latArc, lonArc;
        if (ReadUsualPoint(lat, lon, latArc, lonArc)) {  // the usual line: kept after its point
            CountForm(plan.report, PointForm::kDms);
            return FileTarget(store, plan, latArc, lonArc, line.substr(b + 1), 2);
        }
    } else {
        try {
            if (SplitToPoint(plan, line, arena, lat, lon, second) < plan.needed) {
                return 0;
            }
        } catch (const std::bad_alloc&) {
            return kLoadNoMemory;
        }
    }
    ArcAngle latArc, lonArc;
    if (!ReadAnyPoint(plan, lat, lon, latArc, lonArc)) {
        return 0;
    }
    const uint8_t skipped = KeepAfterPoint(plan, line, second);
    return FileTarget(store, plan, latArc, lonArc, line, skipped);
}

// Reads the target lines of the scanner's bytes, after the header when skipHeader. 0 at the end
// of the bytes; kLoadReadFailed; kLoadNoMemory.
int ReadTargets(LineScanner& reader, TargetStore& store, const FilePlan& plan, bool skipHeader) {
    std::string_view bytes;
    int result = 0;
    if (skipHeader && (result = reader.Next(bytes)) == kTextEndOfFile) {
        return 0;  // the header, already read, was all
    }
    std::string arena;
    while (result == 0) {
        result = reader.Next(bytes);
        // The piece after the last line end is a line of its own when it holds anything: a last
        // line without a line break is not lost.
        if (result != 0 && (result != kTextEndOfFile || bytes.empty())) {
            break;
        }
        // The text ends at a NUL byte, as a zero-terminated line would.
        bytes = reader.UpToNul(bytes);
        if (AddLine(store, plan, bytes, arena) != 0) {
            return kLoadNoMemory;
        }
    }
    return result == kTextEndOfFile ? 0 : kLoadReadFailed;
}

// The block of a scanner over size bytes: small files get a small buffer (lines longer than it
// still grow it), large ones 256 KB, which stays in the second-level cache from the read to the
// reading (measured 10 % faster for the town points than 1 MB).
size_t BlockFor(off_t size) {
    constexpr size_t kLargest = size_t{256} << 10;
    return size >= 0 ? std::clamp<size_t>(static_cast<size_t>(size) + 1, 4096, kLargest) : kLargest;
}

// One range of the file read into its own store, with the forms of its lines counted apart.
struct Part {
    off_t begin = 0, end = 0;
    TargetStore* store = nullptr;
    std::unique_ptr<TargetStore> own;
    LocationInfoFileReport forms;
    int result = 0;
};

// Reads the lines of the scanner that makeReader gives (about `bytes` of them, when known) into the
// store and writes its last page.
template <typename MakeReader>
int ReadInto(MakeReader makeReader, TargetStore& store, const FilePlan& plan, bool skipHeader,
             off_t bytes) {
    if (bytes > 0) {
        store.ExpectLineBytes(static_cast<size_t>(bytes));
    }
    try {
        LineScanner reader = makeReader();
        const int result = ReadTargets(reader, store, plan, skipHeader);
        store.EndLines();
        return result;
    } catch (const std::bad_alloc&) {
        return kLoadReadFailed;  // a line too long for memory, as ReadTextLine has it
    }
}

void ReadPart(int fd, Part& part, FilePlan plan) {
    plan.report = &part.forms;
    part.result = ReadInto(
        [&] { return LineScanner(fd, part.begin, part.end, BlockFor(part.end - part.begin)); },
        *part.store, plan, part.begin == 0, part.end - part.begin);
}

// How many ranges of whole lines a file of `size` bytes is read in by `cores` threads.
int RangesFor(off_t size, int cores, size_t minChunkBytes) {
    const off_t byChunk = size / static_cast<off_t>(std::max<size_t>(minChunkBytes, 1));
    int parts = static_cast<int>(std::clamp<off_t>(byChunk, 1, cores));
    // A large file is cut into up to three ranges a thread, each taken by the next thread free:
    // a thread slowed down (its core shared with other work) then holds the load up by a range,
    // not by its share of the file. Each range costs a store and the copy of its records, so
    // the ranges stay large: four times minChunk, 16 MB by default (measured on two cores: the
    // national set read in a median of 87-100 ms, as with halves, but its slowest quarter of
    // rounds in 90-140 ms against 110-330 ms).
    if (cores > 1) {
        parts = std::max(parts,
                         static_cast<int>(std::min<off_t>(byChunk / 4, std::min(cores * 3, 64))));
    }
    return parts;
}

// Reads the file's lines on up to `threads` threads, in ranges of whole lines of at least
// minChunk bytes, and files the targets in file order. The first range that fails ends the
// load after its targets, as one reader from the start would have stopped there.
int ReadTargetsInParts(int fd, off_t size, TargetStore& store, const FilePlan& plan,
                       const LoadParallelism& parallel) {
    const int cores = std::min(parallel.threads > 0 ? parallel.threads : UsableCores(), 64);
    const int parts = RangesFor(size, cores, parallel.minChunkBytes);
    const std::vector<off_t> cuts = CutAtLineStarts(fd, size, parts);
    std::vector<Part> part(cuts.size() - 1);
    for (size_t i = 0; i < part.size(); ++i) {
        part[i].begin = cuts[i];
        part[i].end = cuts[i + 1];
    }
    part[0].store = &store;  // the first range files straight into the grid
    try {
        for (size_t i = 1; i < part.size(); ++i) {
            part[i].own = std::make_unique<TargetStore>();
            part[i].store = part[i].own.get();
        }
    } catch (const std::exception&) {
        // The ranges left without a store fail the load from there on.
    }
    // Each thread, this one too, takes the next range not taken yet until none is left.
    InQueue(std::min(cores, static_cast<int>(part.size())), part.size(), [&](int, size_t i) {
        if (part[i].store) {
            ReadPart(fd, part[i], plan);
        } else {
            part[i].result = kLoadNoMemory;  // no memory for its store
        }
    });
    int result = 0;
    for (size_t i = 0; i < part.size(); ++i) {
        if (plan.report) {
            plan.report->dmsLines += part[i].forms.dmsLines;
            plan.report->decimalLines += part[i].forms.decimalLines;
            plan.report->mixedLines += part[i].forms.mixedLines;
        }
        if (i > 0 && !store.Append(*part[i].store)) {
            return kLoadNoMemory;
        }
        if (part[i].result != 0) {
            result = part[i].result;
            break;
        }
    }
    return result;
}

}  // namespace

int LoadLocationInfoFileUnindexed(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                                  const TextFileReader::ReadFunction& read,
                                  const CoordinateKeywords& keywords,
                                  LocationInfoFileReport* report, const LoadParallelism& parallel) {
    LocationInfoFileReport unused;
    if (!report) {
        report = &unused;
    }
    *report = LocationInfoFileReport{};
    if (const PlaceFormat format = PlaceFormatOf(path); format != PlaceFormat::kNone) {
        PlaceList places;
        const int read = ReadPlaceListFile(path, format, keywords, places);
        return report->result = read != 0 ? read : AddPlaceList(grid, columns, places, report);
    }
    std::vector<std::u16string> header;
    TextEncoding encoding;
    if (ReadCsvHeader(path, header, &encoding) != 0) {
        return report->result = kLoadCannotOpen;
    }
    report->headerRead = true;
    report->encoding = encoding;
    ApplyHeader(columns, header, keywords);
    if (!columns.Present(0) || !columns.Present(1)) {
        // Chosen: such a file is rejected at once (its captions stay, as for any file read).
        return report->result = kLoadCannotOpen;
    }
    int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return report->result = kLoadCannotOpen;
    }
    FilePlan plan = MakePlan(columns, encoding);
    plan.report = report;
    const off_t size = FileSize(fd);
    int result;
    if (read || size < 0) {
        // A given read function reads the file from its start, in one piece.
        result = ReadInto([&] { return LineScanner(fd, read, BlockFor(size)); }, grid.store(), plan,
                          true, size);
    } else {
        result = ReadTargetsInParts(fd, size, grid.store(), plan, parallel);
    }
    ::close(fd);
    return report->result = result;
}

int AddPlaceList(TargetGrid& grid, ColumnMap& columns, const PlaceList& places,
                 LocationInfoFileReport* report) {
    // The captions as the header of a file whose items follow its two coordinate columns; the
    // items of each place are its line after them.
    std::vector<std::u16string> header{u"緯度", u"経度"};
    for (const std::string& caption : places.captions) {
        header.push_back(FromUtf8(caption));
    }
    ApplyHeader(columns, header, {});
    FilePlan plan = MakePlan(columns, TextEncoding::kUtf8);
    if (report) {
        report->headerRead = true;
        report->encoding = TextEncoding::kUtf8;
        report->placePoints = places.places.size();
        report->skippedShapes = places.skippedShapes;
    }
    TargetStore& store = grid.store();
    store.ExpectLineBytes(places.itemBytes.size());
    int result = 0;
    for (const PlaceList::Place& place : places.places) {
        DmsAngle lat, lon;
        if (WgsDegreesToTokyo(place.lat, place.lon, lat, lon) == PointForm::kDecimal &&
            (result = FileTarget(store, plan, ArcAngle(lat), ArcAngle(lon), places.Items(place),
                                 2)) != 0) {
            break;
        }
    }
    store.EndLines();
    return result;
}

void IndexTargetGrid(TargetGrid& grid) {
    TargetStore& store = grid.store();
    const int cores = UsableCores();
    // The nearest search needs only the points, so the texts are decoded behind the index, on
    // all cores but the one the caller goes on with. A short load is decoded at once. The index
    // of a large load runs on every core, so the decoding starts once it stands (measured on two
    // cores: the index 12 ms sooner for the national set and 4-8 ms for the town points, the
    // texts about as soon).
    constexpr size_t kDecodeBehind = 8192;
    store.BuildIndex(cores);
    if (store.size() < kDecodeBehind) {
        store.FinishTexts();
        return;
    }
    store.StartDecodingTexts(std::max(1, cores - 1));
}

int LoadLocationInfoFile(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                         const CoordinateKeywords& keywords) {
    int result = LoadLocationInfoFileUnindexed(grid, columns, path, {}, keywords);
    IndexTargetGrid(grid);
    return result;
}

int LoadAllLocationInfoFiles(TargetGrid& grid, ColumnMap& columns,
                             const LocationInfoFileList& files, const CoordinateKeywords& keywords,
                             std::vector<LocationInfoFileReport>* reports) {
    if (reports) {
        reports->clear();
    }
    for (const std::u16string& file : files) {
        if (file.empty()) {
            break;
        }
        LocationInfoFileReport report;
        LoadLocationInfoFileUnindexed(grid, columns, FileNameFromUtf16(file), {}, keywords,
                                      &report);
        if (reports) {
            reports->push_back(report);
        }
    }
    IndexTargetGrid(grid);
    return 0;
}

}  // namespace zentorak
