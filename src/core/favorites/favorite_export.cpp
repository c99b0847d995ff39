#include "core/favorites/favorite_export.h"

#include <charconv>

#include "core/geo/datum.h"
#include "core/text/code_page.h"

namespace zentorak {

namespace {

// Text for element content and attribute values. XML 1.0 allows no control character but tab,
// LF and CR, and neither U+FFFE nor U+FFFF, not even as a reference: one such character in a
// name would make the reader refuse the whole file, so it alone becomes U+FFFD. A CR goes as a
// reference, or the reader's line-end rule would turn it into LF. ToUtf8 makes a lone surrogate
// U+FFFD as well.
std::string XmlText(std::u16string_view text) {
    std::u16string escaped;
    escaped.reserve(text.size());
    for (char16_t c : text) {
        switch (c) {
            case u'&':
                escaped += u"&amp;";
                break;
            case u'<':
                escaped += u"&lt;";
                break;
            case u'>':
                escaped += u"&gt;";
                break;
            case u'"':
                escaped += u"&quot;";
                break;
            case u'\'':
                escaped += u"&apos;";
                break;
            case u'\r':
                escaped += u"&#13;";
                break;
            default:
                const bool allowed =
                    (c >= 0x20 || c == u'\t' || c == u'\n') && c != 0xFFFE && c != 0xFFFF;
                escaped += allowed ? c : u'\uFFFD';
        }
    }
    return ToUtf8(escaped);
}

// Nine decimals are a tenth of a millimetre: a point read back lands on its own millisecond of
// arc. to_chars, not printf: the locale's decimal comma must not reach the file.
std::string Degrees(double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 9);
    return std::string(buffer, ec == std::errc() ? end : buffer);
}

std::string Waypoint(const std::string& lat, const std::string& lon, const std::string& name) {
    return "  <wpt lat=\"" + lat + "\" lon=\"" + lon + "\">\n    <name>" + name +
           "</name>\n  </wpt>\n";
}

// KML gives longitude first.
std::string Placemark(const std::string& lat, const std::string& lon, const std::string& name) {
    return "    <Placemark>\n      <name>" + name + "</name>\n      <Point><coordinates>" + lon +
           "," + lat + "</coordinates></Point>\n    </Placemark>\n";
}

}  // namespace

FavoriteExport ExportFavorites(const FavoriteList& favorites, FavoriteFormat format) {
    const bool gpx = format == FavoriteFormat::kGpx;
    FavoriteExport out;
    out.document = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    out.document += gpx ? "<gpx version=\"1.1\" creator=\"ZENTORAK\" "
                          "xmlns=\"http://www.topografix.com/GPX/1/1\">\n"
                        : "<kml xmlns=\"http://www.opengis.net/kml/2.2\">\n  <Document>\n"
                          "    <name>お気に入り</name>\n";
    for (int i = 0; i < favorites.count(); ++i) {
        const FavoriteRecord& f = favorites[i];
        const double tokyoLat = DmsToDegrees(f.lat), tokyoLon = DmsToDegrees(f.lon);
        if (!(tokyoLat >= -90 && tokyoLat <= 90 && tokyoLon >= -180 && tokyoLon <= 180)) {
            out.leftOut.push_back(i);
            continue;
        }
        double lat = 0, lon = 0;
        TokyoToWgs84(tokyoLat, tokyoLon, lat, lon);
        const std::string name = XmlText(f.name);
        out.document += gpx ? Waypoint(Degrees(lat), Degrees(lon), name)
                            : Placemark(Degrees(lat), Degrees(lon), name);
    }
    out.document += gpx ? "</gpx>\n" : "  </Document>\n</kml>\n";
    return out;
}

}  // namespace zentorak
