#include "BankCategory.h"

namespace vorlix_bank {

namespace {
bool startsWith (std::string_view s, std::string_view prefix) { return s.substr (0, prefix.size ()) == prefix; }
}

Category categoryOf (std::string_view name)
{
    struct Prefix { std::string_view text; Category category; };
    static constexpr Prefix prefixes[] = {
        {"bass-", Category::Bass},   {"vintage-", Category::Vintage}, {"fx-", Category::Fx},
        {"pad-", Category::Pad},     {"piano-", Category::Piano},     {"lead-", Category::Lead},
        {"synth-", Category::Synth}, {"orch-", Category::Orch},       {"drums-", Category::Drum},
    };
    for (const auto& p : prefixes)
        if (startsWith (name, p.text))
            return p.category;
    return Category::Init;
}

const char* categoryName (Category c)
{
    switch (c)
    {
        case Category::Init: return "init";
        case Category::Bass: return "bass";
        case Category::Vintage: return "vintage";
        case Category::Fx: return "fx";
        case Category::Pad: return "pad";
        case Category::Piano: return "piano";
        case Category::Lead: return "lead";
        case Category::Synth: return "synth";
        case Category::Orch: return "orch";
        case Category::Drum: return "drums";
    }
    return "?";
}

bool isSlowAttack (std::string_view name)
{
    return categoryOf (name) == Category::Pad || name == "orch-strings";
}

int registerNote (std::string_view name)
{
    if (startsWith (name, "drums-bd-"))
        return 36;
    if (startsWith (name, "drums-snare"))
        return 38;
    if (startsWith (name, "drums-hihat"))
        return 42;
    switch (categoryOf (name))
    {
        case Category::Bass: return 36;   // C2
        case Category::Vintage: return 48; // C3
        case Category::Lead: return 72;   // C5
        case Category::Fx: return 72;
        default: return 60;               // C4
    }
}

} // namespace vorlix_bank
