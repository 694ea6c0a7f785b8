#include "remote/remote_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "printable.h"

namespace {

// The network-order value of a.b.c.d: a in the lowest byte.
constexpr uint32_t Address(uint32_t a, uint32_t b, uint32_t c, uint32_t d) {
    return a | (b << 8) | (c << 16) | (d << 24);
}

struct AddressCase {
    const char16_t* text;
    uint32_t value;
};

void PrintTo(const AddressCase& c, std::ostream* os) {
    *os << '"' << Narrow(c.text) << '"';
}

class ParseDottedAddressTest : public testing::TestWithParam<AddressCase> {};

TEST_P(ParseDottedAddressTest, GivesTheNetworkOrderValue) {
    EXPECT_EQ(ParseDottedAddress(GetParam().text), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Ordinary, ParseDottedAddressTest,
                         testing::Values(AddressCase{u"127.0.0.1", 0x0100007fu},
                                         AddressCase{u"10.0.0.1", 0x0100000au},
                                         AddressCase{u"192.168.1.20", Address(192, 168, 1, 20)},
                                         AddressCase{u"255.255.255.255", 0xffffffffu},
                                         AddressCase{u"0.0.0.0", 0u},
                                         AddressCase{u"1.2.3.4", 0x04030201u}));

INSTANTIATE_TEST_SUITE_P(
    Lenient, ParseDottedAddressTest,
    testing::Values(
        // Octets keep their low 8 bits: 300 -> 44, 256 -> 0, -1 -> 255.
        AddressCase{u"10.0.0.300", Address(10, 0, 0, 44)},
        AddressCase{u"256.1.1.1", Address(0, 1, 1, 1)},
        AddressCase{u"-1.0.0.0", Address(255, 0, 0, 0)},
        AddressCase{u"1.2.3.-1", Address(1, 2, 3, 255)},
        AddressCase{u"$FF.$10.%101.7", Address(255, 16, 5, 7)},
        // Blanks before a number are skipped; anything after its digits is ignored.
        AddressCase{u" 10.0.0.1", Address(10, 0, 0, 1)},
        AddressCase{u"10.\t0. 0.1", Address(10, 0, 0, 1)},
        AddressCase{u"10x.0.0.1 ", Address(10, 0, 0, 1)},
        // The fourth octet is the whole rest: further dots end its number.
        AddressCase{u"1.2.3.4.5", Address(1, 2, 3, 4)},
        AddressCase{u"1.2.3.4.5.6", Address(1, 2, 3, 4)},
        // Labels that are not numbers give 0 octets.
        AddressCase{u"pc.example.com.x", 0u}, AddressCase{u"a.b.c.d", 0u},
        AddressCase{u"host.10.10.10", Address(0, 10, 10, 10)}, AddressCase{u"...", 0u},
        AddressCase{u"1...", Address(1, 0, 0, 0)}, AddressCase{u"...9", Address(0, 0, 0, 9)}));

INSTANTIATE_TEST_SUITE_P(FewerThanThreeDots, ParseDottedAddressTest,
                         testing::Values(AddressCase{u"10.0.0", 0u}, AddressCase{u"10.0", 0u},
                                         AddressCase{u"10", 0u}, AddressCase{u"", 0u},
                                         AddressCase{u"pc.example.com", 0u},
                                         AddressCase{u"255.255.255", 0u}, AddressCase{u"..", 0u}));

TEST(CheckComputerNameTest, CleansTheTypedNameAndTellsWhatItAsksFor) {
    using enum ComputerNameKind;
    struct Case {
        Text typed;
        ComputerNameKind kind;
        const char16_t* name;
    } cases[] = {
        // Refused (each refused character is tried below); only one leading "\\" is dropped.
        {u"10.0.0.5 stop wuauserv", Invalid, u""},
        {u"\\\\\\\\pc", Invalid, u""},
        {u"\\\\ pc", Invalid, u""},
        // Accepted: the blanks and tabs around and one leading "\\" are dropped.
        {u"\t\\\\testpc  ", HostName, u"testpc"},
        {u"\x041f\x041a-01", HostName, u"\x041f\x041a-01"},
        {u"\x00a0pc", HostName, u"\x00a0pc"},  // a no-break space is no blank
        {u"   \t", Empty, u""},
        {u" \\\\ ", Empty, u""},
        {u" . ", Local, u"."},
        // Four groups of decimal digits are an address, any other name with dots a host name.
        {u"10.0.0.300", Address, u"10.0.0.300"},
        {u"\\\\192.168.001.020", Address, u"192.168.001.020"},
        {u"pc01.corp.example", HostName, u"pc01.corp.example"},
        {u"10.0.0", HostName, u"10.0.0"},
        {u"10.0.0.1.5", HostName, u"10.0.0.1.5"},
        {u"10..0.1", HostName, u"10..0.1"},
        {u"-1.0.0.1", HostName, u"-1.0.0.1"},
    };
    for (const Case& c : cases) {
        const CheckedComputerName checked = CheckComputerName(c.typed);
        EXPECT_EQ(int(checked.kind), int(c.kind)) << '"' << Narrow(c.typed) << '"';
        EXPECT_EQ(checked.name, c.name) << '"' << Narrow(c.typed) << '"';
    }
    const Text refused = Text(u" \t\"\\/:*?<>|\x01\n\x1f\x7f") + u'\0';
    for (char16_t c : refused) {
        EXPECT_EQ(int(CheckComputerName(u"pc" + Text(1, c) + u"x").kind), int(Invalid)) << int(c);
    }
}

TEST(ServiceStateTextTest, NamesTheSevenStates) {
    const char16_t* texts[] = {
        u"The service is stopped.",          u"The service start is pending.",
        u"The service stop is pending.",     u"The service is running.",
        u"The service continue is pending.", u"The service pause is pending.",
        u"The service is paused.",
    };
    for (uint32_t state = 1; state <= 7; ++state) {
        EXPECT_EQ(ServiceStateText(state), texts[state - 1]) << "state " << state;
    }
    EXPECT_EQ(ServiceStateText(4), kServiceRunningText);
}

TEST(ServiceStateTextTest, OtherStatesGiveTheEmptyText) {
    for (uint32_t state : {0u, 8u, 9u, 0x100u, 0xffffffffu}) {
        EXPECT_EQ(ServiceStateText(state), u"") << "state " << state;
    }
}

TEST(ServiceStateTextTest, OnlyRunningMatchesTheRunningText) {
    for (uint32_t state = 0; state <= 8; ++state) {
        EXPECT_EQ(ServiceStateText(state) == kServiceRunningText, state == 4) << "state " << state;
    }
}

TEST(ScTextsTest, ArgumentsUseTheCheckedName) {
    struct Case {
        const char16_t* name;
        const char16_t* config;
        const char16_t* start;
    } cases[] = {
        {u"TESTPC", u"\\\\TESTPC config remoteregistry start= demand",
         u"\\\\TESTPC start remoteregistry"},
        {u"10.0.0.5", u"\\\\10.0.0.5 config remoteregistry start= demand",
         u"\\\\10.0.0.5 start remoteregistry"},
        // Nothing is quoted: a name with a blank never gets here (CheckComputerName).
        {u"my pc", u"\\\\my pc config remoteregistry start= demand",
         u"\\\\my pc start remoteregistry"},
        {u"", u"\\\\ config remoteregistry start= demand", u"\\\\ start remoteregistry"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ScConfigArguments(c.name), c.config) << Narrow(c.name);
        EXPECT_EQ(ScStartArguments(c.name), c.start) << Narrow(c.name);
    }
}

TEST(ScTextsTest, CommandLineQuotesOnlyTheProgramName) {
    EXPECT_EQ(ScCommandLine(ScConfigArguments(u"testpc")),
              u"\"sc\" \\\\testpc config remoteregistry start= demand");
    EXPECT_EQ(ScCommandLine(ScStartArguments(u"my pc")), u"\"sc\" \\\\my pc start remoteregistry");
    EXPECT_EQ(ScCommandLine(u""), u"\"sc\" ");
}

TEST(RemoteTextsTest, OperatorTexts) {
    EXPECT_EQ(RemoteRegistryQuestion(u"TESTPC"),
              u"Remote Registry Service is not running on TESTPC.\r\nWould you like to start it?");
    EXPECT_EQ(RemoteRegistryQuestion(u"my pc"),
              u"Remote Registry Service is not running on my pc.\r\nWould you like to start it?");
    EXPECT_EQ(AttemptingToStartText(u"TESTPC"), u"Attempting to start remote registry on TESTPC");
    EXPECT_EQ(kUnableToPingText, u"Unable to PING remote computer");
    EXPECT_EQ(kTryingToConnectText, u"Trying to connect to remote machine");
    EXPECT_EQ(kRegistryRequiredText,
              u"Cannot list software without remote registry running on remote computer.");
    EXPECT_EQ(kErrorRetrievingText, u"Error retrieving software list");
    EXPECT_EQ(kErrorTitle, u"Error");
    EXPECT_EQ(kRemoteRegistryServiceName, u"remoteregistry");
    EXPECT_EQ(kNotValidComputerNameText, u"Not a valid computer name");
    EXPECT_EQ(ServiceQueryFailedText(u"pc01", u"RPC server unavailable.", 1722),
              u"Unable to query the Remote Registry service on pc01: RPC server unavailable. "
              u"(error 1722)");
    EXPECT_EQ(ServiceQueryFailedText(u"pc01", u"Access denied.", 5),
              u"Unable to query the Remote Registry service on pc01: Access denied. (error 5)\r\n"
              u"Listing another computer needs administrative rights on it.");
    EXPECT_EQ(ServiceStartFailedText(u"pc01", u"Access denied.", 5),
              u"Unable to start the Remote Registry service on pc01: Access denied. (error 5)");
    EXPECT_EQ(ServiceStartFailedText(u"pc01", u"", 4294967295u),
              u"Unable to start the Remote Registry service on pc01 (error 4294967295)");
}

TEST(ScTextsTest, ExitCodesThatCountAsSuccess) {
    for (uint32_t code : {0u, 1056u, 5u, 1058u, 1639u}) {
        EXPECT_EQ(ScSucceeded(ScCommand::Config, code), code == 0) << code;
        EXPECT_EQ(ScSucceeded(ScCommand::Start, code), code == 0 || code == 1056) << code;
    }
}

}  // namespace
