#include "remote/echo_reply.h"

int64_t EchoReplyTime(uint32_t replyCount, uint32_t status, uint32_t roundTripTime) {
    if (replyCount == 0 || status != kEchoReplySuccess) return -1;
    return int64_t(int32_t(roundTripTime));
}
