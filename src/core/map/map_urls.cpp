#include "core/map/map_urls.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>

#include "core/geo/datum.h"

namespace zentorak {

namespace {

constexpr MapScale kMapionScales[] = {
    {u"1/3000", "scl=10000"},   {u"1/8000", "scl=25000"},  {u"1/21000", "scl=70000"},
    {u"1/75000", "scl=250000"}, {u"1/15万", "scl=500000"}, {u"1/30万", "scl=1000000"},
    {u"1/90万", "scl=3000000"}, {u"広域", "scl=5000000"},  {u"全国", "scl=26000000"},
};

constexpr MapScale kMapFanScales[] = {
    {u"1/1562", "ZM=12"}, {u"1/3125", "ZM=11"}, {u"1/6250", "ZM=10"}, {u"1/12500", "ZM=9"},
    {u"1/25000", "ZM=8"}, {u"1/5万", "ZM=7"},   {u"1/10万", "ZM=6"},  {u"1/20万", "ZM=5"},
    {u"1/40万", "ZM=4"},  {u"1/80万", "ZM=3"},  {u"1/160万", "ZM=2"}, {u"全国", "ZM=0"},
};

constexpr MapScale kYahooScales[] = {
    {u"1/3000", "sc=2"},  {u"1/8000", "sc=3"}, {u"1/21000", "sc=4"},
    {u"1/75000", "sc=5"}, {u"1/15万", "sc=6"}, {u"1/30万", "sc=7"},
    {u"1/90万", "sc=8"},  {u"広域", "sc=9"},   {u"全国", "sc=10"},
};

constexpr MapScale kChizumaruScales[] = {
    {u"250m", "SCL=250"},   {u"500m", "SCL=500"},     {u"1km", "SCL=1000"},
    {u"2.5km", "SCL=2500"}, {u"5km", "SCL=5000"},     {u"10km", "SCL=10000"},
    {u"20km", "SCL=20000"}, {u"100km", "SCL=100000"}, {u"200km", "SCL=200000"},
};

// Index k shows 21 - k and asks for that zoom level.
constexpr MapScale kGoogleScales[] = {
    {u"20", "z=20"}, {u"19", "z=19"}, {u"18", "z=18"}, {u"17", "z=17"}, {u"16", "z=16"},
    {u"15", "z=15"}, {u"14", "z=14"}, {u"13", "z=13"}, {u"12", "z=12"}, {u"11", "z=11"},
    {u"10", "z=10"}, {u"9", "z=9"},   {u"8", "z=8"},   {u"7", "z=7"},   {u"6", "z=6"},
    {u"5", "z=5"},   {u"4", "z=4"},   {u"3", "z=3"},   {u"2", "z=2"},   {u"1", "z=1"},
};

// The tile maps' zoom levels. Each level halves the scale, as MapFanWeb's steps do, so they carry
// its labels: at Japan's latitudes zoom 14 shows about 1/26000 to 1/33000 on a 96-dpi screen,
// 18 is the street, and 5 the whole country from Kyushu to Hokkaido.
constexpr MapScale kZoomScales[] = {
    {u"1/1562", "18"},  {u"1/3125", "17"}, {u"1/6250", "16"}, {u"1/12500", "15"},
    {u"1/25000", "14"}, {u"1/5万", "13"},  {u"1/10万", "12"}, {u"1/20万", "11"},
    {u"1/40万", "10"},  {u"1/80万", "9"},  {u"1/160万", "8"}, {u"全国", "5"},
};

constexpr std::array<MapService, kMapServiceCount> kServices = {{
    {1, u"Mapion", "http://www.mapion.co.jp/c/f", kMapionScales, 2},
    {2, u"MapFanWeb", "http://www.mapfan.com/m.cgi", kMapFanScales, 5},
    {3, u"Yahoo地図", "http://map.yahoo.co.jp/pl", kYahooScales, 4},
    {4, u"ちず丸", "http://www.chizumaru.com/dbh/willcom/listmap0.aspx", kChizumaruScales, 2},
    {5, u"Google", "http://maps.google.co.jp/m/local", kGoogleScales, 7},
    {6, u"地理院地図", "https://maps.gsi.go.jp/", kZoomScales, 5},
    {7, u"OpenStreetMap", "https://www.openstreetmap.org/", kZoomScales, 5},
}};

// "%f" without the locale: the UI sets LC_NUMERIC from the user, and a decimal comma would
// break the URL.
std::string Fixed6(double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    return ec == std::errc() ? std::string(buffer, end) : std::string("0.000000");
}

std::string Printf(const char* format, auto... args) {
    char buffer[256];
    int n = std::snprintf(buffer, sizeof buffer, format, args...);
    return std::string(buffer,
                       n > 0 ? std::min<size_t>(static_cast<size_t>(n), sizeof buffer - 1) : 0);
}

// deg%2Fmin%2Fsec.msec, as services 1 and 3 take it.
std::string SlashedDms(const DmsAngle& a) {
    return Printf("%d%%2F%d%%2F%d.%03d", a.deg, a.min, a.sec, a.msec);
}

// What follows the service's address: the query of services 1..5, the fragment (and for
// OpenStreetMap the marker's query) of the tile maps.
std::string PointAndScale(int id, std::string_view p, const DmsAngle& lat, const DmsAngle& lon,
                          bool googleCorrection) {
    std::string scale(p);
    switch (id) {
        case 1:
            return "?uc=1&nl=" + SlashedDms(lat) + "&el=" + SlashedDms(lon) + "&" + scale +
                   "&size=450,400&grp=Air";
        case 2: {
            std::string point = Printf("E%d.%d.%d.%dN%d.%d.%d.%d", lon.deg, lon.min, lon.sec,
                                       lon.msec / 100, lat.deg, lat.min, lat.sec, lat.msec / 100);
            return "?F=n&MAP=" + point + "&" + scale + "&SMAP=" + point;
        }
        case 3:
            return "?lat=" + SlashedDms(lat) + "&lon=" + SlashedDms(lon) + "&layer=0&" + scale +
                   "&mode=map&size=s&type=static&pointer=on&column=close";
        case 4: {
            auto seconds = [](const DmsAngle& a) {
                return ((a.deg * 60.0 + a.min) * 60.0) + a.msec * 0.001 + a.sec;
            };
            return "?account=willcom&accmd=0&arg=&x=" + Fixed6(seconds(lon)) +
                   "&y=" + Fixed6(seconds(lat)) + "&" + scale + "&clk=&pg=&c1=0";
        }
        case 6:
        case 7: {
            // Six decimals move the point by 6 cm at most, well inside what a street map shows.
            double la = 0, lo = 0;
            TokyoToWgs84(DmsToDegrees(lat), DmsToDegrees(lon), la, lo);
            const std::string point = Fixed6(la) + "/" + Fixed6(lo);
            if (id == 6) {
                return "#" + scale + "/" + point + "/";
            }
            return "?mlat=" + Fixed6(la) + "&mlon=" + Fixed6(lo) + "#map=" + scale + "/" + point;
        }
        default: {
            double la = DmsToDegrees(lat), lo = DmsToDegrees(lon);
            if (googleCorrection) {
                GoogleCorrection(la, lo, la, lo);
            }
            return "?hl=ja&ie=UTF8&ll=" + Fixed6(la) + "," + Fixed6(lo) +
                   "&spn=1.036388,1.653442&" + scale;
        }
    }
}

}  // namespace

std::span<const MapService> MapServices() {
    return kServices;
}

const MapService* FindMapService(int id) {
    return id >= 1 && id <= kMapServiceCount ? &kServices[static_cast<size_t>(id - 1)] : nullptr;
}

std::string MapUrl(int serviceId, int scaleIx, const DmsAngle& lat, const DmsAngle& lon,
                   bool googleCorrection) {
    const MapService* service = FindMapService(serviceId);
    if (!service) {
        service = FindMapService(kDefaultMapServiceId);
    }
    if (scaleIx < 1 || static_cast<size_t>(scaleIx) > service->scales.size()) {
        scaleIx = service->defaultScaleIx;
    }
    std::string_view p = service->scales[static_cast<size_t>(scaleIx - 1)].parameter;
    return std::string(service->address) +
           PointAndScale(service->id, p, lat, lon, googleCorrection);
}

}  // namespace zentorak
