#include "national_set.h"

#include <cmath>
#include <cstdio>
#include <random>
#include <stdexcept>
#include <vector>

#include "core/geo/datum.h"
#include "core/geo/dms.h"
#include "core/text/code_page.h"

namespace zentorak::bench {

namespace {

struct City {
    const char16_t* prefecture;
    const char16_t* city;
    double lat, lon;  // Tokyo datum, degrees
    double weight;
    const char16_t* areaCode;
};

// Share of the shops and the centre of each city; the spread grows with the share.
const City kCities[] = {
    {u"東京都", u"渋谷区", 35.6617, 139.7041, 14, u"03"},
    {u"東京都", u"新宿区", 35.6905, 139.7003, 12, u"03"},
    {u"東京都", u"千代田区", 35.6909, 139.7567, 8, u"03"},
    {u"東京都", u"世田谷区", 35.6433, 139.6502, 6, u"03"},
    {u"神奈川県", u"横浜市", 35.4404, 139.6413, 8, u"045"},
    {u"埼玉県", u"さいたま市", 35.8584, 139.6481, 4, u"048"},
    {u"千葉県", u"千葉市", 35.6047, 140.1265, 3, u"043"},
    {u"大阪府", u"大阪市", 34.6906, 135.5055, 10, u"06"},
    {u"京都府", u"京都市", 35.0085, 135.7713, 3, u"075"},
    {u"兵庫県", u"神戸市", 34.6882, 135.1981, 3, u"078"},
    {u"愛知県", u"名古屋市", 35.1780, 136.9098, 6, u"052"},
    {u"北海道", u"札幌市", 43.0654, 141.3538, 4, u"011"},
    {u"宮城県", u"仙台市", 38.2649, 140.8728, 2, u"022"},
    {u"広島県", u"広島市", 34.3886, 132.4578, 2, u"082"},
    {u"福岡県", u"福岡市", 33.5872, 130.4048, 4, u"092"},
    {u"新潟県", u"新潟市", 37.9143, 139.0398, 1, u"025"},
    {u"静岡県", u"髙﨑町", 34.9720, 138.3861, 1, u"054"},
    {u"熊本県", u"熊本市", 32.7999, 130.7049, 1, u"096"},
    {u"鹿児島県", u"鹿児島市", 31.5937, 130.5549, 1, u"099"},
    {u"沖縄県", u"那覇市", 26.2098, 127.6820, 1, u"098"},
};

const char16_t* kChains[] = {u"セブン－イレブン", u"ファミリーマート", u"ローソン",
                             u"㈱髙﨑商店",       u"ミニストップ",     u"デイリーヤマザキ",
                             u"喫茶ルノアール",   u"ドラッグストア①"};
const char16_t* kTowns[] = {u"本町",   u"栄町",   u"中央",   u"駅前",    u"旭町",
                            u"宮下",   u"桜丘",   u"神宮前", u"道玄坂",  u"西新宿",
                            u"丸の内", u"梅田",   u"天神",   u"大通西",  u"錦",
                            u"国分町", u"紙屋町", u"古町",   u"宇田川町"};
const char16_t* kHours[] = {u"24時間", u"7:00～23:00", u"6:00～翌2:00", u"10:00～21:00"};
const char16_t* kServices[] = {u"ATM,コピー,FAX", u"ATM", u"宅配便,チケット", u"酒,たばこ,ATM",
                               u""};
const char16_t* kNotes[] = {u"№1号店", u"第Ⅱ店舗",          u"駐車場あり",  u"①番出口すぐ",
                            u"",       u"改装中（～12月）", u"髙﨑ビル１Ｆ"};

using Encoder = std::string (*)(std::u16string_view);

// Pre-encoded pieces, so the file is assembled from bytes without a conversion per line.
struct Pieces {
    explicit Pieces(Encoder encode);
    std::vector<std::string> chains, towns, hours, services, notes, prefectures, cities, areas;
    std::string shop, station, chome, dash;
};

template <size_t N>
std::vector<std::string> Encode(Encoder encode, const char16_t* const (&texts)[N]) {
    std::vector<std::string> out;
    for (const char16_t* t : texts) {
        out.push_back(encode(t));
    }
    return out;
}

Pieces::Pieces(Encoder encode)
    : chains(Encode(encode, kChains)),
      towns(Encode(encode, kTowns)),
      hours(Encode(encode, kHours)),
      services(Encode(encode, kServices)),
      notes(Encode(encode, kNotes)),
      shop(encode(u"店")),
      station(encode(u"駅")),
      chome(encode(u"丁目")),
      dash(encode(u"－")) {
    for (const City& c : kCities) {
        prefectures.push_back(encode(c.prefecture));
        cities.push_back(encode(c.city));
        areas.push_back(encode(c.areaCode));
    }
}

std::string Dms(double degrees) {
    return ToUtf8(FormatDms(DegreesToDms(degrees)));
}

// The two coordinate cells of a point given on the Tokyo datum.
std::string Coordinates(double lat, double lon, NationalSetForm form) {
    if (form != NationalSetForm::kUtf8Decimal) {
        return Dms(lat) + "," + Dms(lon);
    }
    double wgs84Lat, wgs84Lon;
    TokyoToWgs84(lat, lon, wgs84Lat, wgs84Lon);
    char cells[48];
    std::snprintf(cells, sizeof cells, "%.7f,%.7f", wgs84Lat, wgs84Lon);
    return cells;
}

}  // namespace

void WriteNationalSet(const std::string& path, size_t count, uint32_t seed, NationalSetForm form) {
    std::mt19937_64 random(seed);
    const Encoder encode = form == NationalSetForm::kHandset
                               ? Encoder{[](std::u16string_view t) { return EncodeCp932(t); }}
                               : Encoder{[](std::u16string_view t) { return ToUtf8(t); }};
    Pieces p(encode);
    std::vector<double> weights;
    for (const City& c : kCities) {
        weights.push_back(c.weight);
    }
    std::discrete_distribution<size_t> pickCity(weights.begin(), weights.end());
    std::normal_distribution<double> normal(0.0, 1.0);
    std::uniform_int_distribution<int> digit(0, 9999);
    auto pick = [&](const std::vector<std::string>& v) -> const std::string& {
        return v[random() % v.size()];
    };
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        throw std::runtime_error("cannot write " + path);
    }
    std::string line =
        (form == NationalSetForm::kHandset ? "" : std::string(kUtf8ByteOrderMark)) +
        encode(u"緯度,経度,店名,郵便番号,住所,TEL,最寄り駅,営業時間,サービス,備考\r\n");
    std::fwrite(line.data(), 1, line.size(), file);
    for (size_t i = 0; i < count; ++i) {
        size_t c = pickCity(random);
        const City& city = kCities[c];
        // Most shops crowd the centre; a tail spreads into the suburbs and the countryside.
        double spread = (random() % 10 < 6) ? 0.02 : (random() % 4 ? 0.12 : 0.6);
        double lat = city.lat + normal(random) * spread;
        double lon = city.lon + normal(random) * spread * 1.2;
        if (lat < 20.05 || lat > 45.95 || lon < 122.05 || lon > 147.95) {
            --i;
            continue;
        }
        const std::string& town = pick(p.towns);
        char numbers[96];
        std::snprintf(numbers, sizeof numbers, "%03d-%04d", digit(random) % 1000, digit(random));
        line = Coordinates(lat, lon, form) + "," + pick(p.chains) + town + p.shop + "," + numbers +
               "," + p.prefectures[c] + p.cities[c] + town + std::to_string(1 + random() % 5) +
               p.chome + std::to_string(1 + random() % 30) + p.dash +
               std::to_string(1 + random() % 20) + ",";
        std::snprintf(numbers, sizeof numbers, "-%04d-%04d", digit(random), digit(random));
        line += p.areas[c] + numbers + "," + town + p.station + "," + pick(p.hours) + ",\"" +
                pick(p.services) + "\"," + pick(p.notes) + "\r\n";
        std::fwrite(line.data(), 1, line.size(), file);
    }
    if (std::fclose(file) != 0) {
        throw std::runtime_error("cannot write " + path);
    }
}

}  // namespace zentorak::bench
