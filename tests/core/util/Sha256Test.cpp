#include "core/util/Sha256.h"

#include "tests/support/FileTestSupport.h"

#include <gtest/gtest.h>

namespace fw {
namespace {

const std::string kTwoBlockText = "abcdefghbcdefghicdefghijdefghijkefghijklfghijklmghijklmn"
                                  "hijklmnoijklmnopjklmnopqklmnopqrlmnopqrsmnopqrstnopqrstu";

TEST(Sha256Test, StandardVectorsAndPaddingBoundaries) {
    const struct {
        std::string input;
        const char* digest;
    } cases[] = {
        {"", "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq",
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {kTwoBlockText, "cf5b16a778af8380036ce59e7b0492370b249b11e8f07a51afac45037afee9d1"},
        {std::string(1000000, 'a'),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        // The length fits the last block, just does not, and fills it exactly.
        {std::string(55, 'a'), "9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318"},
        {std::string(56, 'a'), "b35439a4ac6f0948b6d6f9e3c6af0f5f590ce20f1bde7090ef7970686ec6738a"},
        {std::string(64, 'a'), "ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Sha256Hex(c.input), c.digest) << "length " << c.input.size();
}

TEST(Sha256Test, PiecesAndFilesGiveTheDigestOfTheWhole) {
    for (std::size_t cut = 0; cut <= kTwoBlockText.size(); ++cut) {
        Sha256 sha;
        sha.Add(std::string_view(kTwoBlockText).substr(0, cut));
        sha.Add(std::string_view(kTwoBlockText).substr(cut));
        const auto digest = sha.Finish();
        EXPECT_EQ(digest[0], 0xcf) << "cut at " << cut;
        EXPECT_EQ(digest[31], 0xd1) << "cut at " << cut;
    }

    test::TempDir dir;
    // Larger than one read, so that the file is hashed in pieces too.
    const std::string data(200000, '\xE4');
    test::WriteBytes(dir.File("big.bsr"), data);
    std::string reason;
    EXPECT_EQ(Sha256HexOfFile(dir.File("big.bsr"), reason), Sha256Hex(data));
    EXPECT_EQ(Sha256HexOfFile(dir.File("missing.bsr"), reason), "");
    EXPECT_NE(reason.find("missing.bsr"), std::string::npos) << reason;
    EXPECT_EQ(Sha256HexOfFile(dir.Path().string(), reason), "") << "a folder has no digest";
}

} // namespace
} // namespace fw
