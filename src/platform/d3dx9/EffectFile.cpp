#include "platform/d3dx9/EffectFile.h"

#include <cctype>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace plat::fx {
namespace {

constexpr size_t kMaxName = 63;
constexpr size_t kMaxPasses = 16;
constexpr int kMaxErrors = 32;
constexpr int kMaxStage = 7;

std::vector<std::string> Tokens(std::string_view line)
{
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        const size_t start = i;
        while (i < line.size() && !std::isspace(static_cast<unsigned char>(line[i])))
            ++i;
        if (i > start)
            tokens.emplace_back(line.substr(start, i - start));
    }
    return tokens;
}

bool ValidName(const std::string& name)
{
    if (name.empty() || name.size() > kMaxName || std::isdigit(static_cast<unsigned char>(name[0])))
        return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_')
            return false;
    return true;
}

bool ParseFloat(const std::string& token, float* value)
{
    char* end = nullptr;
    *value = std::strtof(token.c_str(), &end);
    return end && *end == '\0' && end != token.c_str();
}

template <class T>
int FindByName(const std::vector<T>& items, const std::string& name)
{
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].name == name)
            return int(i);
    return -1;
}

struct ShaderRef {
    size_t technique, pass;
    std::string vertex, pixel;
    int line;
};

class Parser {
public:
    void Line(int number, std::string_view text);
    bool Finish(int lastLine, EffectFile* out, std::string* errors);

private:
    enum class Block { None, Shader, Technique };

    void Error(int line, const std::string& message);
    void Statement(int line, const std::vector<std::string>& t);
    void Param(int line, const std::vector<std::string>& t);
    void ParamValues(int line, Parameter& p, const std::vector<std::string>& t, size_t at);
    bool TextureOptions(int line, Parameter& p, const std::vector<std::string>& t, size_t* at);
    void BlockStart(int line, const std::vector<std::string>& t, Block kind, bool pixel);
    void PassLine(int line, const std::vector<std::string>& t);
    void ResolveShaders();
    int ShaderIndex(const ShaderRef& ref, const std::string& name, bool pixel);

    EffectFile m_file;
    std::string m_errors;
    int m_errorCount = 0;
    Block m_block = Block::None;
    int m_blockLine = 0;
    std::vector<ShaderRef> m_refs;
};

void Parser::Error(int line, const std::string& message)
{
    if (++m_errorCount > kMaxErrors)
        return;
    m_errors += "line " + std::to_string(line) + ": " + message + "\n";
}

void Parser::Line(int number, std::string_view text)
{
    if (!text.empty() && text.back() == '\r')
        text.remove_suffix(1);
    const std::vector<std::string> t = Tokens(text);
    if (m_block == Block::Shader) {
        if (t.size() == 1 && t[0] == "end")
            m_block = Block::None;
        else
            m_file.shaders.back().source.append(text).append("\n");
        return;
    }
    if (t.empty() || t[0][0] == '#' || t[0].rfind("//", 0) == 0)
        return;
    Statement(number, t);
}

void Parser::Statement(int line, const std::vector<std::string>& t)
{
    const std::string& keyword = t[0];
    if (m_block == Block::Technique) {
        if (keyword == "pass")
            PassLine(line, t);
        else if (keyword == "end" && t.size() == 1) {
            if (m_file.techniques.back().passes.empty())
                Error(line, "technique '" + m_file.techniques.back().name + "' has no pass");
            m_block = Block::None;
        } else
            Error(line, "expected 'pass' or 'end' in technique, found '" + keyword + "'");
        return;
    }
    if (keyword == "param")
        Param(line, t);
    else if (keyword == "vertexshader" || keyword == "pixelshader")
        BlockStart(line, t, Block::Shader, keyword == "pixelshader");
    else if (keyword == "technique")
        BlockStart(line, t, Block::Technique, false);
    else
        Error(line, "unknown keyword '" + keyword + "'");
}

void Parser::Param(int line, const std::vector<std::string>& t)
{
    static const std::pair<const char*, ParamType> kTypes[] = {{"float", ParamType::Float},
                                                               {"vector", ParamType::Vector},
                                                               {"matrix", ParamType::Matrix},
                                                               {"texture", ParamType::Texture},
                                                               {"cubetexture", ParamType::CubeTexture},
                                                               {"int", ParamType::Int}};
    if (t.size() < 3) {
        Error(line, "expected 'param <type> <name>'");
        return;
    }
    Parameter p;
    bool typeFound = false;
    for (const auto& [word, type] : kTypes)
        if (t[1] == word) {
            p.type = type;
            typeFound = true;
        }
    if (!typeFound)
        return Error(line, "unknown parameter type '" + t[1] + "'");
    if (!ValidName(t[2]))
        return Error(line, "bad parameter name '" + t[2] + "'");
    if (FindByName(m_file.parameters, t[2]) >= 0)
        return Error(line, "parameter '" + t[2] + "' defined twice");
    p.name = t[2];
    if (p.type == ParamType::Matrix)
        p.value[0] = p.value[5] = p.value[10] = p.value[15] = 1.0f;
    size_t at = 3;
    if (!TextureOptions(line, p, t, &at))
        return;
    if (at < t.size())
        ParamValues(line, p, t, at);
    m_file.parameters.push_back(p);
}

// "stage N", "filter F" and "address A" in any order, each at most once.
bool Parser::TextureOptions(int line, Parameter& p, const std::vector<std::string>& t, size_t* at)
{
    static const std::pair<const char*, Filter> kFilters[] = {{"linear", Filter::Linear}, {"point", Filter::Point}};
    static const std::pair<const char*, Address> kAddresses[] = {
        {"wrap", Address::Wrap}, {"clamp", Address::Clamp}, {"mirror", Address::Mirror}};
    bool seen[3] = {};
    while (*at < t.size() && t[*at] != "=") {
        const std::string& option = t[*at];
        const int which = option == "stage" ? 0 : option == "filter" ? 1 : option == "address" ? 2 : -1;
        if (which < 0)
            break;
        if (!p.IsTexture()) {
            Error(line, "only textures take a " + option);
            return false;
        }
        if (seen[which] || *at + 1 >= t.size()) {
            Error(line, "'" + option + "' needs one value, once");
            return false;
        }
        seen[which] = true;
        const std::string& value = t[*at + 1];
        bool known = false;
        if (which == 0) {
            float stage = -1;
            known = ParseFloat(value, &stage) && stage >= 0 && stage <= kMaxStage && stage == float(int(stage));
            if (!known) {
                Error(line, "stage must be a whole number from 0 to 7");
                return false;
            }
            p.stage = int(stage);
        }
        for (const auto& [word, filter] : kFilters)
            if (which == 1 && value == word) {
                p.filter = filter;
                known = true;
            }
        for (const auto& [word, address] : kAddresses)
            if (which == 2 && value == word) {
                p.address = address;
                known = true;
            }
        if (!known) {
            Error(line, "unknown " + option + " '" + value + "'");
            return false;
        }
        *at += 2;
    }
    return true;
}

void Parser::ParamValues(int line, Parameter& p, const std::vector<std::string>& t, size_t at)
{
    const size_t wanted = p.type == ParamType::Vector ? 4 : p.type == ParamType::Matrix ? 16 : 1;
    if (t[at] != "=" || p.IsTexture())
        return Error(line, "unexpected '" + t[at] + "' after parameter '" + p.name + "'");
    if (t.size() - at - 1 != wanted)
        return Error(line, "parameter '" + p.name + "' needs " + std::to_string(wanted) + " values");
    if (p.type == ParamType::Int) {
        char* end = nullptr;
        const long n = std::strtol(t[at + 1].c_str(), &end, 10);
        if (!end || *end != '\0' || end == t[at + 1].c_str() || n < INT32_MIN || n > INT32_MAX)
            return Error(line, "bad whole number '" + t[at + 1] + "'");
        p.integer = int(n);
        return;
    }
    for (size_t i = 0; i < wanted; ++i)
        if (!ParseFloat(t[at + 1 + i], &p.value[i]))
            return Error(line, "bad number '" + t[at + 1 + i] + "'");
}

void Parser::BlockStart(int line, const std::vector<std::string>& t, Block kind, bool pixel)
{
    const bool shader = kind == Block::Shader;
    if (t.size() != 2 || !ValidName(t[1]))
        Error(line, std::string("expected '") + t[0] + " <name>'");
    const std::string name = t.size() >= 2 ? t[1] : std::string();
    if (shader) {
        if (FindByName(m_file.shaders, name) >= 0)
            Error(line, "shader '" + name + "' defined twice");
        m_file.shaders.push_back(Shader{name, pixel, {}});
    } else {
        if (FindByName(m_file.techniques, name) >= 0)
            Error(line, "technique '" + name + "' defined twice");
        m_file.techniques.push_back(Technique{name, {}});
    }
    m_block = kind;
    m_blockLine = line;
}

void Parser::PassLine(int line, const std::vector<std::string>& t)
{
    Technique& technique = m_file.techniques.back();
    if (t.size() != 4 || !ValidName(t[1]))
        return Error(line, "expected 'pass <name> <vertexshader or -> <pixelshader or ->'");
    if (technique.passes.size() >= kMaxPasses)
        return Error(line, "technique '" + technique.name + "' has more than 16 passes");
    technique.passes.push_back(Pass{t[1], -1, -1});
    m_refs.push_back(ShaderRef{m_file.techniques.size() - 1, technique.passes.size() - 1, t[2], t[3], line});
}

int Parser::ShaderIndex(const ShaderRef& ref, const std::string& name, bool pixel)
{
    if (name == "-")
        return -1;
    const int index = FindByName(m_file.shaders, name);
    if (index < 0)
        Error(ref.line, "unknown shader '" + name + "'");
    else if (m_file.shaders[index].pixel != pixel)
        Error(ref.line, "shader '" + name + "' is not a " + (pixel ? "pixel" : "vertex") + " shader");
    return index;
}

void Parser::ResolveShaders()
{
    for (const ShaderRef& ref : m_refs) {
        Pass& pass = m_file.techniques[ref.technique].passes[ref.pass];
        pass.vertexShader = ShaderIndex(ref, ref.vertex, false);
        pass.pixelShader = ShaderIndex(ref, ref.pixel, true);
    }
}

bool Parser::Finish(int lastLine, EffectFile* out, std::string* errors)
{
    if (m_block != Block::None)
        Error(m_blockLine, "block not closed by 'end'");
    if (m_file.techniques.empty())
        Error(lastLine, "no technique defined");
    ResolveShaders();
    if (m_errorCount > kMaxErrors)
        m_errors += std::to_string(m_errorCount - kMaxErrors) + " more errors\n";
    *errors = m_errors;
    if (m_errorCount > 0)
        return false;
    *out = std::move(m_file);
    return true;
}

} // namespace

bool ParseEffectFile(const char* text, size_t length, EffectFile* out, std::string* errors)
{
    Parser parser;
    const std::string_view all(text, text ? length : 0);
    int number = 0;
    size_t start = 0;
    while (start < all.size()) {
        size_t end = all.find('\n', start);
        if (end == std::string_view::npos)
            end = all.size();
        parser.Line(++number, all.substr(start, end - start));
        start = end + 1;
    }
    return parser.Finish(number, out, errors);
}

} // namespace plat::fx
