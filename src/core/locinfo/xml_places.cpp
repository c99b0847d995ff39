// GPX waypoints and KML placemarks through pugixml. Elements are matched by their local name, so
// a document that prefixes its namespace (kml:Placemark) reads like one that does not.
#include <charconv>
#include <cstring>
#include <new>
#include <pugixml.hpp>
#include <string_view>
#include <vector>

#include "core/locinfo/place_list.h"

namespace zentorak {

namespace {

// Shapes inside shapes (a MultiGeometry in a MultiGeometry...) are followed this deep.
constexpr int kMaxNesting = 8;

std::string_view LocalName(const pugi::xml_node& node) {
    // One pass over the name: it is asked for every element read.
    const char* local = node.name();
    const char* end = local;
    for (; *end; ++end) {
        local = *end == ':' ? end + 1 : local;
    }
    return std::string_view(local, static_cast<size_t>(end - local));
}

bool Is(const pugi::xml_node& node, std::string_view localName) {
    return node.type() == pugi::node_element && LocalName(node) == localName;
}

std::string_view TextOf(const pugi::xml_node& node) {
    return node.text().get();
}

// A number with blanks around it, read without the locale.
bool ParseNumber(std::string_view text, double& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n' ||
                             text.front() == '\r')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' ||
                             text.back() == '\r')) {
        text.remove_suffix(1);
    }
    if (!text.empty() && text.front() == '+') {
        text.remove_prefix(1);
    }
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc{} && ptr == end;
}

// The document of the bytes, parsed where they lie (texts kept in their elements' nodes: half
// the nodes); false when they are none. bad_alloc when memory runs out.
bool Parse(PlaceBytes bytes, pugi::xml_document& document) {
    const pugi::xml_parse_result parsed = document.load_buffer_inplace(
        bytes.data, bytes.size, pugi::parse_default | pugi::parse_embed_pcdata);
    if (parsed.status == pugi::status_out_of_memory) {
        throw std::bad_alloc();
    }
    return static_cast<bool>(parsed);
}

pugi::xml_node RootElement(const pugi::xml_document& document, std::string_view localName) {
    for (pugi::xml_node child : document.children()) {
        if (Is(child, localName)) {
            return child;
        }
    }
    return {};
}

// The text elements under a GPX waypoint's extensions, each under its own name.
void ReadExtensions(const pugi::xml_node& node, PlaceListBuilder& places, int depth) {
    for (pugi::xml_node child : node.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        // A text element keeps its text in its own node (parse_embed_pcdata), so an element
        // child comes first when there is one.
        if (child.first_child().type() == pugi::node_element) {
            if (depth < kMaxNesting) {
                ReadExtensions(child, places, depth + 1);
            }
        } else {
            places.Field(LocalName(child), TextOf(child));
        }
    }
}

void ReadWaypoint(const pugi::xml_node& waypoint, PlaceListBuilder& places) {
    double lat, lon;
    if (!ParseNumber(waypoint.attribute("lat").value(), lat) ||
        !ParseNumber(waypoint.attribute("lon").value(), lon)) {
        return;
    }
    places.Clear();
    for (pugi::xml_node child : waypoint.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const std::string_view name = LocalName(child);
        if (name == "name") {
            places.Name(TextOf(child));
        } else if (name == "desc" || name == "cmt" || name == "type") {
            places.Field(name, TextOf(child));
        } else if (name == "link") {  // GPX 1.1: the address is the href
            places.Field(name, child.attribute("href").value());
        } else if (name == "url") {  // GPX 1.0
            places.Field("link", TextOf(child));
        } else if (name == "extensions") {
            ReadExtensions(child, places, 0);
        }
    }
    places.Point(lat, lon);
}

// The first longitude,latitude[,altitude] tuple of a KML coordinates text.
bool ParseKmlCoordinates(std::string_view text, double& lat, double& lon) {
    const size_t start = text.find_first_not_of(" \t\r\n");
    if (start == std::string_view::npos) {
        return false;
    }
    text.remove_prefix(start);
    text = text.substr(0, text.find_first_of(" \t\r\n"));
    const size_t comma = text.find(',');
    if (comma == std::string_view::npos) {
        return false;
    }
    std::string_view latText = text.substr(comma + 1);
    latText = latText.substr(0, latText.find(','));
    return ParseNumber(text.substr(0, comma), lon) && ParseNumber(latText, lat);
}

struct LatLon {
    double lat, lon;
};

// The points of a placemark's geometry; every other shape is counted as left out.
void ReadGeometry(const pugi::xml_node& node, std::vector<LatLon>& points, PlaceListBuilder& places,
                  int depth) {
    const std::string_view name = LocalName(node);
    if (name == "Point") {
        LatLon point;
        if (ParseKmlCoordinates(
                TextOf(node.find_child([](pugi::xml_node n) { return Is(n, "coordinates"); })),
                point.lat, point.lon)) {
            points.push_back(point);
        }
    } else if (name == "MultiGeometry") {
        for (pugi::xml_node child : node.children()) {
            if (child.type() == pugi::node_element && depth < kMaxNesting) {
                ReadGeometry(child, points, places, depth + 1);
            }
        }
    } else if (name == "LineString" || name == "LinearRing" || name == "Polygon" ||
               name == "Track" || name == "MultiTrack") {
        places.SkipShape();
    }
}

void ReadExtendedData(const pugi::xml_node& data, PlaceListBuilder& places) {
    for (pugi::xml_node child : data.children()) {
        if (Is(child, "Data")) {
            places.Field(child.attribute("name").value(),
                         TextOf(child.find_child([](pugi::xml_node n) { return Is(n, "value"); })));
        } else if (Is(child, "SchemaData")) {
            for (pugi::xml_node simple : child.children()) {
                if (Is(simple, "SimpleData")) {
                    places.Field(simple.attribute("name").value(), TextOf(simple));
                }
            }
        }
    }
}

void ReadPlacemark(const pugi::xml_node& placemark, PlaceListBuilder& places) {
    places.Clear();
    std::vector<LatLon> points;
    for (pugi::xml_node child : placemark.children()) {
        if (child.type() != pugi::node_element) {
            continue;
        }
        const std::string_view name = LocalName(child);
        if (name == "name") {
            places.Name(TextOf(child));
        } else if (name == "description" || name == "address" || name == "phoneNumber") {
            places.Field(name, TextOf(child));
        } else if (name == "ExtendedData") {
            ReadExtendedData(child, places);
        } else {
            ReadGeometry(child, points, places, 0);
        }
    }
    for (const LatLon& point : points) {
        places.Point(point.lat, point.lon);
    }
}

// The next node after node's subtree in document order, within root; null at the end.
pugi::xml_node NextAfter(pugi::xml_node node, const pugi::xml_node& root) {
    while (node && node != root) {
        if (pugi::xml_node next = node.next_sibling()) {
            return next;
        }
        node = node.parent();
    }
    return {};
}

}  // namespace

int ReadGpxPlaces(PlaceBytes bytes, PlaceListBuilder& places) {
    pugi::xml_document document;
    pugi::xml_node gpx;
    if (!Parse(bytes, document) || !(gpx = RootElement(document, "gpx"))) {
        return kLoadCannotOpen;
    }
    for (pugi::xml_node child : gpx.children()) {
        if (Is(child, "wpt")) {
            ReadWaypoint(child, places);
        } else if (Is(child, "rte") || Is(child, "trk")) {
            places.SkipShape();
        }
    }
    return 0;
}

int ReadKmlPlaces(PlaceBytes bytes, PlaceListBuilder& places) {
    pugi::xml_document document;
    pugi::xml_node kml;
    if (!Parse(bytes, document) || !(kml = RootElement(document, "kml"))) {
        return kLoadCannotOpen;
    }
    // Placemarks stand in Documents and Folders nested to any depth: walked without recursion.
    pugi::xml_node node = kml.first_child();
    while (node) {
        if (Is(node, "Placemark")) {
            ReadPlacemark(node, places);
            node = NextAfter(node, kml);
        } else if (node.type() == pugi::node_element && node.first_child()) {
            node = node.first_child();
        } else {
            node = NextAfter(node, kml);
        }
    }
    return 0;
}

}  // namespace zentorak
