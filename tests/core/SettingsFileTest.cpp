#include "SettingsFile.h"

#include <gtest/gtest.h>

namespace {

TEST(SettingsFile, FormatByteForByte)
{
    EXPECT_EQ(SettingsFile::format({"C:\\memos.txt", "e:", 1}),
              "\"C:\\memos.txt\",\"e:\",1,\"windows-1252\"\r\n");
    EXPECT_EQ(SettingsFile::format({QString::fromUtf8("/home/zoë/memos.txt"), "/ [ROOT]", 2,
                                    CharacterSet::Japanese}),
              "\"/home/zo\xC3\xAB/memos.txt\",\"/ [ROOT]\",2,\"shift_jis\"\r\n");
    EXPECT_EQ(SettingsFile::format({"/my \"old\" memos", "\"", 0}),
              R"("/my ""old"" memos","""",0,"windows-1252")"
              "\r\n");
}

TEST(SettingsFile, ReadsWhatItWrites)
{
    const SettingsRecord record{QString::fromUtf8("/home/zoë/my \"old\", \"\"memos.txt\""),
                                "/media/me/IPOD [\"IPOD\"]", 2, CharacterSet::MacRoman};
    const Result<SettingsRecord> parsed = SettingsFile::parse(SettingsFile::format(record));
    ASSERT_TRUE(parsed);
    EXPECT_EQ(*parsed, record);
}

struct ParseCase
{
    const char *name;
    QByteArray content;
    std::optional<SettingsRecord> record;
};

class SettingsParse : public testing::TestWithParam<ParseCase>
{
};

TEST_P(SettingsParse, ReadsOrRefusesWhole)
{
    const Result<SettingsRecord> parsed = SettingsFile::parse(GetParam().content);
    ASSERT_EQ(parsed.hasValue(), GetParam().record.has_value());
    if (parsed)
        EXPECT_EQ(*parsed, *GetParam().record);
    else
        EXPECT_EQ(parsed.error().reason(), Error::Reason::MalformedSettings);
}

INSTANTIATE_TEST_SUITE_P(
    SettingsFile, SettingsParse,
    testing::Values(
        ParseCase{"spacesBeforeFields", "  \"a\",  \"b\", 0", SettingsRecord{"a", "b", 0}},
        ParseCase{"unquotedFields", "123,e:,1\r\n", SettingsRecord{"123", "e:", 1}},
        ParseCase{"fieldsOnSeparateLines", "\"a\"\r\n\"b\"\r\n1\r\n", SettingsRecord{"a", "b", 1}},
        ParseCase{"negativeFlagStillRead", "\"a\",\"b\",-5", SettingsRecord{"a", "b", -5}},
        ParseCase{"doubledQuoteIsOneQuote", R"("/home/me/my ""old"" memos.txt","""",1)",
                  SettingsRecord{"/home/me/my \"old\" memos.txt", "\"", 1}},
        ParseCase{"legacyEncodedPath", "\"caf\xE9\",\"b\",0",
                  SettingsRecord{QString::fromUtf8("café"), "b", 0}},
        ParseCase{"characterSetInAnyCase", "\"a\",\"b\",1,\"CP1250\"\r\n",
                  SettingsRecord{"a", "b", 1, CharacterSet::CentralEuropean}},
        ParseCase{"unknownCharacterSetIsWestern", "\"a\",\"b\",1,\"utf-16\"\r\n",
                  SettingsRecord{"a", "b", 1}},
        ParseCase{"empty", "", std::nullopt},
        ParseCase{"twoFields", "\"a\",\"b\"\r\n", std::nullopt},
        ParseCase{"emptyFlag", "\"a\",\"b\",\r\n", std::nullopt},
        ParseCase{"flagNotANumber", "\"a\",\"b\",yes\r\n", std::nullopt},
        ParseCase{"flagPartlyANumber", "\"a\",\"b\",1x\r\n", std::nullopt},
        ParseCase{"flagTooLarge", "\"a\",\"b\",32768\r\n", std::nullopt},
        ParseCase{"unterminatedQuote", "\"a\",\"b", std::nullopt}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
