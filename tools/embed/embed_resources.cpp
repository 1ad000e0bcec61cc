// Build-time generator of the embedded resource pack. Reads the asset sources and writes one
// C++ source that defines `kPackedResources` and `kResourcePack`: each image as its PNG file in
// a base64 data URL (compressed: the module decodes it on first use; the size is checked here),
// each metrics document as text.
//   vorlix-embed <output.cpp> <source-root> <path> [<path> ...] [--extra-list <path> ...]
// Paths are relative to the source root and become the lookup keys, in the order given. The
// paths after --extra-list form the pack's extra list `kDoubleResolutionResources`, searched
// after the primary one (the artwork at twice the resolution); a primary image names its partner
// there, "dir/2x/name.png" for "dir/name.png".
// Data is written as long string literals, which compile far faster than one initializer per
// byte.
#include <png.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct Asset {
    std::string path;    // lookup key
    std::string symbol;  // path with '/' and '.' replaced by '_'
    bool image = false;
    std::string fileBytes;
    // Image only.
    int width = 0, height = 0;
    std::vector<unsigned char> rgba;
};

bool readFile(const std::string& file, std::string& out) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return false;
    std::ostringstream s;
    s << in.rdbuf();
    out = s.str();
    return static_cast<bool>(in) || in.eof();
}

bool endsWith(const std::string& s, const char* suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

std::string symbolOf(const std::string& path) {
    std::string s = path;
    for (char& c : s)
        if (c == '/' || c == '.') c = '_';
    return s;
}

std::string base64(const std::string& bytes) {
    static const char* const kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string out;
    out.reserve((bytes.size() + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= bytes.size(); i += 3) {
        const unsigned v = (static_cast<unsigned char>(bytes[i]) << 16) |
                           (static_cast<unsigned char>(bytes[i + 1]) << 8) |
                           static_cast<unsigned char>(bytes[i + 2]);
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += kAlphabet[(v >> 6) & 63];
        out += kAlphabet[v & 63];
    }
    const size_t rest = bytes.size() - i;
    if (rest > 0) {
        unsigned v = static_cast<unsigned char>(bytes[i]) << 16;
        if (rest == 2) v |= static_cast<unsigned char>(bytes[i + 1]) << 8;
        out += kAlphabet[(v >> 18) & 63];
        out += kAlphabet[(v >> 12) & 63];
        out += rest == 2 ? kAlphabet[(v >> 6) & 63] : '=';
        out += '=';
    }
    return out;
}

// Decodes the PNG to 8-bit RGBA, rows top to bottom.
bool decodePng(Asset& a) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, a.fileBytes.data(), a.fileBytes.size()))
        return false;
    image.format = PNG_FORMAT_RGBA;
    a.rgba.assign(PNG_IMAGE_SIZE(image), 0);
    if (!png_image_finish_read(&image, nullptr, a.rgba.data(), 0, nullptr)) {
        png_image_free(&image);
        return false;
    }
    a.width = static_cast<int>(image.width);
    a.height = static_cast<int>(image.height);
    return a.width > 0 && a.height > 0;
}

// Emits bytes as string-literal pieces of bounded line length. Every escape is a full
// three-digit octal one, so no following character can extend it.
void writeBytesLiteral(std::ostream& out, const unsigned char* data, size_t size) {
    std::string line;
    line.reserve(4200);
    auto flush = [&] {
        out << "    \"" << line << "\"\n";
        line.clear();
    };
    for (size_t i = 0; i < size; ++i) {
        const unsigned char c = data[i];
        if (c >= 0x20 && c < 0x7F && c != '"' && c != '\\' && c != '?') {
            line += static_cast<char>(c);
        } else {
            char esc[5];
            std::snprintf(esc, sizeof esc, "\\%03o", c);
            line += esc;
        }
        if (line.size() >= 4000) flush();
    }
    if (!line.empty() || size == 0) flush();
}

void writeTextLiteral(std::ostream& out, const std::string& text) {
    // One literal piece per source line keeps the generated file readable.
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        end = end == std::string::npos ? text.size() : end + 1;
        writeBytesLiteral(out, reinterpret_cast<const unsigned char*>(text.data()) + start,
                          end - start);
        start = end;
    }
    if (text.empty()) out << "    \"\"\n";
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: vorlix-embed <output.cpp> <source-root> <path> [<path> ...] "
                             "[--extra-list <path> ...]\n");
        return 2;
    }
    if (std::strcmp(argv[3], "--extra-list") == 0) {
        std::fprintf(stderr, "vorlix-embed: the primary list needs at least one path\n");
        return 2;
    }
    const std::string output = argv[1];
    const std::string root = argv[2];
    std::vector<Asset> assets;
    size_t primaryCount = 0;
    bool extra = false;
    for (int i = 3; i < argc; ++i) {
        if (std::strcmp(argv[i], "--extra-list") == 0 && !extra) {
            extra = true;
            continue;
        }
        if (!extra) ++primaryCount;
        Asset a;
        a.path = argv[i];
        a.symbol = symbolOf(a.path);
        if (!readFile(root + "/" + a.path, a.fileBytes)) {
            std::fprintf(stderr, "vorlix-embed: cannot read %s/%s\n", root.c_str(), a.path.c_str());
            return 1;
        }
        a.image = endsWith(a.path, ".png");
        if (a.image && !decodePng(a)) {
            std::fprintf(stderr, "vorlix-embed: %s is not a readable PNG file\n", a.path.c_str());
            return 1;
        }
        if (!a.image && a.fileBytes.find('\0') != std::string::npos) {
            std::fprintf(stderr, "vorlix-embed: %s holds a zero byte\n", a.path.c_str());
            return 1;
        }
        assets.push_back(std::move(a));
    }

    // A primary image's 2x partner: the extra-list image of the same name in a 2x/ folder beside
    // it, exactly twice its size (a partner of another size would be drawn wrongly, so it is an
    // error here rather than a surprise in the editor).
    bool partnerError = false;
    const auto doubleOf = [&](const Asset& a) -> const Asset* {
        const size_t slash = a.path.rfind('/');
        const std::string wanted = slash == std::string::npos
                                       ? "2x/" + a.path
                                       : a.path.substr(0, slash + 1) + "2x/" + a.path.substr(slash + 1);
        for (size_t j = primaryCount; j < assets.size(); ++j) {
            const Asset& b = assets[j];
            if (b.path != wanted || !b.image) continue;
            if (b.width != 2 * a.width || b.height != 2 * a.height) {
                std::fprintf(stderr, "vorlix-embed: %s is not twice the size of %s\n", b.path.c_str(), a.path.c_str());
                partnerError = true;
                return nullptr;
            }
            return &b;
        }
        return nullptr;
    };

    std::ostringstream out;
    out << "// Generated at build time by vorlix-embed from the asset sources; do not edit.\n"
           "#include \"vexagui/resources/EmbeddedResources.h\"\n\n"
           "namespace vexagui {\nnamespace {\n\n";
    for (const Asset& a : assets) {
        if (a.image) {
            out << "const char " << a.symbol << "_url[] =\n    \"data:image/png;base64,\"\n";
            const std::string b64 = base64(a.fileBytes);
            writeBytesLiteral(out, reinterpret_cast<const unsigned char*>(b64.data()), b64.size());
            out << "    ;\n\n";
        } else {
            out << "const char " << a.symbol << "_text[] =\n";
            writeTextLiteral(out, a.fileBytes);
            out << "    ;\n\n";
        }
    }
    out << "}  // namespace\n\n";
    const auto table = [&](const char* name, size_t from, size_t to) {
        out << "const PackedResource " << name << "[" << to - from << "] = {\n";
        for (size_t i = from; i < to; ++i) {
            const Asset& a = assets[i];
            if (a.image) {
                out << "    {\"" << a.path << "\", \"image/png\", " << a.symbol << "_url, " << a.width
                    << ", " << a.height << ", 4, 8, nullptr, 0u, nullptr, 0u, true, ";
                const Asset* partner = i < primaryCount ? doubleOf(a) : nullptr;
                if (partner != nullptr)
                    out << "\"" << partner->path << "\"},\n";
                else
                    out << "nullptr},\n";
            } else {
                out << "    {\"" << a.path << "\", \"application/json\", nullptr, 0, 0, 0, 0, nullptr, 0u, "
                    << a.symbol << "_text, " << a.fileBytes.size() << "u, false},\n";
            }
        }
        out << "};\n\n";
    };
    table("kPackedResources", 0, primaryCount);
    const size_t extraCount = assets.size() - primaryCount;
    if (extraCount > 0) {
        table("kDoubleResolutionResources", primaryCount, assets.size());
        out << "const PackedResourceList kExtraResourceLists[1] = {{kDoubleResolutionResources, " << extraCount
            << "u}};\n\n";
    }
    out << "const ResourcePack kResourcePack = {kPackedResources, " << primaryCount << "u, "
        << (extraCount > 0 ? "kExtraResourceLists, 1u" : "nullptr, 0u") << "};\n\n}  // namespace vexagui\n";

    if (partnerError) return 1;
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    file << out.str();
    if (!file) {
        std::fprintf(stderr, "vorlix-embed: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
