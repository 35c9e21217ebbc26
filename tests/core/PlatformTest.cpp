#include "Platform.h"
#include "Unicode.h"

#include "TempFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <thread>
#include <vector>

namespace {

using testfs::TempFile;

struct Utf8Case {
    const char* name;
    std::string utf8;
    std::u16string utf16;
};

const Utf8Case kUtf8Cases[] = {
    {"ASCII", "AT&T page", u"AT&T page"},
    {"two bytes", "\xC3\xA9t\xC3\xA9", u"\u00E9t\u00E9"},
    {"three bytes", "\xE2\x82\xAC", u"\u20AC"},
    {"four bytes", "\xF0\x9F\x98\x80", u"\xD83D\xDE00"},
    {"stray continuation", "a\x80z", u"a\uFFFDz"},
    {"truncated three-byte sequence", "\xE2\x82", u"\uFFFD"},
    {"truncated sequence before ASCII", "\xE2\x82\x41", u"\uFFFDA"},
    {"overlong two bytes", "\xC0\xAF", u"\uFFFD\uFFFD"},
    {"overlong three bytes", "\xE0\x80\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"encoded surrogate", "\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},
    {"above U+10FFFF", "\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"},
    {"highest code point", "\xF4\x8F\xBF\xBF", u"\xDBFF\xDFFF"},
    {"invalid lead bytes", "\xFE\xFF", u"\uFFFD\uFFFD"},
    {"embedded NUL kept", std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
};

TEST(Unicode, Utf8ToUtf16) {
    for (const Utf8Case& c : kUtf8Cases) {
        EXPECT_EQ(vyrd::Utf8ToUtf16(c.utf8), c.utf16) << c.name;
    }
}

TEST(Unicode, Utf16ToUtf8RoundTripsValidText) {
    for (const Utf8Case& c : kUtf8Cases) {
        if (c.utf16.find(u'\uFFFD') == std::u16string::npos) {
            EXPECT_EQ(vyrd::Utf16ToUtf8(c.utf16), c.utf8) << c.name;
        }
    }
    EXPECT_EQ(vyrd::Utf16ToUtf8(u"\xD800x"), "\xEF\xBF\xBDx");
    EXPECT_EQ(vyrd::Utf16ToUtf8(u"x\xDC00"), "x\xEF\xBF\xBD");
}

#ifndef _WIN32
// Outside Windows the "ANSI" code page is UTF-8.
TEST(Platform, AnsiToUtf16DecodesUtf8) {
    for (const Utf8Case& c : kUtf8Cases) {
        EXPECT_EQ(vyrd::AnsiToUtf16(c.utf8), c.utf16) << c.name;
    }
}
#endif

TEST(Platform, AnsiToUtf16KeepsAscii) {
    EXPECT_EQ(vyrd::AnsiToUtf16("dict0001.iff"), u"dict0001.iff");
    EXPECT_EQ(vyrd::AnsiToUtf16(""), u"");
}

TEST(Platform, MappingShowsTheWholeFile) {
    const std::vector<uint8_t> bytes = {'A', 'T', '&', 'T', 0, 1, 2, 0xFF};
    TempFile file(bytes);
    vyrd::CMappedFile mapped;
    ASSERT_TRUE(mapped.Open(file.U16()));
    EXPECT_TRUE(mapped.IsValid());
    ASSERT_EQ(mapped.Size(), bytes.size());
    EXPECT_EQ(std::memcmp(mapped.Data(), bytes.data(), bytes.size()), 0);

    vyrd::CMappedFile moved = std::move(mapped);
    EXPECT_FALSE(mapped.IsValid());
    EXPECT_EQ(moved.Size(), bytes.size());
    moved.Close();
    EXPECT_FALSE(moved.IsValid());
    EXPECT_EQ(moved.Size(), 0u);
    EXPECT_EQ(moved.Data(), nullptr);
}

TEST(Platform, MappingRefusesEmptyMissingAndFolders) {
    TempFile empty(std::vector<uint8_t>{});
    TempFile one(std::vector<uint8_t>{42});
    vyrd::CMappedFile mapped;
    ASSERT_TRUE(mapped.Open(one.U16()));
    // A refused open leaves nothing open, also when something was open before.
    EXPECT_FALSE(mapped.Open(empty.U16()));
    EXPECT_FALSE(mapped.IsValid());
    EXPECT_FALSE(mapped.Open(TempFile::UniquePath(".missing").u16string()));
    EXPECT_FALSE(mapped.Open(std::filesystem::temp_directory_path().u16string()));
    EXPECT_FALSE(mapped.Open(u""));
    EXPECT_FALSE(mapped.Open(one.U16() + std::u16string(1, u'\0') + u"x"));
    EXPECT_FALSE(mapped.IsValid());
}

TEST(Platform, MappingOpensNonAsciiPaths) {
    const std::filesystem::path dir = TempFile::UniquePath(u8"_\u00E9\u4E2D");
    std::filesystem::create_directory(dir);
    const std::filesystem::path name = dir / u8"\u00FC\u00DF.djvu";
    {
        std::ofstream out(name, std::ios::binary);
        out << "AT&T";
    }
    vyrd::CMappedFile mapped;
    EXPECT_TRUE(vyrd::FileExists(name.u16string()));
    EXPECT_TRUE(mapped.Open(name.u16string()));
    EXPECT_EQ(mapped.Size(), 4u);
    mapped.Close();
    std::filesystem::remove_all(dir);
}

TEST(Platform, FileExists) {
    TempFile file(std::vector<uint8_t>{1});
    EXPECT_TRUE(vyrd::FileExists(file.U16()));
    EXPECT_FALSE(vyrd::FileExists(TempFile::UniquePath(".missing").u16string()));
    EXPECT_FALSE(vyrd::FileExists(u""));
}

TEST(Platform, PixelBuffers) {
    EXPECT_EQ(vyrd::AllocPixelBuffer(0), nullptr);
    auto* p = static_cast<uint8_t*>(vyrd::AllocPixelBuffer(4096));
    ASSERT_NE(p, nullptr);
    std::memset(p, 0xAB, 4096);
    EXPECT_EQ(p[4095], 0xAB);
    vyrd::FreePixelBuffer(p);
    vyrd::FreePixelBuffer(nullptr);
}

TEST(Platform, CriticalSectionIsRecursiveAndExcludes) {
    vyrd::CCriticalSection section;
    {
        vyrd::CCriticalSectionLock outer(section);
        vyrd::CCriticalSectionLock inner(section);  // the same thread may enter again
    }
    long counter = 0;
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&] {
            for (int i = 0; i < 20000; ++i) {
                vyrd::CCriticalSectionLock lock(section);
                // A read-modify-write in two steps: lost updates show without the lock.
                const long seen = counter;
                counter = seen + 1;
            }
        });
    }
    for (std::thread& thread : threads) {
        thread.join();
    }
    EXPECT_EQ(counter, 80000);
}

}  // namespace
