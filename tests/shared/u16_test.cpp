#include <gtest/gtest.h>

#include "shared/guid.h"
#include "shared/names.h"
#include "shared/u16.h"
#include "shared/win/errors.h"

namespace tav {
namespace {

TEST(U16, PrefixCompareIgnoresLetterCaseOverThePrefixOnly) {
    EXPECT_TRUE(StartsWithNoCase(u"\\\\?\\usb#vid_1b7e&PID_0101#x", u"\\\\?\\USB#Vid_1B7E&pid_01"));
    EXPECT_FALSE(StartsWithNoCase(u"\\\\?\\USB#Vid_1B7E&pid_02", u"\\\\?\\USB#Vid_1B7E&pid_01"));
    EXPECT_FALSE(StartsWithNoCase(u"\\\\?\\USB#Vid_1B7E", u"\\\\?\\USB#Vid_1B7E&pid_01"));
    EXPECT_TRUE(StartsWithNoCase(u"anything", u""));
}

TEST(U16, Utf8RoundTripKeepsJapaneseAndSurrogates) {
    const std::u16string text = u"通信設定 \U0001F600 x";
    EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
}

TEST(SharedNames, GuidsPrintAsWindowsDoes) {
    EXPECT_EQ(GuidToString(kPrinterInterfaceClass), u"{A4C7E912-3F58-4B06-9D2E-61B0F7C3D845}");
    EXPECT_EQ(GuidToString(kGuidDevinterfaceUsbprint), u"{28D78FAD-5A12-11D1-AE5B-0000F803A8C2}");
    EXPECT_EQ(GuidToString(kGuidDevinterfaceComport), u"{86E0D1E0-8089-11D0-9CE4-08003E301F73}");
    EXPECT_NE(kGuidDevinterfaceComport, kPrinterInterfaceClass);
}

TEST(SharedNames, HResultFromWin32) {
    EXPECT_EQ(win::HResultFromWin32(0), 0);
    EXPECT_EQ(static_cast<uint32_t>(win::HResultFromWin32(1063)), 0x80070427u);
    EXPECT_EQ(static_cast<uint32_t>(win::HResultFromWin32(0x12345)), 0x80072345u);
}

}  // namespace
}  // namespace tav
