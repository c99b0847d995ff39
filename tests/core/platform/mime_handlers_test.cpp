// The tel: handler lookup on private XDG folders: a user's and a system's configuration and
// data folder, written file by file as desktops and dialers write them.
#include "core/platform/mime_handlers.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <optional>

#include "support/temp_folder.h"

namespace zentorak {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTel = "x-scheme-handler/tel";

class MimeHandlersTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_FALSE(root.empty());
        folders.configDirs = {root + "/home/config", root + "/etc/xdg"};
        folders.dataDirs = {root + "/home/share", root + "/usr/share"};
    }
    void Write(const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(root + "/" + path).parent_path());
        std::ofstream(root + "/" + path) << text;
    }
    static std::string Desktop(const std::string& mimeTypes, const char* extra = "") {
        return "[Desktop Entry]\nType=Application\nName=Dialer\nExec=dialer %u\n" +
               std::string(extra) + (mimeTypes.empty() ? "" : "MimeType=" + mimeTypes + "\n");
    }
    bool Tel() const { return HasMimeHandler(kTel, folders); }

    testing::TempFolder temp;
    std::string root = temp.path();
    XdgMimeFolders folders;
};

TEST_F(MimeHandlersTest, NothingInstalledIsNoHandler) {
    EXPECT_FALSE(Tel());
    Write("usr/share/applications/viewer.desktop", Desktop("image/png;text/plain;"));
    Write("usr/share/applications/dialer.desktop.bak", Desktop("x-scheme-handler/tel;"));
    EXPECT_FALSE(Tel());
    EXPECT_TRUE(HasMimeHandler("image/png", folders));
}

TEST_F(MimeHandlersTest, DesktopFileListingTheTypeInAnyDataFolder) {
    Write("usr/share/applications/org.example.Calls.desktop",
          Desktop("x-scheme-handler/sip;x-scheme-handler/tel;"));
    EXPECT_TRUE(Tel());
    fs::remove_all(root + "/usr/share/applications");
    // A desktop file in a subfolder has the id vendor-calls.desktop.
    Write("home/share/applications/vendor/calls.desktop", Desktop("x-scheme-handler/tel"));
    EXPECT_TRUE(Tel());
}

TEST_F(MimeHandlersTest, HiddenOrShadowedByAHiddenUserCopyIsNoHandler) {
    Write("usr/share/applications/calls.desktop",
          Desktop("x-scheme-handler/tel;", "Hidden=true\n"));
    EXPECT_FALSE(Tel());
    Write("usr/share/applications/calls.desktop", Desktop("x-scheme-handler/tel;"));
    EXPECT_TRUE(Tel());
    // The user's own copy of the same id takes precedence and hides it.
    Write("home/share/applications/calls.desktop", Desktop("", "Hidden=true\n"));
    EXPECT_FALSE(Tel());
}

TEST_F(MimeHandlersTest, DefaultAndAddedAssociationsNeedAnInstalledApplication) {
    Write("home/config/mimeapps.list",
          "[Default Applications]\nx-scheme-handler/tel=dialer.desktop;\n");
    EXPECT_FALSE(Tel());  // not installed
    Write("usr/share/applications/dialer.desktop", Desktop(""));
    EXPECT_TRUE(Tel());  // the default counts without a MimeType line
    Write("home/config/mimeapps.list",
          "[Added Associations]\nx-scheme-handler/tel=dialer.desktop\n");
    EXPECT_TRUE(Tel());
    Write("home/config/mimeapps.list",
          "[Added Associations]\nx-scheme-handler/sip=dialer.desktop\n");
    EXPECT_FALSE(Tel());
}

TEST_F(MimeHandlersTest, RemovedAssociationsHideLowerSources) {
    Write("usr/share/applications/calls.desktop", Desktop("x-scheme-handler/tel;"));
    Write("home/config/mimeapps.list",
          "[Removed Associations]\nx-scheme-handler/tel=calls.desktop;\n");
    EXPECT_FALSE(Tel());
    // A removal in a list of lower precedence does not undo a default above it.
    Write("home/config/mimeapps.list",
          "[Default Applications]\nx-scheme-handler/tel=calls.desktop;\n");
    Write("etc/xdg/mimeapps.list", "[Removed Associations]\nx-scheme-handler/tel=calls.desktop;\n");
    EXPECT_TRUE(Tel());
    // The desktop's own list comes before the plain one of its folder.
    folders.desktops = {"gnome"};
    Write("home/config/gnome-mimeapps.list",
          "[Removed Associations]\nx-scheme-handler/tel=calls.desktop;\n");
    EXPECT_FALSE(Tel());
}

TEST_F(MimeHandlersTest, MimeInfoCacheEntriesMustStillBeInstalled) {
    Write("usr/share/applications/mimeinfo.cache",
          "[MIME Cache]\nx-scheme-handler/tel=gone.desktop;\n");
    EXPECT_FALSE(Tel());
    Write("usr/share/applications/gone.desktop", Desktop(""));
    EXPECT_TRUE(Tel());
}

// The environment's folders, as the program looks the handler up before a call.
TEST_F(MimeHandlersTest, SchemeLookupReadsTheXdgEnvironment) {
    const char* names[] = {"XDG_CONFIG_HOME", "XDG_CONFIG_DIRS", "XDG_DATA_HOME", "XDG_DATA_DIRS",
                           "XDG_CURRENT_DESKTOP"};
    std::vector<std::pair<std::string, std::optional<std::string>>> saved;
    for (const char* name : names) {
        const char* value = ::getenv(name);
        saved.emplace_back(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    ::setenv("XDG_CONFIG_HOME", (root + "/home/config").c_str(), 1);
    ::setenv("XDG_CONFIG_DIRS", (root + "/etc/xdg").c_str(), 1);
    ::setenv("XDG_DATA_HOME", (root + "/home/share").c_str(), 1);
    ::setenv("XDG_DATA_DIRS", (root + "/usr/share:relative/ignored").c_str(), 1);
    ::setenv("XDG_CURRENT_DESKTOP", "Phosh:GNOME", 1);
    XdgMimeFolders fromEnvironment = XdgMimeFolders::FromEnvironment();
    bool before = HasUrlSchemeHandler("tel");
    Write("home/share/applications/calls.desktop", Desktop("x-scheme-handler/tel;"));
    bool after = HasUrlSchemeHandler("TEL");
    for (const auto& [name, value] : saved) {
        value ? ::setenv(name.c_str(), value->c_str(), 1) : ::unsetenv(name.c_str());
    }
    EXPECT_FALSE(before);
    EXPECT_TRUE(after);
    EXPECT_EQ(fromEnvironment.dataDirs,
              (std::vector<std::string>{root + "/home/share", root + "/usr/share"}));
    EXPECT_EQ(fromEnvironment.desktops, (std::vector<std::string>{"phosh", "gnome"}));
}

}  // namespace
}  // namespace zentorak
