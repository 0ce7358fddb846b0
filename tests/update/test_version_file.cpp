#include <gtest/gtest.h>

#include "version_file.h"

using pelorin::update::LeadingNumber;
using pelorin::update::ParseVersionFile;

TEST(VersionFile, VersionAndAddress)
{
    struct Case {
        QByteArray bytes;
        QString version;
        QString address;
    } cases[] = {
        {"1.02\r\nhttp://dl.example.org/p", "1.02", "http://dl.example.org/p"},
        {"1.02\r\nhttp://dl.example.org/p\r\n", "1.02", "http://dl.example.org/p"},
        {"1.02\nhttp://dl.example.org/p\n", "1.02", "http://dl.example.org/p"},
        // A short version ends at its line break; the address keeps its first character.
        {"1.1\r\nhttp://dl.example.org/p", "1.1", "http://dl.example.org/p"},
        {"2\nhttp://x.example.org", "2", "http://x.example.org"},
        // A longer version is cut to four characters; what follows up to the address is dropped.
        {"1.021\r\nhttp://x.example.org", "1.02", "http://x.example.org"},
        {"1.02", "1.02", ""},
        {"", "", ""},
        {"\r\nhttp://x.example.org", "", "http://x.example.org"},
        {"1.02\r\nhttp://x.example.org/\xd9\x83\xd8\xaa\xd8\xa8", "1.02",
         QString::fromUtf8("http://x.example.org/كتب")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes.toStdString());
        const auto f = ParseVersionFile(c.bytes);
        EXPECT_EQ(f.version, c.version);
        EXPECT_EQ(f.address, c.address);
    }
}

TEST(VersionFile, LeadingNumber)
{
    const std::pair<const char*, double> cases[] = {
        {"1.01", 1.01}, {"1.02", 1.02}, {"1.1\r", 1.1}, {" 1.5", 1.5}, {"1 .2", 1.2},
        {"\t2\n", 2.0}, {"abcd", 0.0},  {"", 0.0},      {".5", 0.5},   {"1.2.3", 1.2},
        {"-1.2", -1.2}, {"v1.2", 0.0},  {"12ab", 12.0}, {".", 0.0},    {"-", 0.0},
    };
    for (const auto& [text, value] : cases)
        EXPECT_DOUBLE_EQ(LeadingNumber(QString::fromLatin1(text)), value) << text;
    // The comparison with the running version is strict.
    EXPECT_FALSE(LeadingNumber(QStringLiteral("1.01")) > 1.01);
    EXPECT_TRUE(LeadingNumber(QStringLiteral("1.02")) > 1.01);
}
