// The built-in resource pack: its 25 entries and the extra list of the artwork at twice the
// resolution, every image as a PNG data URL that the module's own decoder turns into the same
// pixels as libpng, and lookups.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "PackedPixels.h"
#include "PngDecode.h"
#include "vexagui/resources/EmbeddedResources.h"

using namespace vexagui;
using vorlix_test::packedPixels;

namespace {

struct Expected {
    const char* path;
    bool image;
    int width, height;
    size_t bytes;  // decoded RGBA bytes, or text length for a document
};

const Expected kExpected[] = {
    {"vorlix/resources/bitrune.png", true, 128, 48, 24576},
    {"vorlix/resources/bitrune.kerning.json", false, 0, 0, 9370},
    {"vorlix/resources/bitrunec.png", true, 112, 48, 21504},
    {"vorlix/resources/bitrunec.kerning.json", false, 0, 0, 9359},
    {"vorlix/resources/bmp00128.png", true, 565, 260, 587600},
    {"vorlix/resources/bmp00131.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00132.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00133.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00134.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00137.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00139.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00141.png", true, 30, 26, 3120},
    {"vorlix/resources/bmp00142.png", true, 30, 26, 3120},
    {"vorlix/resources/bmp00143.png", true, 565, 260, 587600},
    {"vorlix/resources/bmp00148.png", true, 30, 39, 4680},
    {"vorlix/resources/bmp00149.png", true, 30, 39, 4680},
    {"vorlix/resources/bmp00150.png", true, 8, 16, 512},
    {"vorlix/resources/bmp00151.png", true, 8, 16, 512},
    {"vorlix/resources/bmp00152.png", true, 8, 16, 512},
    {"vorlix/resources/bmp00153.png", true, 8, 16, 512},
    {"vorlix/resources/bmp00154.png", true, 41, 2583, 423612},
    {"vorlix/resources/bmp00155.png", true, 145, 13, 7540},
    {"vorlix/resources/bmp00159.png", true, 8, 16, 512},
    {"vorlix/resources/bmp00160.png", true, 8, 16, 512},
    {"vorlix/resources/bmp00162.png", true, 8, 16, 512},
};
constexpr size_t kCount = sizeof kExpected / sizeof kExpected[0];

bool isFontAtlas(const PackedResource& r) {
    return std::strcmp(r.path, "vorlix/resources/bitrune.png") == 0 ||
           std::strcmp(r.path, "vorlix/resources/bitrunec.png") == 0 ||
           std::strcmp(r.path, "vorlix/resources/2x/bitrune.png") == 0;
}

// The primary entries, then the 2x list's.
std::vector<const PackedResource*> allEntries() {
    std::vector<const PackedResource*> all;
    for (size_t i = 0; i < kResourcePack.entryCount; ++i) all.push_back(&kResourcePack.entries[i]);
    for (size_t l = 0; l < kResourcePack.extraListCount; ++l)
        for (size_t i = 0; i < kResourcePack.extraLists[l].entryCount; ++i)
            all.push_back(&kResourcePack.extraLists[l].entries[i]);
    return all;
}

// Every lookup test starts and ends without an installed pack.
class InstalledPack : public ::testing::Test {
protected:
    void SetUp() override { setResourcePack(nullptr); }
    void TearDown() override { setResourcePack(nullptr); }
};

}  // namespace

TEST(EmbeddedPack, HoldsTheListedEntriesInOrder) {
    ASSERT_EQ(kResourcePack.entryCount, kCount);
    EXPECT_EQ(kResourcePack.entries, kPackedResources);
    ASSERT_EQ(kResourcePack.extraListCount, 1u);
    for (size_t i = 0; i < kCount; ++i) {
        const Expected& e = kExpected[i];
        const PackedResource& r = kPackedResources[i];
        SCOPED_TRACE(e.path);
        ASSERT_NE(r.path, nullptr);
        EXPECT_STREQ(r.path, e.path);
        if (e.image) {
            EXPECT_STREQ(r.mimeType, "image/png");
            EXPECT_EQ(r.width, e.width);
            EXPECT_EQ(r.height, e.height);
            EXPECT_EQ(r.channels, 4);
            EXPECT_EQ(r.bitsPerChannel, 8);
            // Compressed: no raw pixels in the module, the PNG is decoded on first use.
            EXPECT_TRUE(r.compressed);
            EXPECT_EQ(r.pixels, nullptr);
            EXPECT_EQ(r.pixelBytes, 0u);
            EXPECT_EQ(r.imagePixels().size(), e.bytes);
            EXPECT_EQ(e.bytes, static_cast<size_t>(r.width) * r.height * 4);
            ASSERT_NE(r.dataUrl, nullptr);
            EXPECT_EQ(r.text, nullptr);
            EXPECT_EQ(r.textLength, 0u);
        } else {
            EXPECT_STREQ(r.mimeType, "application/json");
            EXPECT_FALSE(r.compressed);
            EXPECT_TRUE(r.imagePixels().empty());
            EXPECT_EQ(r.dataUrl, nullptr);
            EXPECT_EQ(r.width, 0);
            EXPECT_EQ(r.height, 0);
            EXPECT_EQ(r.channels, 0);
            EXPECT_EQ(r.bitsPerChannel, 0);
            EXPECT_EQ(r.pixels, nullptr);
            EXPECT_EQ(r.pixelBytes, 0u);
            ASSERT_NE(r.text, nullptr);
            EXPECT_EQ(r.textLength, e.bytes);
            EXPECT_EQ(std::strlen(r.text), r.textLength);  // no embedded zero, terminated
        }
    }
}

// The 2x list: the editor's 21 images and its regular font's atlas, each exactly twice its 1x
// entry each way (the renderer keeps the 1x texture coordinates), compressed like them.
TEST(EmbeddedPack, DoubleResolutionListDoublesEveryEditorImage) {
    ASSERT_EQ(kResourcePack.extraListCount, 1u);
    const PackedResourceList& list = kResourcePack.extraLists[0];
    EXPECT_EQ(list.entries, kDoubleResolutionResources);
    ASSERT_EQ(list.entryCount, 22u);
    const std::string folder = "vorlix/resources/2x/";
    for (size_t i = 0; i < list.entryCount; ++i) {
        const PackedResource& big = list.entries[i];
        SCOPED_TRACE(big.path);
        const std::string path = big.path;
        ASSERT_EQ(path.compare(0, folder.size(), folder), 0);
        const PackedResource* small = kResourcePack.find(("vorlix/resources/" + path.substr(folder.size())).c_str());
        ASSERT_NE(small, nullptr);
        EXPECT_EQ(kResourcePack.doubleResolutionOf(*small), &big) << "the 1x entry names its partner";
        EXPECT_STREQ(big.mimeType, "image/png");
        EXPECT_EQ(big.width, 2 * small->width);
        EXPECT_EQ(big.height, 2 * small->height);
        EXPECT_TRUE(big.compressed);
        EXPECT_EQ(big.pixels, nullptr);
        EXPECT_EQ(big.imagePixels().size(), 4 * small->imagePixels().size());
        EXPECT_EQ(kResourcePack.find(big.path), &big);
    }
}

TEST(EmbeddedPack, TheModulesDecoderGivesExactlyLibpngsPixels) {
    const std::string prefix = "data:image/png;base64,";
    for (const PackedResource* entry : allEntries()) {
        const PackedResource& r = *entry;
        if (!r.dataUrl) continue;
        SCOPED_TRACE(r.path);
        const std::string url = r.dataUrl;
        ASSERT_EQ(url.compare(0, prefix.size(), prefix), 0);
        const auto file = vorlix_test::decodeBase64(url.substr(prefix.size()));
        ASSERT_TRUE(file.has_value()) << "not standard padded base64";
        const auto png = vorlix_test::decodePng(*file);
        ASSERT_TRUE(png.has_value());
        EXPECT_EQ(png->width, r.width);
        EXPECT_EQ(png->height, r.height);
        // The atlases travel as 2-bit palette files, every other image as 8-bit RGBA.
        if (isFontAtlas(r)) {
            EXPECT_EQ(png->colorType, 3);
            EXPECT_EQ(png->bitDepth, 2);
        } else {
            EXPECT_EQ(png->colorType, 6);
            EXPECT_EQ(png->bitDepth, 8);
        }
        ASSERT_EQ(png->rgba.size(), r.imagePixels().size());
        const uint8_t* decoded = packedPixels(r);
        ASSERT_NE(decoded, nullptr);
        EXPECT_EQ(std::memcmp(png->rgba.data(), decoded, png->rgba.size()), 0);
    }
}

TEST(EmbeddedPack, OnlyTheFontAtlasesHaveTransparency) {
    for (const PackedResource* entry : allEntries()) {
        const PackedResource& r = *entry;
        const uint8_t* pixels = packedPixels(r);
        if (!pixels) continue;
        SCOPED_TRACE(r.path);
        size_t clear = 0, solid = 0, partial = 0;
        for (size_t p = 3; p < r.imagePixels().size(); p += 4) {
            const uint8_t a = pixels[p];
            (a == 0 ? clear : a == 255 ? solid : partial) += 1;
        }
        EXPECT_EQ(partial, 0u) << "alpha must be 0 or 255";
        if (isFontAtlas(r)) {
            EXPECT_GT(clear, 0u);
            EXPECT_GT(solid, 0u);
        } else {
            EXPECT_EQ(clear, 0u) << "every pixel opaque";
        }
    }
}

TEST(EmbeddedPack, EntriesHaveTheirOwnStorage) {
    for (size_t i = 0; i < kCount; ++i)
        for (size_t j = i + 1; j < kCount; ++j) {
            const PackedResource& a = kPackedResources[i];
            const PackedResource& b = kPackedResources[j];
            if (a.compressed && b.compressed) {
                EXPECT_NE(packedPixels(a), packedPixels(b));
            }
            if (a.dataUrl && b.dataUrl) {
                EXPECT_NE(a.dataUrl, b.dataUrl);
            }
            if (a.text && b.text) {
                EXPECT_NE(a.text, b.text);
            }
        }
}

TEST(EmbeddedPack, GeneratedObjectsAreNamedAfterTheirPathsInAnUnnamedNamespace) {
    std::ifstream in(VORLIX_GENERATED_TABLES, std::ios::binary);
    ASSERT_TRUE(in) << VORLIX_GENERATED_TABLES;
    std::stringstream s;
    s << in.rdbuf();
    const std::string src = s.str();
    const size_t open = src.find("namespace vexagui {\nnamespace {\n");
    const size_t close = src.find("}  // namespace\n");
    const size_t table = src.find("const PackedResource kPackedResources[25]");
    ASSERT_NE(open, std::string::npos);
    ASSERT_NE(close, std::string::npos);
    ASSERT_NE(table, std::string::npos);
    EXPECT_LT(close, table);
    for (size_t i = 0; i < kCount; ++i) {
        std::string symbol = kExpected[i].path;
        for (char& c : symbol)
            if (c == '/' || c == '.') c = '_';
        // Images travel only as their PNG files: no raw pixel table.
        const char* const forms[] = {"_url[]", "_rgba[", "_text[]"};
        for (int f = 0; f < 3; ++f) {
            const bool wanted = kExpected[i].image ? f == 0 : f == 2;
            const size_t at = src.find(" " + symbol + forms[f]);
            SCOPED_TRACE(symbol + forms[f]);
            if (!wanted) {
                EXPECT_EQ(at, std::string::npos);
                continue;
            }
            ASSERT_NE(at, std::string::npos);
            EXPECT_GT(at, open);
            EXPECT_LT(at, close);
        }
    }
}

TEST_F(InstalledPack, FindIsExactAndCaseSensitive) {
    const struct {
        const char* path;
        int index;  // -1: not found
    } cases[] = {
        {"vorlix/resources/bmp00128.png", 4},
        {"vorlix/resources/bitrunec.kerning.json", 3},
        {"vorlix/resources/bmp00162.png", 24},
        {"vorlix/resources/BMP00128.png", -1},
        {"Vorlix/resources/bmp00128.png", -1},
        {"./vorlix/resources/bmp00128.png", -1},
        {"vorlix//resources/bmp00128.png", -1},
        {"vorlix\\resources\\bmp00128.png", -1},
        {"bmp00128.png", -1},
        {"vorlix/resources/bmp00128.png ", -1},
        {"vorlix/resources/bmp00128", -1},
        {"", -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        const PackedResource* r = kResourcePack.find(c.path);
        if (c.index < 0) {
            EXPECT_EQ(r, nullptr);
        } else {
            EXPECT_EQ(r, &kPackedResources[c.index]);
        }
    }
    EXPECT_EQ(kResourcePack.find(nullptr), nullptr);
}

TEST_F(InstalledPack, LookupFindsNothingBeforeThePackIsInstalled) {
    for (size_t i = 0; i < kCount; ++i) EXPECT_EQ(lookupPackedResource(kExpected[i].path), nullptr);
    setResourcePack(&kResourcePack);
    EXPECT_EQ(resourcePack(), &kResourcePack);
    for (size_t i = 0; i < kCount; ++i)
        EXPECT_EQ(lookupPackedResource(kExpected[i].path), &kPackedResources[i]);
}

TEST_F(InstalledPack, ImageSpecOfADocumentAndOfThePanel) {
    const PackedResource* doc = kResourcePack.find("vorlix/resources/bitrune.kerning.json");
    ASSERT_NE(doc, nullptr);
    const ResourceSpec d = doc->asImageResourceSpec(20000, 33, 44);
    EXPECT_EQ(d.id, 20000);
    EXPECT_EQ(d.width, 33);
    EXPECT_EQ(d.height, 44);
    EXPECT_EQ(d.channels, 4);
    EXPECT_EQ(d.bitsPerChannel, 8);
    EXPECT_EQ(d.flags, 0u);
    EXPECT_TRUE(d.url.empty());
    EXPECT_TRUE(d.pixels.empty());

    const PackedResource* panel = kResourcePack.find("vorlix/resources/bmp00128.png");
    ASSERT_NE(panel, nullptr);
    const ResourceSpec p = panel->asImageResourceSpec(7, 1, 1);
    EXPECT_EQ(p.id, 7);
    EXPECT_EQ(p.width, 565);
    EXPECT_EQ(p.height, 260);
    EXPECT_EQ(p.flags, 3u);
    ASSERT_EQ(p.pixels.size(), 587600u);
    EXPECT_FALSE(p.pixels.isHeld());  // a spec holds nothing until someone needs the pixels
    // It refers to the process's one decoded copy instead of a copy of its own.
    EXPECT_EQ(p.pixels.acquire().get(), packedPixels(*panel));
    EXPECT_EQ(p.url, panel->dataUrl);
    EXPECT_EQ(p.url.data(), panel->dataUrl);  // the URL is referred to, not copied
}

TEST_F(InstalledPack, AnExtraListNeverShadowsThePrimaryEntry) {
    PackedResource shadow = kPackedResources[4];
    shadow.width = 1;
    shadow.height = 1;
    const PackedResource extraEntries[] = {shadow};
    const PackedResourceList extra[] = {{extraEntries, 1}};
    const ResourcePack pack{kPackedResources, kCount, extra, 1};
    EXPECT_EQ(pack.find("vorlix/resources/bmp00128.png"), &kPackedResources[4]);
    setResourcePack(&pack);
    EXPECT_EQ(lookupPackedResource("vorlix/resources/bmp00128.png"), &kPackedResources[4]);
}
