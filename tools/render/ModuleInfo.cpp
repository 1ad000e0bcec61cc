#include "tools/render/ModuleInfo.h"

#include <cstdio>
#include <cstring>
#include <sstream>

using namespace Steinberg;

namespace Vorlix::Render {

namespace {
std::string field (const char8* text, size_t size)
{
    return std::string (text, strnlen (text, size));
}

void appendUtf8 (std::string& s, char32_t c)
{
    if (c < 0x80)
        s += static_cast<char> (c);
    else if (c < 0x800)
    {
        s += static_cast<char> (0xC0 | (c >> 6));
        s += static_cast<char> (0x80 | (c & 0x3F));
    }
    else if (c < 0x10000)
    {
        s += static_cast<char> (0xE0 | (c >> 12));
        s += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char> (0x80 | (c & 0x3F));
    }
    else
    {
        s += static_cast<char> (0xF0 | (c >> 18));
        s += static_cast<char> (0x80 | ((c >> 12) & 0x3F));
        s += static_cast<char> (0x80 | ((c >> 6) & 0x3F));
        s += static_cast<char> (0x80 | (c & 0x3F));
    }
}
} // namespace

std::string toUtf8 (const char16* text, size_t maxChars)
{
    std::string s;
    for (size_t i = 0; i < maxChars && text[i] != 0; ++i)
    {
        char32_t c = static_cast<char16_t> (text[i]);
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < maxChars && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000)
            c = 0x10000 + ((c - 0xD800) << 10) + (static_cast<char16_t> (text[++i]) - 0xDC00);
        else if (c >= 0xD800 && c < 0xE000)
            c = 0xFFFD; // a lone surrogate
        appendUtf8 (s, c);
    }
    return s;
}

void printModuleInfo (std::ostream& out, const Vorlix::Host::PluginModule& module, int classIndex,
                      const Vorlix::Host::PluginInstance& instance)
{
    IPluginFactory* factory = module.factory ();
    PFactoryInfo fi {};
    factory->getFactoryInfo (&fi);
    out << "module: " << module.libraryPath () << "\n";
    out << "factory vendor: " << field (fi.vendor, sizeof fi.vendor) << "\n";
    out << "factory url: " << field (fi.url, sizeof fi.url) << "\n";
    out << "factory e-mail: " << field (fi.email, sizeof fi.email) << "\n";

    FUnknownPtr<IPluginFactory2> factory2 (factory);
    PClassInfo2 ci2 {};
    if (factory2 && factory2->getClassInfo2 (classIndex, &ci2) == kResultOk)
    {
        out << "class: " << field (ci2.name, sizeof ci2.name) << "\n";
        out << "category: " << field (ci2.category, sizeof ci2.category) << "\n";
        out << "sub-categories: " << field (ci2.subCategories, sizeof ci2.subCategories) << "\n";
        out << "version: " << field (ci2.version, sizeof ci2.version) << "\n";
        out << "SDK version: " << field (ci2.sdkVersion, sizeof ci2.sdkVersion) << "\n";
    }
    else
    {
        PClassInfo ci {};
        factory->getClassInfo (classIndex, &ci);
        out << "class: " << field (ci.name, sizeof ci.name) << "\n";
        out << "category: " << field (ci.category, sizeof ci.category) << "\n";
        out << "sub-categories: (not reported)\nversion: (not reported)\nSDK version: (not reported)\n";
    }

    // The parameters a host shows; hidden ones (the controllers a host maps through IMidiMapping)
    // are only counted.
    Vst::IEditController* controller = instance.controller ();
    const int32 count = controller ? controller->getParameterCount () : 0;
    std::ostringstream listed;
    int32 shownCount = 0;
    int32 hidden = 0;
    for (int32 i = 0; i < count; ++i)
    {
        Vst::ParameterInfo p {};
        if (controller->getParameterInfo (i, p) != kResultOk)
        {
            listed << "  (parameter " << i << " could not be read)\n";
            continue;
        }
        if (p.flags & Vst::ParameterInfo::kIsHidden)
        {
            ++hidden;
            continue;
        }
        ++shownCount;
        Vst::String128 shown {};
        if (controller->getParamStringByValue (p.id, p.defaultNormalizedValue, shown) != kResultOk)
            shown[0] = 0;
        char line[512];
        std::snprintf (line, sizeof line, "  %3u  %-22s default %-10.6g ", p.id,
                       toUtf8 (p.title, 128).c_str (), p.defaultNormalizedValue);
        listed << line << '"' << toUtf8 (shown, 128) << "\"\n";
    }
    out << "parameters: " << shownCount << "\n" << listed.str ();
    if (hidden > 0)
        out << "hidden parameters: " << hidden << "\n";
}

} // namespace Vorlix::Render
