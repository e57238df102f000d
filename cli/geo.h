// Distances on the earth, for the --near circles and the duplicate check.
#pragma once

namespace navaid::cli {

// Great-circle distance in nautical miles between two points in degrees.
double DistanceNm(double lat1, double lon1, double lat2, double lon2);

}  // namespace navaid::cli
