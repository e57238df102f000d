// The checker fed a database in pieces of any size finds what it finds in one piece.
#include "check.h"
#include "test_support.h"

namespace navaid::test {
namespace {

TEST(CheckerTest, FindingsDoNotDependOnHowTheBytesArrive) {
    const std::string bytes =
        ReadAll(NAVAID_TEST_DATA "/vor.qvz").value() + ReadAll(NAVAID_TEST_DATA "/ndb.qvz").value();
    auto findings = [&](std::size_t piece) {
        cli::DatabaseChecker checker(Family::Vor);
        for (std::size_t at = 0; at < bytes.size(); at += piece)
            checker.Feed(reinterpret_cast<const std::uint8_t*>(bytes.data()) + at,
                         std::min(piece, bytes.size() - at));
        std::string text;
        for (const cli::Finding& f : checker.Finish())
            text.append(std::to_string(f.index)).append(f.text).push_back('\n');
        return text;
    };
    const std::string whole = findings(bytes.size());
    EXPECT_NE(whole.find("trailing piece of 31 bytes at offset 504"), std::string::npos) << whole;
    for (std::size_t piece : {1, 7, 55, 57, 200}) EXPECT_EQ(findings(piece), whole) << piece;
}

}  // namespace
}  // namespace navaid::test
