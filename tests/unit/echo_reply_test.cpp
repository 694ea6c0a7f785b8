#include "remote/echo_reply.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace {

// IP_STATUS values that the ICMP library puts into a reply record for an error report.
constexpr uint32_t kDestinationNetUnreachable = 11002;
constexpr uint32_t kDestinationHostUnreachable = 11003;
constexpr uint32_t kTimeToLiveExpiredInTransit = 11013;
constexpr uint32_t kRequestTimedOut = 11010;

struct EchoCase {
    const char* what;
    uint32_t replyCount;
    uint32_t status;
    uint32_t roundTripTime;
    int64_t expected;
};

void PrintTo(const EchoCase& c, std::ostream* os) {
    *os << c.what;
}

class EchoReplyTimeTest : public testing::TestWithParam<EchoCase> {};

TEST_P(EchoReplyTimeTest, GivesTheProbeResult) {
    const EchoCase& c = GetParam();
    EXPECT_EQ(EchoReplyTime(c.replyCount, c.status, c.roundTripTime), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Answered, EchoReplyTimeTest,
    testing::Values(EchoCase{"reply under a millisecond", 1, kEchoReplySuccess, 0, 0},
                    EchoCase{"reply after 17 ms", 1, kEchoReplySuccess, 17, 17},
                    EchoCase{"slowest reply of the time-out", 1, kEchoReplySuccess, 1000, 1000},
                    EchoCase{"more than one record: the first decides", 2, kEchoReplySuccess, 3, 3},
                    // The time is a signed 32-bit value widened, not an unsigned one.
                    EchoCase{"time with the top bit set", 1, kEchoReplySuccess, 0x80000000u,
                             INT32_MIN}));

INSTANTIATE_TEST_SUITE_P(
    NotAnswered, EchoReplyTimeTest,
    testing::Values(
        EchoCase{"no record", 0, kEchoReplySuccess, 0, -1},
        EchoCase{"no record, stale time", 0, kEchoReplySuccess, 25, -1},
        EchoCase{"no record, time-out status", 0, kRequestTimedOut, 0, -1},
        // An error report arrives as one record with a time; the machine did not answer.
        EchoCase{"host unreachable", 1, kDestinationHostUnreachable, 0, -1},
        EchoCase{"host unreachable after 4 ms", 1, kDestinationHostUnreachable, 4, -1},
        EchoCase{"net unreachable", 1, kDestinationNetUnreachable, 1, -1},
        EchoCase{"time to live expired", 1, kTimeToLiveExpiredInTransit, 12, -1}));

}  // namespace
