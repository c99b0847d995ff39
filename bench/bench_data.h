// Data for the benchmarks: a generated national set of targets in the location-info file format
// (in the handsets' form and as lists are published today, clustered like real shops), the real
// town points converted when their CSV is present, and the small measuring helpers the
// benchmarks share. Files are written once into a cache folder under the build directory.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "national_set.h"

namespace zentorak::bench {

// 1,000,000 targets; 20,000 with ZENTORAK_BENCH_SMOKE=1; ZENTORAK_BENCH_TARGETS overrides both.
size_t NationalSetSize();
bool SmokeRun();

// The generated set of n targets in one form (written on first use).
std::string NationalSetPath(size_t n, NationalSetForm form = NationalSetForm::kHandset);

// The town points converted to the file format, or "" when the source CSV is absent. The source
// is ZENTORAK_TOWNS_CSV or ../shared/data/places/geolonia-japanese-addresses-towns.csv.
std::string TownsSetPath();

// The whole file in UTF-16 by glibc iconv from CP932 alone, reading included, as a load
// includes it: the peer of the loading benchmarks.
std::u16string IconvFile(const std::string& path);

// Peak resident memory since the last ResetPeakMemory (bytes), from /proc/self/status.
void ResetPeakMemory();
size_t PeakMemory();
size_t CurrentMemory();

double Median(std::vector<double> values);
double Percentile(std::vector<double> values, double p);

}  // namespace zentorak::bench
