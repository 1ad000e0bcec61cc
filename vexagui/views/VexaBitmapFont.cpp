// Bitmap font metrics: fallback grid, loading from the resource pack, measuring.
#include "vexagui/views/VexaBitmapFont.h"

#include "vexagui/resources/ResourcePack.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>
#include <limits>

namespace vexagui {

namespace {

using nlohmann::json;

// Decimal integer at the start of `text` the way the standard string-to-int conversion reads it
// (leading spaces and a sign accepted, trailing text ignored). False when there is no leading
// number or it does not fit an int: such entries are skipped instead of failing the whole font.
bool leadingInt(const std::string& text, int& out) {
    const char* begin = text.c_str();
    char* end = nullptr;
    errno = 0;
    const long value = std::strtol(begin, &end, 10);
    if (end == begin || errno == ERANGE || value < INT_MIN || value > INT_MAX) return false;
    out = static_cast<int>(value);
    return true;
}

// Numbers of the document, converted without undefined behaviour: integers saturate at the int32
// range, fractions truncate toward zero, values of another JSON type leave `out` unchanged.
void readInt(const json& object, const char* key, std::int32_t& out) {
    const auto it = object.find(key);
    if (it == object.end()) return;
    if (it->is_number_unsigned()) {
        out = static_cast<std::int32_t>(std::min<std::uint64_t>(it->get<std::uint64_t>(), INT32_MAX));
    } else if (it->is_number_integer()) {
        out = static_cast<std::int32_t>(std::clamp<std::int64_t>(it->get<std::int64_t>(), INT32_MIN, INT32_MAX));
    } else if (it->is_number_float()) {
        const double d = it->get<double>();
        if (d != d) return;
        out = static_cast<std::int32_t>(std::clamp(d, static_cast<double>(INT32_MIN), static_cast<double>(INT32_MAX)));
    }
}

bool numberValue(const json& value, float& out) {
    if (!value.is_number()) return false;
    const double d = value.get<double>();
    if (d != d) return false;
    out = static_cast<float>(std::clamp(d, -static_cast<double>(FLT_MAX), static_cast<double>(FLT_MAX)));
    return true;
}

void readFloat(const json& object, const char* key, float& out) {
    const auto it = object.find(key);
    if (it != object.end()) numberValue(*it, out);
}

bool isSeparator(char c) { return c == '/' || c == '\\'; }

} // namespace

VexaBitmapFont::VexaBitmapFont(const Definition& d)
    : resourceId(d.resourceId),
      atlasPath(d.atlasPath),
      metricsPath(d.metricsPath),
      atlasWidth(d.atlasWidth),
      atlasHeight(d.atlasHeight),
      firstChar(d.firstChar),
      lastChar(d.lastChar),
      columns(d.columns),
      lineHeight(d.lineHeight),
      defaultAdvance(d.defaultAdvance),
      scale(d.scale) {}

VexaBitmapFont VexaBitmapFont::makeFallback() {
    VexaBitmapFont font;
    font.resourceId = -1;
    font.atlasWidth = 128;
    font.atlasHeight = 96;
    font.firstChar = 32;
    font.lastChar = 126;
    font.columns = 16;
    font.lineHeight = 9.0f;
    font.defaultAdvance = 8.0f;
    font.scale = 1.0f;
    for (int k = font.firstChar; k <= std::min(font.lastChar, 127); ++k) {
        const int n = k - font.firstChar;
        Glyph g;
        g.valid = true;
        g.x = static_cast<float>((n % font.columns) * 8);
        g.y = static_cast<float>((n / font.columns) * 9);
        g.w = 8.0f;
        g.h = 9.0f;
        g.advance = 8.0f;
        font.setGlyph(k, g);
    }
    return font;
}

VexaBitmapFont VexaBitmapFont::resolve(const Definition& definition) {
    VexaBitmapFont font(definition);
    if (font.resourceId < 0 && font.atlasPath.empty() && font.metricsPath.empty()) font = makeFallback();
    font.loadMetricsFromJson();
    return font;
}

VexaBitmapFont VexaBitmapFont::resolve(int resourceId, const std::string& metricsPath) {
    Definition definition;
    definition.resourceId = resourceId;
    definition.metricsPath = metricsPath;
    return resolve(definition);
}

VexaBitmapFont VexaBitmapFont::resolve(int resourceId, const std::string& metricsPath, float scale) {
    Definition definition;
    definition.resourceId = resourceId;
    definition.metricsPath = metricsPath;
    definition.scale = scale;
    return resolve(definition);
}

void VexaBitmapFont::loadMetricsFromJson() {
    const PackedResource* entry = lookupPackedResource(metricsPath.c_str());
    if (entry == nullptr || entry->text == nullptr || entry->textLength == 0) return;
    const std::string_view text(entry->text, entry->textLength);
    const json doc = json::parse(text.begin(), text.end(), nullptr, /*allow_exceptions=*/false);
    if (doc.is_discarded()) return;
    // Every read below is by member; a document of another shape has nothing to offer.
    if (!doc.is_object()) return;

    readInt(doc, "atlasWidth", atlasWidth);
    readInt(doc, "atlasHeight", atlasHeight);
    const auto pathIt = doc.find("atlasPath");
    if (pathIt != doc.end() && pathIt->is_string()) {
        const std::string& value = pathIt->get_ref<const std::string&>();
        if (!value.empty()) {
            // A bare file name lives next to its metrics document.
            const bool bare = std::none_of(value.begin(), value.end(), isSeparator);
            const auto lastSep = std::find_if(metricsPath.rbegin(), metricsPath.rend(), isSeparator);
            if (bare && lastSep != metricsPath.rend()) {
                atlasPath = std::string(metricsPath.begin(), lastSep.base()) + value;
            } else {
                atlasPath = value;
            }
        }
    }
    if (resourceId < 0) readInt(doc, "resourceId", resourceId);
    readFloat(doc, "lineHeight", lineHeight);
    readFloat(doc, "defaultAdvance", defaultAdvance);
    readInt(doc, "firstChar", firstChar);
    readInt(doc, "lastChar", lastChar);
    readInt(doc, "columns", columns);

    const auto glyphsIt = doc.find("glyphs");
    if (glyphsIt != doc.end() && glyphsIt->is_object()) {
        for (const auto& [key, value] : glyphsIt->items()) {
            int code = 0;
            if (!leadingInt(key, code) || code < 0 || code >= kGlyphCount || !value.is_object()) continue;
            Glyph g;
            g.valid = true;
            g.h = lineHeight;
            g.advance = defaultAdvance;
            readFloat(value, "x", g.x);
            readFloat(value, "y", g.y);
            readFloat(value, "w", g.w);
            readFloat(value, "h", g.h);
            readFloat(value, "advance", g.advance);
            setGlyph(code, g);
        }
    }

    clearKerningPairs();
    const auto kerningIt = doc.find("kerning");
    if (kerningIt != doc.end() && kerningIt->is_object()) {
        for (const auto& [key, value] : kerningIt->items()) {
            const std::size_t comma = key.find(',');
            if (comma == std::string::npos) continue;
            int first = 0;
            int second = 0;
            float adjustment = 0.0f;
            if (!leadingInt(key.substr(0, comma), first) || !leadingInt(key.substr(comma + 1), second)) continue;
            if (first < 0 || first > 255 || second < 0 || second > 255 || !numberValue(value, adjustment)) continue;
            setKerningPair(static_cast<unsigned char>(first), static_cast<unsigned char>(second), adjustment);
        }
    }
}

void VexaBitmapFont::setGlyph(int code, const Glyph& glyph) {
    if (code >= 0 && code < kGlyphCount) glyphs_[static_cast<std::size_t>(code)] = glyph;
}

void VexaBitmapFont::clearKerningPairs() { kerning_.clear(); }

void VexaBitmapFont::setKerningPair(unsigned char first, unsigned char second, float adjustment) {
    kerning_[pairKey(first, second)] = adjustment;
}

ResourceSpec VexaBitmapFont::resourceSpec() const {
    if (const PackedResource* entry = lookupPackedResource(atlasPath.c_str())) {
        return entry->asImageResourceSpec(resourceId, atlasWidth, atlasHeight);
    }
    return ResourceSpec::placeholder(resourceId, atlasWidth, atlasHeight);
}

const VexaBitmapFont::Glyph& VexaBitmapFont::glyph(char ch) const {
    const auto code = static_cast<unsigned char>(ch);
    return glyphs_[code < kGlyphCount ? code : static_cast<unsigned char>('?')];
}

float VexaBitmapFont::kerning(char first, char second) const {
    const auto it = kerning_.find(pairKey(static_cast<unsigned char>(first), static_cast<unsigned char>(second)));
    return it == kerning_.end() ? 0.0f : it->second;
}

float VexaBitmapFont::prefixWidth(std::string_view text, std::size_t count) const {
    const std::size_t n = std::min(count, text.size());
    float w = 0.0f;
    for (std::size_t i = 0; i < n; ++i) {
        if (i > 0) w += kerning(text[i - 1], text[i]);
        const Glyph& g = glyph(text[i]);
        w += g.valid ? g.advance : defaultAdvance;
    }
    return w;
}

} // namespace vexagui
