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
#include "core/locinfo/file_columns.h"
#include "core/locinfo/file_encoding.h"
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

// AddLine's answer for a line that gives no target.
constexpr int kLineSkipped = 1;

// What one file's lines need: the columns of the coordinates, how many fields a line must have
// to give a target, and how the items are taken from the lines.
struct FilePlan {
    size_t latColumn = 0, lonColumn = 0;
    size_t needed = 3;  // fields: both coordinate columns and at least three in all
    bool usual = true;  // the coordinates are the first two of three or more columns
    std::shared_ptr<const ItemPlan> items;
    LocationInfoFileReport* report = nullptr;  // where the lines' forms and skips are counted
    bool checkUtf8 = false;                    // the lines decide the encoding: tally them
};

// The plan of a file whose columns are chosen, with the slot each of its items goes to.
FilePlan MakePlan(const FileColumns& columns, const std::vector<int>& itemSlots,
                  std::shared_ptr<ItemPlan> items) {
    FilePlan plan;
    plan.latColumn = static_cast<size_t>(columns.lat);
    plan.lonColumn = static_cast<size_t>(columns.lon);
    plan.needed = std::max({size_t{3}, plan.latColumn + 1, plan.lonColumn + 1});
    plan.usual = plan.latColumn == 0 && plan.lonColumn == 1 && plan.needed == 3;
    for (size_t i = 0; i < itemSlots.size(); ++i) {
        if (itemSlots[i] < 2) {
            continue;
        }
        const int k = itemSlots[i] - 2;
        const size_t c = static_cast<size_t>(columns.items[i]);
        items->column[static_cast<size_t>(k)] = static_cast<int>(c);
        if (c >= items->itemOfColumn.size()) {
            items->itemOfColumn.resize(c + 1, -1);
        }
        items->itemOfColumn[c] = static_cast<int8_t>(k);
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

// A line with nothing but blanks and separators: not counted as skipped.
bool IsEmptyLine(std::string_view line) {
    return line.find_first_not_of(" \t,") == std::string_view::npos;
}

void NoteSkipped(LocationInfoFileReport& report, size_t lineNumber) {
    if (report.skippedLines < report.firstSkipped.size()) {
        report.firstSkipped[report.skippedLines] = lineNumber;
    }
    ++report.skippedLines;
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
        return kLineSkipped;
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
// 0, kLineSkipped, or kLoadNoMemory. The line is one a LineScanner gave:
// LineScanner::kReadableAfterStart bytes from its start may be read. One piece: the loader's hot
// path, run for every line (the separators found in a function of their own cost five more
// instructions a line).
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
            return kLineSkipped;  // no third field
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
                return kLineSkipped;
            }
        } catch (const std::bad_alloc&) {
            return kLoadNoMemory;
        }
    }
    ArcAngle latArc, lonArc;
    if (!ReadAnyPoint(plan, lat, lon, latArc, lonArc)) {
        return kLineSkipped;
    }
    const uint8_t skipped = KeepAfterPoint(plan, line, second);
    return FileTarget(store, plan, latArc, lonArc, line, skipped);
}

// Reads the target lines of the scanner's bytes, after the header when skipHeader, counting the
// lines that give no target, and tallying their bytes when the plan asks. 0 at the end of the
// bytes; kLoadReadFailed; kLoadNoMemory.
int ReadTargets(LineScanner& reader, TargetStore& store, const FilePlan& plan, bool skipHeader,
                Utf8Tally& tally) {
    std::string_view bytes;
    int result = 0;
    LocationInfoFileReport& report = *plan.report;
    // Counted here, not in the report, which the compiler cannot keep in a register.
    size_t lines = report.linesRead;
    if (skipHeader) {
        ++lines;
        if ((result = reader.Next(bytes)) == kTextEndOfFile) {
            report.linesRead = lines;
            return 0;  // the header, already read, was all
        }
    }
    std::string arena;
    while (result == 0) {
        result = reader.Next(bytes);
        // The piece after the last line end is a line of its own when it holds anything: a last
        // line without a line break is not lost.
        if (result != 0 && (result != kTextEndOfFile || bytes.empty())) {
            break;
        }
        ++lines;
        if (plan.checkUtf8 && !tally.invalid) {
            tally.Add(bytes);
        }
        // The text ends at a NUL byte, as a zero-terminated line would.
        bytes = reader.UpToNul(bytes);
        const int added = AddLine(store, plan, bytes, arena);
        if (added == kLineSkipped) {
            if (!IsEmptyLine(bytes)) {
                NoteSkipped(report, lines);
            }
        } else if (added != 0) {
            report.linesRead = lines;
            return kLoadNoMemory;
        }
    }
    report.linesRead = lines;
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
    LocationInfoFileReport forms;  // line numbers counted from the range's start
    Utf8Tally tally;
    int result = 0;
};

// Reads the lines of the scanner that makeReader gives (about `bytes` of them, when known) into the
// store and writes its last page.
template <typename MakeReader>
int ReadInto(MakeReader makeReader, TargetStore& store, const FilePlan& plan, bool skipHeader,
             off_t bytes, Utf8Tally& tally) {
    if (bytes > 0) {
        store.ExpectLineBytes(static_cast<size_t>(bytes));
    }
    try {
        LineScanner reader = makeReader();
        const int result = ReadTargets(reader, store, plan, skipHeader, tally);
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
        *part.store, plan, part.begin == 0, part.end - part.begin, part.tally);
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

// Adds what one range met to the file's report, its line numbers after the lines before it.
void AddPartReport(LocationInfoFileReport& file, const LocationInfoFileReport& part) {
    file.dmsLines += part.dmsLines;
    file.decimalLines += part.decimalLines;
    file.mixedLines += part.mixedLines;
    const size_t noted = std::min(part.skippedLines, part.firstSkipped.size());
    for (size_t k = 0; k < noted; ++k) {
        if (file.skippedLines + k < file.firstSkipped.size()) {
            file.firstSkipped[file.skippedLines + k] = file.linesRead + part.firstSkipped[k];
        }
    }
    file.skippedLines += part.skippedLines;
    file.linesRead += part.linesRead;
}

// Reads the file's lines on up to `threads` threads, in ranges of whole lines of at least
// minChunk bytes, and files the targets in file order. The first range that fails ends the
// load after its targets, as one reader from the start would have stopped there.
int ReadTargetsInParts(int fd, off_t size, TargetStore& store, const FilePlan& plan,
                       const LoadParallelism& parallel, Utf8Tally& tally) {
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
        AddPartReport(*plan.report, part[i].forms);
        tally.invalid = tally.invalid || part[i].tally.invalid;
        tally.multiByte = tally.multiByte || part[i].tally.multiByte;
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

// The file's captions merged into the load's column map: the slot of each of its items. May throw
// std::bad_alloc.
std::vector<int> PlaceColumns(CaptionMerge& merge, const std::vector<std::u16string>& header,
                              const FileColumns& chosen, LocationInfoFileReport& report) {
    const auto caption = [&](int c) {
        return static_cast<size_t>(c) < header.size() ? std::u16string_view(header[c])
                                                      : std::u16string_view();
    };
    merge.PlaceCoordinates(caption(chosen.lat), caption(chosen.lon), chosen.lat, chosen.lon);
    std::vector<std::u16string> captions;
    for (int c : chosen.items) {
        captions.emplace_back(caption(c));
    }
    return merge.PlaceItems(captions, &report.unplacedCaptions, &chosen.items);
}

// Files the places of a place list as the lines of a file whose items follow its two coordinate
// columns, its captions merged into the load's column map.
int AddPlaceList(TargetGrid& grid, CaptionMerge& merge, const PlaceList& places,
                 LocationInfoFileReport& report) {
    std::vector<std::u16string> header;
    FileColumns chosen;
    std::vector<int> slots;
    std::shared_ptr<ItemPlan> items;
    try {
        PlaceListHeader(places, header, chosen);
        slots = PlaceColumns(merge, header, chosen, report);
        items = std::make_shared<ItemPlan>();
    } catch (const std::bad_alloc&) {
        return report.result = kLoadNoMemory;
    }
    items->encoding = TextEncoding::kUtf8;
    FilePlan plan = MakePlan(chosen, slots, items);
    plan.report = &report;
    report.headerRead = true;
    report.encoding = TextEncoding::kUtf8;
    report.placePoints = places.places.size();
    report.skippedShapes = places.skippedShapes;
    TargetStore& store = grid.store();
    const size_t before = grid.size();
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
    report.targets = grid.size() - before;
    return report.result = result;
}

// Reads one file into the grid, its captions merged into the load's column map.
int LoadFile(TargetGrid& grid, CaptionMerge& merge, const std::string& path,
             const TextFileReader::ReadFunction& read, const CoordinateKeywords& keywords,
             LocationInfoFileReport& report, const LoadParallelism& parallel) {
    report = LocationInfoFileReport{};
    if (const PlaceFormat format = PlaceFormatOf(path); format != PlaceFormat::kNone) {
        PlaceList places;
        const int read = ReadPlaceListFile(path, format, keywords, places);
        return report.result = read != 0 ? read : AddPlaceList(grid, merge, places, report);
    }
    FileStart start;
    const int opened = ReadFileStart(path, start);
    if (opened != 0) {
        return report.result = opened == kLoadNoMemory ? kLoadNoMemory : kLoadCannotOpen;
    }
    report.headerRead = true;
    if (start.head.empty()) {
        return report.result = kLoadCannotOpen;  // not even a header
    }
    const std::vector<std::u16string>& header = start.header;
    const FileColumns chosen =
        ChooseFileColumns(header, std::string_view(start.head).substr(start.firstLine), keywords);
    report.coordinatesByCaption = chosen.byCaption;
    std::shared_ptr<ItemPlan> items;
    std::vector<int> slots;
    try {
        slots = PlaceColumns(merge, header, chosen, report);
        items = std::make_shared<ItemPlan>();
    } catch (const std::bad_alloc&) {
        return report.result = kLoadNoMemory;
    }
    items->encoding = start.encoding.encoding;
    int fd = OpenRegularFileForReading(path);
    if (fd < 0) {
        return report.result = kLoadCannotOpen;
    }
    FilePlan plan = MakePlan(chosen, slots, items);
    plan.report = &report;
    plan.checkUtf8 = !start.encoding.settled;
    const off_t size = FileSize(fd);
    const size_t before = grid.size();
    Utf8Tally tally;
    int result;
    if (read || size < 0) {
        // A given read function reads the file from its start, in one piece.
        result = ReadInto([&] { return LineScanner(fd, read, BlockFor(size)); }, grid.store(), plan,
                          true, size, tally);
    } else {
        result = ReadTargetsInParts(fd, size, grid.store(), plan, parallel, tally);
    }
    ::close(fd);
    // The whole file decides its encoding; its items are decoded only after the load.
    items->encoding = FinalEncoding(start.encoding, tally);
    report.encoding = items->encoding;
    report.markedButNotUtf8 = MarkedButNotUtf8(start.encoding, items->encoding);
    report.targets = grid.size() - before;
    return report.result = result;
}

}  // namespace

int LoadLocationInfoFileUnindexed(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                                  const TextFileReader::ReadFunction& read,
                                  const CoordinateKeywords& keywords,
                                  LocationInfoFileReport* report, const LoadParallelism& parallel) {
    LocationInfoFileReport unused;
    CaptionMerge merge(columns);
    return LoadFile(grid, merge, path, read, keywords, report ? *report : unused, parallel);
}

int AddPlaceList(TargetGrid& grid, ColumnMap& columns, const PlaceList& places,
                 LocationInfoFileReport* report) {
    LocationInfoFileReport unused;
    CaptionMerge merge(columns);
    return AddPlaceList(grid, merge, places, report ? *report : unused);
}

bool IndexTargetGrid(TargetGrid& grid) {
    TargetStore& store = grid.store();
    const int cores = UsableCores();
    // The nearest search needs only the points, so the texts are decoded behind the index, on
    // all cores but the one the caller goes on with. A short load is decoded at once. The index
    // of a large load runs on every core, so the decoding starts once it stands (measured on two
    // cores: the index 12 ms sooner for the national set and 4-8 ms for the town points, the
    // texts about as soon).
    constexpr size_t kDecodeBehind = 8192;
    const bool indexed = store.BuildIndex(cores);
    if (store.size() < kDecodeBehind) {
        store.FinishTexts();
    } else {
        store.StartDecodingTexts(std::max(1, cores - 1));
    }
    return indexed;
}

int LoadLocationInfoFile(TargetGrid& grid, ColumnMap& columns, const std::string& path,
                         const CoordinateKeywords& keywords) {
    int result = LoadLocationInfoFileUnindexed(grid, columns, path, {}, keywords);
    if (!IndexTargetGrid(grid) && result == 0) {
        result = kLoadNoMemory;
    }
    return result;
}

int LoadAllLocationInfoFiles(TargetGrid& grid, ColumnMap& columns,
                             const LocationInfoFileList& files, const CoordinateKeywords& keywords,
                             std::vector<LocationInfoFileReport>* reports) {
    if (reports) {
        reports->clear();
    }
    CaptionMerge merge(columns);
    for (const std::u16string& file : files) {
        if (file.empty()) {
            break;
        }
        LocationInfoFileReport report;
        // A file that ran out of memory keeps what it read and says so in its report.
        LoadFile(grid, merge, FileNameFromUtf16(file), {}, keywords, report, {});
        if (reports) {
            reports->push_back(std::move(report));
        }
    }
    return IndexTargetGrid(grid) ? 0 : kLoadNoMemory;
}

}  // namespace zentorak
