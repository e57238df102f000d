// Positions on the earth: distances, the --near circles, the range of a position.
#pragma once

#include <optional>

namespace navaid {

// Great-circle distance in nautical miles between two points in degrees.
double DistanceNm(double lat1, double lon1, double lat2, double lon2);

// The widest difference of longitude, in degrees, at which two points that
// lie at most `maxAbsLat` degrees from the equator can be `nm` apart or less:
// a cheap test that spares the distance of most points of a latitude band.
// 180 where any difference can.
double LongitudeReach(double nm, double maxAbsLat);

// The navaids at most `nm` nautical miles from a position.
struct Circle {
    double lat, lon, nm;
};

// Whether a position lies inside the circle; always without one, never for a
// position that is not finite.
bool Inside(const std::optional<Circle>& circle, double lat, double lon);

// Whether a latitude and longitude are finite and within -90..90 and -180..180.
bool PositionInRange(double lat, double lon);

}  // namespace navaid
