#include "protocol/Commands.h"
#include "protocol/Layouts.h"

namespace protocol {

FieldAt fieldAt(const Layout& layout, int offset) {
    if (offset < 0 || offset >= layout.size)
        return {};
    if (layout.records > 0 && offset >= layout.recordsAt &&
        offset < layout.recordsAt + layout.records * layout.recordSize) {
        const int record = (offset - layout.recordsAt) / layout.recordSize;
        const int inside = (offset - layout.recordsAt) % layout.recordSize;
        for (const Field& f : layout.recordFields)
            if (inside >= f.offset && inside < f.end())
                return {&f, record, layout.recordsAt + record * layout.recordSize + f.offset};
        return {};
    }
    for (const Field& f : layout.fields)
        if (offset >= f.offset && offset < f.end())
            return {&f, -1, f.offset};
    return {};
}

const Layout* findLayout(std::string_view name) {
    for (const Layout* l : kLayouts)
        if (name == l->name)
            return l;
    return nullptr;
}

const Command* findFunction(std::string_view function) {
    for (const Command* c : kCommands)
        if (function == c->function)
            return c;
    return nullptr;
}

const Command* findCode(std::string_view code) {
    for (const Command* c : kCommands)
        if (code == c->code)
            return c;
    return nullptr;
}

int answerSize(std::string_view code) {
    int size = 0;
    for (const Command* c : kCommands)
        if (code == c->code && c->answer.size > size)
            size = c->answer.size;
    return size > 0 ? size : Acknowledgement::layout.size;
}

const Layout* answerLayout(std::string_view code) {
    const Command* c = findCode(code);
    return c ? c->answer.layout : nullptr;
}

bool codePrints(std::string_view code) {
    for (const Command* c : kCommands)
        if (code == c->code && c->prints)
            return true;
    return false;
}

Param param(const Command& command, int index) {
    std::string_view rest = command.params;
    for (int i = 0; !rest.empty(); ++i) {
        const size_t comma = rest.find(',');
        std::string_view name = rest.substr(0, comma);
        if (i == index) {
            const bool secret = !name.empty() && name.front() == '*';
            const bool fixed = !name.empty() && name.front() == '=';
            return {secret || fixed ? name.substr(1) : name, secret, fixed};
        }
        if (comma == std::string_view::npos)
            break;
        rest.remove_prefix(comma + 1);
    }
    return {};
}

int paramCount(const Command& command) {
    std::string_view p = command.params;
    if (p.empty())
        return 0;
    int n = 1;
    for (char c : p)
        n += c == ',';
    return n;
}

std::vector<std::string_view> argumentNames(std::string_view function) {
    std::vector<std::string_view> names;
    if (const Command* c = findFunction(function)) {
        for (int i = 0; i < paramCount(*c); ++i)
            if (const Param p = param(*c, i); !p.fixed)
                names.push_back(p.name);
        return names;
    }
    for (const LinkFunction& f : kLinkFunctions)
        if (function == f.name) {
            for (std::string_view rest = f.params; !rest.empty();) {
                const size_t comma = rest.find(',');
                names.push_back(rest.substr(0, comma));
                if (comma == std::string_view::npos)
                    break;
                rest.remove_prefix(comma + 1);
            }
            break;
        }
    return names;
}

bool knownFunction(std::string_view function) {
    if (findFunction(function) != nullptr)
        return true;
    for (const LinkFunction& f : kLinkFunctions)
        if (function == f.name)
            return true;
    return false;
}

unsigned secretMask(std::string_view code) {
    unsigned mask = 0;
    for (const Command* c : kCommands)
        if (code == c->code)
            for (int i = 0; i < paramCount(*c) && i < 32; ++i)
                if (param(*c, i).secret)
                    mask |= 1u << i;
    return mask;
}

} // namespace protocol
