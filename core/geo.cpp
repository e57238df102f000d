#include "geo.h"

#include <algorithm>
#include <cmath>

namespace navaid {

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr double kEarthRadiusNm = 3440.065;
constexpr double kRad = kPi / 180.0;
}  // namespace

double DistanceNm(double lat1, double lon1, double lat2, double lon2) {
    double dLat = (lat2 - lat1) * kRad;
    double dLon = (lon2 - lon1) * kRad;
    double a =
        std::sin(dLat / 2) * std::sin(dLat / 2) +
        std::cos(lat1 * kRad) * std::cos(lat2 * kRad) * std::sin(dLon / 2) * std::sin(dLon / 2);
    return 2 * kEarthRadiusNm * std::asin(std::sqrt(std::min(1.0, a)));
}

double LongitudeReach(double nm, double maxAbsLat) {
    // The distance is at least 2R asin(cos(maxAbsLat) sin(dLon / 2)).
    const double reach = std::sin(std::min(nm / (2 * kEarthRadiusNm), kPi / 2));
    const double band = std::cos(std::min(std::fabs(maxAbsLat), 90.0) * kRad);
    if (reach >= band) return 180;
    return 2 * std::asin(reach / band) / kRad;
}

bool Inside(const std::optional<Circle>& circle, double lat, double lon) {
    if (!circle) return true;
    if (!std::isfinite(lat) || !std::isfinite(lon)) return false;
    return DistanceNm(circle->lat, circle->lon, lat, lon) <= circle->nm;
}

bool PositionInRange(double lat, double lon) {
    // Written so that NaN is out of range too.
    return std::fabs(lat) <= 90 && std::fabs(lon) <= 180;
}

}  // namespace navaid
