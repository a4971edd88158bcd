// Keys, system commands, tab pages and placement of the main window.

#include "tavsetup/shell/main_window_rules.h"

#include <gtest/gtest.h>

#include "tavsetup/pages/page_layouts.h"
#include "tavsetup/pages/page_messages.h"
#include "tavsetup/res/resource.h"
#include "tavsetup/shell/window_messages.h"

namespace tav::test {
using namespace tav::setup;
namespace {

TEST(MainWindowRules, EnterAndEscapeAreSwallowedOnlyAsKeyDown) {
    EXPECT_TRUE(IsSwallowedKey(win::kWmKeyDown, win::kVkReturn));
    EXPECT_TRUE(IsSwallowedKey(win::kWmKeyDown, win::kVkEscape));
    EXPECT_FALSE(IsSwallowedKey(win::kWmKeyDown, 0x70 /* F1 */));
    EXPECT_FALSE(IsSwallowedKey(win::kWmKeyDown, 0x09 /* Tab */));
    EXPECT_FALSE(IsSwallowedKey(0x0101 /* WM_KEYUP */, win::kVkReturn));
    EXPECT_FALSE(IsSwallowedKey(0x0102 /* WM_CHAR */, win::kVkEscape));
}

TEST(MainWindowRules, AboutBoxCommandIgnoresTheLowFourBits) {
    EXPECT_TRUE(IsAboutBoxCommand(0x10));
    EXPECT_TRUE(IsAboutBoxCommand(0x1F));
    EXPECT_FALSE(IsAboutBoxCommand(0x20));
    EXPECT_FALSE(IsAboutBoxCommand(0xF060 /* SC_CLOSE */));
}

TEST(MainWindowRules, TabsShowTheirPagesAndUnknownIndicesTheFirst) {
    EXPECT_EQ(PageForTab(0), Page::VCom);
    EXPECT_EQ(PageForTab(1), Page::Bidi);
    EXPECT_EQ(PageForTab(2), Page::SerId);
    EXPECT_EQ(PageForTab(3), Page::VCom);
    EXPECT_EQ(PageForTab(-1), Page::VCom);
}

TEST(MainWindowRules, PagesShareOneRectangleBelowTheHeaders) {
    const PageRect r = PlacePage(35, 373, 270);
    EXPECT_EQ(r.left, 25);
    EXPECT_EQ(r.top, 35);
    EXPECT_EQ(r.width, 348);
    EXPECT_EQ(r.height, 235);
}

TEST(MainWindowRules, IconIsCentredRoundingUp) {
    EXPECT_EQ(IconOffset(36, 32), 2);
    EXPECT_EQ(IconOffset(37, 32), 3);
    EXPECT_EQ(IconOffset(32, 32), 0);
}

}  // namespace
}  // namespace tav::test
