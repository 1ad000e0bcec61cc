// Lookup by path, conversion of packed entries into renderer resources, and the process's
// shared decoded copies of compressed images.
#include "vexagui/resources/ResourcePack.h"

#include "vexagui/resources/PackedImageStore.h"

#include <gtest/gtest.h>

#include <array>

namespace vexagui {
namespace {

const std::uint8_t kPixels[2 * 3 * 4] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};

const PackedResource kPrimary[] = {
    {nullptr, "image/png", nullptr, 1, 1, 4, 8, nullptr, 0, nullptr, 0},  // skipped: no path
    {"vorlix/resources/img.png", "image/png", "data:image/png;base64,AAAA", 2, 3, 4, 8, kPixels, sizeof kPixels, nullptr, 0},
    {"vorlix/resources/doc.json", "application/json", nullptr, 0, 0, 0, 0, nullptr, 0, "{}", 2},
    {"vorlix/resources/img.png", "image/png", nullptr, 9, 9, 4, 8, nullptr, 0, nullptr, 0},  // duplicate, unreachable
};
const PackedResource kExtraA[] = {
    {"vorlix/resources/img.png", "image/png", nullptr, 7, 7, 4, 8, nullptr, 0, nullptr, 0},
    {"extra/a.png", "image/png", nullptr, 5, 5, 4, 8, nullptr, 0, nullptr, 0},
};
const PackedResource kExtraB[] = {
    {"extra/a.png", "image/png", nullptr, 6, 6, 4, 8, nullptr, 0, nullptr, 0},
    {"extra/b.png", "image/png", nullptr, 8, 8, 4, 8, nullptr, 0, nullptr, 0},
};
const PackedResourceList kExtras[] = {{kExtraA, 2}, {nullptr, 3}, {kExtraB, 2}};
const ResourcePack kPack{kPrimary, 4, kExtras, 3};

TEST(ResourcePack, FindMatchesWholePathExactlyAndFirstMatchWins) {
    struct Case {
        const char* path;
        const PackedResource* expected;
    } cases[] = {
        {"vorlix/resources/img.png", &kPrimary[1]},  // primary beats its duplicate and the extra list
        {"vorlix/resources/doc.json", &kPrimary[2]},
        {"extra/a.png", &kExtraA[1]},                // earlier extra list wins
        {"extra/b.png", &kExtraB[1]},                // a null list in between is skipped
        {"Vorlix/resources/img.png", nullptr},       // case matters
        {"./vorlix/resources/img.png", nullptr},     // no separator normalisation
        {"vorlix/resources/img", nullptr},           // whole string only
        {"vorlix/resources/img.png ", nullptr},
        {"", nullptr},
        {nullptr, nullptr},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(kPack.find(c.path), c.expected) << (c.path ? c.path : "(null)");
    }
    const ResourcePack empty{};
    EXPECT_EQ(empty.find("extra/a.png"), nullptr);
}

TEST(ResourcePack, LookupNeedsAnInstalledPack) {
    setResourcePack(nullptr);
    EXPECT_EQ(resourcePack(), nullptr);
    EXPECT_EQ(lookupPackedResource("vorlix/resources/img.png"), nullptr);
    setResourcePack(&kPack);
    EXPECT_EQ(resourcePack(), &kPack);
    EXPECT_EQ(lookupPackedResource("vorlix/resources/img.png"), &kPrimary[1]);
    EXPECT_EQ(lookupPackedResource(nullptr), nullptr);
    setResourcePack(nullptr);
    EXPECT_EQ(lookupPackedResource("vorlix/resources/img.png"), nullptr);
}

TEST(ResourcePack, ImageSpecTakesEntrySizesAndRefersToTheData) {
    const ResourceSpec spec = kPrimary[1].asImageResourceSpec(7, 1, 1);
    EXPECT_EQ(spec.id, 7);
    EXPECT_EQ(spec.width, 2);
    EXPECT_EQ(spec.height, 3);
    EXPECT_EQ(spec.channels, 4);
    EXPECT_EQ(spec.bitsPerChannel, 8);
    EXPECT_EQ(spec.flags, ResourceSpec::kHasUrl | ResourceSpec::kHasPixels);
    EXPECT_EQ(spec.url, "data:image/png;base64,AAAA");
    ASSERT_EQ(spec.pixels.size(), sizeof kPixels);
    EXPECT_EQ(spec.pixels.front(), 1);
    EXPECT_EQ(spec.pixels.back(), 24);
    EXPECT_EQ(spec.pixels.data(), kPixels);  // raw pixels are referred to, not copied
    // Writing to a spec's pixels makes them its own and leaves the table alone.
    ResourceSpec copy = spec;
    copy.pixels.push_back(25);
    EXPECT_EQ(copy.pixels.size(), sizeof kPixels + 1);
    EXPECT_EQ(copy.pixels.back(), 25);
    EXPECT_EQ(spec.pixels.data(), kPixels);
    EXPECT_EQ(kPixels[23], 24);
}

// A 2 x 3 RGBA PNG whose pixels are the bytes 1 to 24, as a data URL.
constexpr const char* kPngUrl =
    "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAIAAAADCAYAAAC56t6BAAAAI0lEQVR42mNgZGJmYWVj52Dg5OLm4eXjF2AQF"
    "BIWERUTlwAACu8BLRKPGikAAAAASUVORK5CYII=";

TEST(PackedImageStore, DecodesOnFirstUseSharesOneCopyAndFreesItWithTheLastHolder) {
    const PackedResource entry{"c.png", "image/png", kPngUrl, 2, 3, 4, 8, nullptr, 0, nullptr, 0, true};
    const PackedImageStore::Usage before = PackedImageStore::usage();

    ResourceSpec a = entry.asImageResourceSpec(1, 0, 0);
    const ResourceSpec b = entry.asImageResourceSpec(2, 0, 0);
    EXPECT_EQ(a.flags, ResourceSpec::kHasUrl | ResourceSpec::kHasPixels);
    EXPECT_EQ(a.pixels.size(), 24u);  // known without decoding
    EXPECT_FALSE(a.pixels.isHeld());
    EXPECT_EQ(PackedImageStore::usage().decodes, before.decodes);
    EXPECT_EQ(PackedImageStore::usage().liveBytes, before.liveBytes);

    ASSERT_TRUE(a.pixels.hold());
    std::shared_ptr<const std::uint8_t> viaB = b.pixels.acquire();
    EXPECT_EQ(viaB.get(), a.pixels.data());  // one copy for both
    EXPECT_EQ(PackedImageStore::usage().decodes, before.decodes + 1);
    EXPECT_EQ(PackedImageStore::usage().liveBytes, before.liveBytes + 24);
    for (int i = 0; i < 24; ++i) EXPECT_EQ(a.pixels[static_cast<std::size_t>(i)], i + 1);

    a.pixels.release();
    EXPECT_EQ(PackedImageStore::usage().liveBytes, before.liveBytes + 24);  // b's holder remains
    viaB.reset();
    EXPECT_EQ(PackedImageStore::usage().liveBytes, before.liveBytes);
    EXPECT_EQ(PackedImageStore::usage().liveImages, before.liveImages);

    // Released pixels are made again on demand.
    ASSERT_TRUE(a.pixels.hold());
    EXPECT_EQ(a.pixels.back(), 24);
    EXPECT_EQ(PackedImageStore::usage().decodes, before.decodes + 2);
}

TEST(PackedImageStore, ADamagedOrMisdescribedImageGivesNoPixels) {
    const PackedResource cases[] = {
        {"size.png", "image/png", kPngUrl, 3, 2, 4, 8, nullptr, 0, nullptr, 0, true},  // table disagrees
        {"b64.png", "image/png", "data:image/png;base64,iVBORw0KGgo*AAA", 2, 3, 4, 8, nullptr, 0, nullptr, 0, true},
        {"png.png", "image/png", "data:image/png;base64,AAAAAAAA", 2, 3, 4, 8, nullptr, 0, nullptr, 0, true},
        {"type.png", "image/png", "data:text/plain;base64,AAAA", 2, 3, 4, 8, nullptr, 0, nullptr, 0, true},
        {"cut.png", "image/png", "data:image/png;base64,iVBORw0KGgoAAAANSUhEUgAAAAIAAAADCAYAAAC56t6BAAAAI0lEQVR4", 2, 3,
         4, 8, nullptr, 0, nullptr, 0, true},
    };
    for (const PackedResource& entry : cases) {
        const std::size_t decodesBefore = PackedImageStore::usage().decodes;
        ResourceSpec spec = entry.asImageResourceSpec(1, 0, 0);
        EXPECT_FALSE(spec.pixels.hold()) << entry.path;
        EXPECT_EQ(spec.pixels.acquire(), nullptr) << entry.path;
        EXPECT_EQ(spec.pixels.data(), nullptr) << entry.path;
        // Every frame of an open editor asks again: the failure is remembered, not decoded anew.
        EXPECT_EQ(PackedImageStore::usage().decodes, decodesBefore + 1) << entry.path;
    }
}

TEST(ResourcePack, AnEntryNamesItsDoubleResolutionPartner) {
    static const std::uint8_t kDouble[4 * 6 * 4] = {};
    static const PackedResource kDoubles[] = {
        {"2x/img.png", "image/png", "data:image/png;base64,AAAA", 4, 6, 4, 8, kDouble, sizeof kDouble, nullptr, 0},
        {"2x/odd.png", "image/png", "data:image/png;base64,AAAA", 5, 6, 4, 8, kDouble, sizeof kDouble, nullptr, 0},
    };
    static const PackedResourceList kDoubleList[] = {{kDoubles, 2}};
    static const PackedResource kImages[] = {
        {"img.png", "image/png", "data:", 2, 3, 4, 8, kPixels, sizeof kPixels, nullptr, 0, false, "2x/img.png"},
        {"odd.png", "image/png", "data:", 2, 3, 4, 8, kPixels, sizeof kPixels, nullptr, 0, false, "2x/odd.png"},
        {"lost.png", "image/png", "data:", 2, 3, 4, 8, kPixels, sizeof kPixels, nullptr, 0, false, "2x/none.png"},
        {"plain.png", "image/png", "data:", 2, 3, 4, 8, kPixels, sizeof kPixels, nullptr, 0},
    };
    const ResourcePack pack{kImages, 4, kDoubleList, 1};
    const struct {
        const PackedResource& entry;
        const PackedResource* partner;
    } cases[] = {
        {kImages[0], &kDoubles[0]},
        {kImages[1], nullptr},  // not exactly twice the size: would be drawn wrongly
        {kImages[2], nullptr},  // named but absent
        {kImages[3], nullptr},  // names none
    };
    setResourcePack(&pack);
    for (const auto& c : cases) {
        EXPECT_EQ(pack.doubleResolutionOf(c.entry), c.partner) << c.entry.path;
        const ResourceSpec spec = c.entry.asImageResourceSpec(1, 0, 0);
        EXPECT_EQ(spec.doublePixels.size(), c.partner != nullptr ? sizeof kDouble : 0u) << c.entry.path;
        EXPECT_EQ(spec.pixels.size(), sizeof kPixels) << c.entry.path;
    }
    // The partner is looked up in the installed pack.
    setResourcePack(nullptr);
    EXPECT_TRUE(kImages[0].asImageResourceSpec(1, 0, 0).doublePixels.empty());
}

TEST(ResourcePack, ImageSpecFallsBackFieldByField) {
    struct Case {
        PackedResource entry;
        int width, height, channels, bits;
        std::uint32_t flags;
    } cases[] = {
        {{"doc", "application/json", nullptr, 0, 0, 0, 0, nullptr, 0, "{}", 2}, 30, 40, 4, 8, 0},
        {{"neg", "image/png", "", -5, 12, -1, 16, nullptr, 0, nullptr, 0}, 30, 12, 4, 16, 0},  // empty url: no flag
        {{"px", "image/png", nullptr, 3, 0, 3, 0, kPixels, 4, nullptr, 0}, 3, 40, 3, 8, ResourceSpec::kHasPixels},
        {{"nobytes", "image/png", "data:x", 2, 2, 4, 8, kPixels, 0, nullptr, 0}, 2, 2, 4, 8, ResourceSpec::kHasUrl},
    };
    for (const Case& c : cases) {
        const ResourceSpec spec = c.entry.asImageResourceSpec(42, 30, 40);
        EXPECT_EQ(spec.id, 42) << c.entry.path;
        EXPECT_EQ(spec.width, c.width) << c.entry.path;
        EXPECT_EQ(spec.height, c.height) << c.entry.path;
        EXPECT_EQ(spec.channels, c.channels) << c.entry.path;
        EXPECT_EQ(spec.bitsPerChannel, c.bits) << c.entry.path;
        EXPECT_EQ(spec.flags, c.flags) << c.entry.path;
        EXPECT_EQ(spec.url.empty(), (c.flags & ResourceSpec::kHasUrl) == 0) << c.entry.path;
        EXPECT_EQ(spec.pixels.empty(), (c.flags & ResourceSpec::kHasPixels) == 0) << c.entry.path;
    }
}

} // namespace
} // namespace vexagui
