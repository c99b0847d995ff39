// GeoJSON point features through simdjson's document reader, which keeps an object's members in
// the file's order.
#include <simdjson.h>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "core/locinfo/place_list.h"

namespace zentorak {

namespace {

using simdjson::dom::element;
using simdjson::dom::element_type;

// A GeometryCollection in a GeometryCollection... is followed this deep.
constexpr int kMaxNesting = 8;

bool IsName(std::string_view key) {
    if (key.size() != 4) {
        return false;
    }
    for (size_t i = 0; i < 4; ++i) {
        const char c = key[i] >= 'A' && key[i] <= 'Z' ? static_cast<char>(key[i] + 32) : key[i];
        if (c != "name"[i]) {
            return false;
        }
    }
    return true;
}

std::string_view StringMember(const element& object, std::string_view key) {
    std::string_view value;
    return object[key].get_string().get(value) == simdjson::SUCCESS ? value : std::string_view();
}

// A property's text: a string as it is (a view into the parser), null as nothing, anything
// else as its JSON text (kept in spare).
std::string_view ValueText(const element& value, std::string& spare) {
    switch (value.type()) {
        case element_type::STRING:
            return value.get_string().value_unsafe();
        case element_type::NULL_VALUE:
            return {};
        default:
            spare = simdjson::minify(value);
            return spare;
    }
}

void ReadProperties(const element& feature, PlaceListBuilder& places) {
    simdjson::dom::object properties;
    if (feature["properties"].get_object().get(properties) != simdjson::SUCCESS) {
        return;
    }
    std::string spare;
    for (const simdjson::dom::key_value_pair member : properties) {
        if (IsName(member.key)) {
            places.Name(ValueText(member.value, spare));
        } else {
            places.Field(member.key, ValueText(member.value, spare));
        }
    }
}

// A [longitude, latitude, ...] position.
bool ReadPosition(const element& position, double& lat, double& lon) {
    simdjson::dom::array numbers;
    return position.get_array().get(numbers) == simdjson::SUCCESS && numbers.size() >= 2 &&
           numbers.at(0).get_double().get(lon) == simdjson::SUCCESS &&
           numbers.at(1).get_double().get(lat) == simdjson::SUCCESS;
}

// Adds the points of the geometry with the fields given; any other shape is counted as left out.
void ReadGeometry(const element& geometry, PlaceListBuilder& places, int depth) {
    const std::string_view type = StringMember(geometry, "type");
    double lat, lon;
    if (type == "Point") {
        element position;
        if (geometry["coordinates"].get(position) == simdjson::SUCCESS &&
            ReadPosition(position, lat, lon)) {
            places.Point(lat, lon);
        }
    } else if (type == "MultiPoint") {
        simdjson::dom::array positions;
        if (geometry["coordinates"].get_array().get(positions) == simdjson::SUCCESS) {
            for (const element position : positions) {
                if (ReadPosition(position, lat, lon)) {
                    places.Point(lat, lon);
                }
            }
        }
    } else if (type == "GeometryCollection") {
        simdjson::dom::array members;
        if (depth < kMaxNesting &&
            geometry["geometries"].get_array().get(members) == simdjson::SUCCESS) {
            for (const element member : members) {
                ReadGeometry(member, places, depth + 1);
            }
        }
    } else if (type == "LineString" || type == "MultiLineString" || type == "Polygon" ||
               type == "MultiPolygon") {
        places.SkipShape();
    }
}

void ReadFeature(const element& feature, PlaceListBuilder& places) {
    places.Clear();
    ReadProperties(feature, places);
    element geometry;
    if (feature["geometry"].get(geometry) == simdjson::SUCCESS &&
        geometry.type() == element_type::OBJECT) {
        ReadGeometry(geometry, places, 0);
    }
}

}  // namespace

int ReadGeoJsonPlaces(std::string& bytes, PlaceListBuilder& places) {
    simdjson::dom::parser parser;
    element root;
    const bool padded = bytes.capacity() - bytes.size() >= simdjson::SIMDJSON_PADDING;
    const simdjson::error_code parsed = parser.parse(bytes.data(), bytes.size(), !padded).get(root);
    if (parsed == simdjson::MEMALLOC) {
        throw std::bad_alloc();
    }
    if (parsed != simdjson::SUCCESS || root.type() != element_type::OBJECT) {
        return kLoadCannotOpen;
    }
    const std::string_view type = StringMember(root, "type");
    if (type == "FeatureCollection") {
        simdjson::dom::array features;
        if (root["features"].get_array().get(features) != simdjson::SUCCESS) {
            return kLoadCannotOpen;
        }
        for (const element feature : features) {
            if (feature.type() == element_type::OBJECT) {
                ReadFeature(feature, places);
            }
        }
    } else if (type == "Feature") {
        ReadFeature(root, places);
    } else if (!type.empty()) {
        places.Clear();
        ReadGeometry(root, places, 0);  // a bare geometry
    } else {
        return kLoadCannotOpen;
    }
    return 0;
}

}  // namespace zentorak
