// Deterministic generator of realistic navaid databases for benchmarks and
// scale checks: the same family, count and seed always give the same bytes.
#pragma once

#include <cstdint>
#include <string>

#include "navaid_db.h"

namespace navaid::gen {

class NavaidGenerator {
public:
    NavaidGenerator(Family family, std::uint64_t seed);

    // The next navaid: ID of 1-4 upper-case letters, an invented place name,
    // plausible coordinates, a frequency of the family's band and a type of
    // the family.
    NavaidEntry Next();

private:
    std::uint64_t NextBits();
    double Uniform(double low, double high);
    std::uint32_t Below(std::uint32_t bound);

    Family family_;
    std::uint64_t state_;
};

// Writes `count` generated records to `path`; with `period`, the first
// `period` of them over and over, as importing one file again and again makes
// a database. False with `error` set when the file cannot be written completely.
bool WriteDatabase(Family family, std::uint64_t count, std::uint64_t seed, const std::string& path,
                   std::string& error, std::uint64_t period = 0);

// The next cycle of WriteDatabase's `count` records: the same stations in the
// same order, of every 100 of them 10 with a new frequency, 5 moved by about
// a mile, and 3 withdrawn, each in favour of a new station.
bool WriteNextCycle(Family family, std::uint64_t count, std::uint64_t seed, const std::string& path,
                    std::string& error);

// What WriteCifp wrote: its records, and the navaids of each family among them.
struct CifpCounts {
    std::uint64_t records = 0, vhf = 0, ndb = 0;
};

// An ARINC 424 file laid out as the FAA's CIFP, of about `bytes` bytes: HDR
// records, then records of 132 columns and CR LF, of which about 3 in 100
// are navaids (VHF navaids, some with a continuation record, ILS/DMEs,
// enroute and terminal NDBs) among waypoints, airports and procedure legs.
bool WriteCifp(std::uint64_t bytes, std::uint64_t seed, const std::string& path, std::string& error,
               CifpCounts& counts);

}  // namespace navaid::gen
