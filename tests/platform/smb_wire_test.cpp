#include "platform/smb_wire.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <unistd.h>

namespace fennick::platform::smb_wire {
namespace {

// Answers from a reader process travel whole; one cut short, or claiming more bytes than it
// carries or than a read may give, is no answer.
struct AnswerCase {
    const char* name;
    std::size_t cutTo;   // keep this many bytes of the encoded answer; 0: all
    std::size_t length;  // bytes the answer carries
    bool decodes;
};

class AnswerTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(AnswerTest, DecodesOnlyWholeAnswers) {
    const AnswerCase& c = GetParam();
    Answer sent{5, Kind::File, 123456789012, std::string(c.length, 'b')};
    std::string bytes = encodeAnswer(sent);
    if (c.cutTo > 0) bytes.resize(c.cutTo);
    Answer got;
    ASSERT_EQ(decodeAnswer(bytes, got), c.decodes);
    if (!c.decodes) return;
    EXPECT_EQ(got.error, 5);
    EXPECT_EQ(got.kind, Kind::File);
    EXPECT_EQ(got.size, 123456789012);
    EXPECT_EQ(got.bytes, sent.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Wire, AnswerTest,
    ::testing::Values(AnswerCase{"Empty", 0, 0, true}, AnswerCase{"Largest", 0, kLargestRead, true},
                      AnswerCase{"OverTheLargestRead", 0, kLargestRead + 1, false},
                      AnswerCase{"CutInTheHeader", 7, 10, false},
                      AnswerCase{"CutInTheBytes", 25, 10, false}),
    [](const auto& info) { return std::string(info.param.name); });

// A message longer than any answer is refused before its bytes are taken in.
TEST(Wire, ReceiveRefusesOversizedMessagesAndTakesWholeOnes) {
    int pair[2];
    ASSERT_EQ(::socketpair(AF_UNIX, SOCK_STREAM, 0, pair), 0);
    ASSERT_TRUE(send(pair[0], "hello"));
    std::string message;
    ASSERT_TRUE(receive(pair[1], message, 1000));
    EXPECT_EQ(message, "hello");
    const unsigned char huge[4] = {0xff, 0xff, 0xff, 0x7f};
    ASSERT_EQ(::write(pair[0], huge, 4), 4);
    EXPECT_FALSE(receive(pair[1], message, 1000));
    EXPECT_FALSE(receive(pair[1], message, 50));  // nothing more comes: the time-out ends it
    ::close(pair[0]);
    ::close(pair[1]);
}

// Readers log on to a url's share by its root, whatever the url names on it.
TEST(Wire, ShareRootKeepsServerAndShareOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"smb://server/share/DLR001/UNIT.DB", "smb://server/share"},
        {"smb://server/share/", "smb://server/share"},
        {"smb://server/share", "smb://server/share"},
        {"smb://server", "smb://server"},
        {"not a url", "not a url"},
    };
    for (const auto& [url, root] : cases)
        EXPECT_EQ(shareRoot(url), root) << url;
}

}  // namespace
}  // namespace fennick::platform::smb_wire
