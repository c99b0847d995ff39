// Converts positions between WGS 84, on which GPS receivers report, and the Tokyo datum (Bessel
// 1841), on which location-info files give their coordinates: a geocentric translation by the
// Tokyo-to-WGS 84 shift for Japan (-146.414, 507.337, 680.507 m), good to a few metres across
// 20-46 N, 122-148 E. Decimal degrees in and out, latitude first, heights taken as 0. Knows
// nothing of DMS angles or the grid, and is not the map service's correction (map_urls).
#pragma once

namespace zentorak {

void Wgs84ToTokyo(double lat, double lon, double& tokyoLat, double& tokyoLon);
void TokyoToWgs84(double lat, double lon, double& wgs84Lat, double& wgs84Lon);

}  // namespace zentorak
