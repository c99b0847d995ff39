// GeoJSON point features through simdjson's On-Demand reader: the document is walked once where
// it lies, without building a tree of it, and an object's members come in the file's order.
#include <simdjson.h>
#include <new>
#include <string>
#include <string_view>
#include <utility>

#include "core/locinfo/place_list.h"

namespace zentorak {

namespace {

namespace od = simdjson::ondemand;

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

// A number written as the shortest text reads back: an integer with no sign but '-' and no zero
// but itself first (as JSON has them) other than "-0".
bool IsPlainInteger(std::string_view text) {
    if (text.empty() || text == "-0") {
        return false;
    }
    for (char c : text) {
        if (c == '.' || c == 'e' || c == 'E') {
            return false;
        }
    }
    return text.size() < 19;  // within 64 bits
}

std::string_view TrimmedToken(std::string_view token) {
    while (!token.empty() && (token.back() == ' ' || token.back() == '\t' || token.back() == '\n' ||
                              token.back() == '\r')) {
        token.remove_suffix(1);
    }
    return token;
}

class Reader {
public:
    explicit Reader(PlaceListBuilder& places) : places_(places) {}
    bool broken() const { return broken_; }

    void ReadFeature(od::object feature) {
        places_.Clear();
        od::object properties;
        if (Check(feature["properties"].get_object().get(properties))) {
            ReadProperties(properties);
        }
        od::object geometry;
        if (!broken_ && Check(feature["geometry"].get_object().get(geometry))) {
            ReadGeometry(geometry, 0);
        }
    }

    // Adds the points of the geometry with the fields given; any other shape is counted as
    // left out.
    void ReadGeometry(od::object geometry, int depth) {
        std::string_view type;
        if (!Check(geometry["type"].get_string().get(type))) {
            type = {};
        }
        if (broken_) {
            return;
        }
        double lat, lon;
        if (type == "Point") {
            od::value position;
            if (Check(geometry["coordinates"].get(position)) && ReadPosition(position, lat, lon)) {
                places_.Point(lat, lon);
            }
        } else if (type == "MultiPoint") {
            od::array positions;
            if (Check(geometry["coordinates"].get_array().get(positions))) {
                for (auto item : positions) {
                    od::value position;
                    if (Check(std::move(item).get(position)) && ReadPosition(position, lat, lon)) {
                        places_.Point(lat, lon);
                    }
                    if (broken_) {
                        return;
                    }
                }
            }
        } else if (type == "GeometryCollection") {
            od::array members;
            if (depth < kMaxNesting && Check(geometry["geometries"].get_array().get(members))) {
                for (auto item : members) {
                    od::value member;
                    od::object object;
                    if (Check(std::move(item).get(member)) &&
                        Check(member.get_object().get(object))) {
                        ReadGeometry(object, depth + 1);
                    }
                    if (broken_) {
                        return;
                    }
                }
            }
        } else if (type == "LineString" || type == "MultiLineString" || type == "Polygon" ||
                   type == "MultiPolygon") {
            places_.SkipShape();
        }
    }

    // false for an error; an error of the document, not of a value's type or a missing member,
    // breaks the reading: nothing of the document may be asked for after it.
    bool Check(simdjson::error_code error) {
        if (error == simdjson::MEMALLOC) {
            throw std::bad_alloc();
        }
        broken_ = broken_ || (error != simdjson::SUCCESS && error != simdjson::INCORRECT_TYPE &&
                              error != simdjson::NO_SUCH_FIELD);
        return error == simdjson::SUCCESS;
    }

private:
    void ReadProperties(od::object properties) {
        for (auto item : properties) {
            od::field member;
            std::string_view key, text;
            if (!Check(std::move(item).get(member)) || !Check(member.unescaped_key().get(key)) ||
                !ValueText(member.value(), text)) {
                return;
            }
            if (IsName(key)) {
                places_.Name(text);
            } else {
                places_.Field(key, text);
            }
        }
    }

    // A property's text: a string as it is, null as nothing, anything else as its JSON text
    // without blanks (numbers in their shortest form). false when the document is broken.
    bool ValueText(od::value value, std::string_view& text) {
        od::json_type type;
        if (!Check(value.type().get(type))) {
            return false;
        }
        std::string_view raw;
        switch (type) {
            case od::json_type::string:
                return Check(value.get_string().get(text));
            case od::json_type::null:
                text = {};
                return true;
            case od::json_type::object: {
                od::object object;
                if (!Check(value.get_object().get(object)) || !Check(object.raw_json().get(raw))) {
                    return false;
                }
                break;
            }
            case od::json_type::array: {
                od::array array;
                if (!Check(value.get_array().get(array)) || !Check(array.raw_json().get(raw))) {
                    return false;
                }
                break;
            }
            default:
                raw = TrimmedToken(value.raw_json_token());
                if (type == od::json_type::boolean ||
                    (type == od::json_type::number && IsPlainInteger(raw))) {
                    text = raw;
                    return true;
                }
        }
        // Written again from a tree of it, as the document reader writes a value.
        simdjson::dom::element element;
        if (!Check(spareParser_.parse(raw.data(), raw.size(), true).get(element))) {
            return false;
        }
        spare_ = simdjson::minify(element);
        text = spare_;
        return true;
    }

    // A [longitude, latitude, ...] position.
    bool ReadPosition(od::value position, double& lat, double& lon) {
        od::array numbers;
        if (!Check(position.get_array().get(numbers))) {
            return false;
        }
        size_t count = 0;
        bool numbersRead = true;
        for (auto item : numbers) {
            if (count < 2) {
                od::value number;
                double value = 0;
                numbersRead = Check(std::move(item).get(number)) &&
                              Check(number.get_double().get(value)) && numbersRead;
                (count == 0 ? lon : lat) = value;
            }
            if (broken_) {
                return false;
            }
            ++count;
        }
        return numbersRead && count >= 2 && !broken_;
    }

    PlaceListBuilder& places_;
    simdjson::dom::parser spareParser_;
    std::string spare_;
    bool broken_ = false;
};

}  // namespace

int ReadGeoJsonPlaces(PlaceBytes bytes, PlaceListBuilder& places) {
    od::parser parser;
    od::document document;
    simdjson::padded_string copy;
    simdjson::error_code parsed;
    if (bytes.room >= simdjson::SIMDJSON_PADDING) {
        parsed = parser.iterate(bytes.data, bytes.size, bytes.size + bytes.room).get(document);
    } else {
        copy = simdjson::padded_string(bytes.data, bytes.size);
        parsed = parser.iterate(copy).get(document);
    }
    if (parsed == simdjson::MEMALLOC) {
        throw std::bad_alloc();
    }
    od::object root;
    if (parsed != simdjson::SUCCESS || document.get_object().get(root) != simdjson::SUCCESS) {
        return kLoadCannotOpen;
    }
    std::string_view type;
    if (root["type"].get_string().get(type) != simdjson::SUCCESS) {
        return kLoadCannotOpen;
    }
    Reader reader(places);
    if (type == "FeatureCollection") {
        od::array features;
        if (root["features"].get_array().get(features) != simdjson::SUCCESS) {
            return kLoadCannotOpen;
        }
        for (auto item : features) {
            od::value feature;
            od::object object;
            if (std::move(item).get(feature) != simdjson::SUCCESS) {
                return kLoadCannotOpen;
            }
            if (reader.Check(feature.get_object().get(object))) {
                reader.ReadFeature(object);
            }
            if (reader.broken()) {
                return kLoadCannotOpen;
            }
        }
    } else if (type == "Feature") {
        reader.ReadFeature(root);
    } else if (!type.empty()) {
        places.Clear();
        reader.ReadGeometry(root, 0);  // a bare geometry
    } else {
        return kLoadCannotOpen;
    }
    return reader.broken() ? kLoadCannotOpen : 0;
}

}  // namespace zentorak
