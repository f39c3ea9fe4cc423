// Os tijolos do JSON: textos escapados (sempre UTF-8 válido), números exatos (a forma mais curta que relê o mesmo
// double; null quando não é finito) e o valor de uma coluna do resumo pelo seu tipo.
#include <cmath>
#include <cstdio>

#include "report/json.h"

namespace {

// Se `t` é um número na gramática do JSON: -?(0|[1-9][0-9]*)(\.[0-9]+)?([eE][+-]?[0-9]+)?
bool numero_valido(std::string_view t) {
    std::size_t i = 0;
    const auto digitos = [&] {
        const std::size_t a = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') ++i;
        return i - a;
    };
    if (i < t.size() && t[i] == '-') ++i;
    if (i < t.size() && t[i] == '0') ++i;
    else if (i >= t.size() || digitos() == 0) return false;
    if (i < t.size() && t[i] == '.' && (++i, digitos() == 0)) return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-')) ++i;
        if (digitos() == 0) return false;
    }
    return i == t.size();
}

} // namespace

std::string texto_json(const std::string& s) {
    std::string r = "\"";
    for (std::size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        unsigned ponto = 0;
        if (c >= 0x80) { // uma sequência UTF-8 válida passa como está; um byte solto vira U+FFFD
            const int n = sequencia_utf8(s, i, ponto);
            r += n > 0 ? s.substr(i, static_cast<std::size_t>(n)) : std::string("\xEF\xBF\xBD");
            i += n > 0 ? static_cast<std::size_t>(n) : 1;
            continue;
        }
        if (c == '"' || c == '\\') r += std::string("\\") + static_cast<char>(c);
        else if (c == '\n') r += "\\n";
        else if (c == '\r') r += "\\r";
        else if (c == '\t') r += "\\t";
        else if (c < 0x20 || c == 0x7F) {
            char b[8];
            std::snprintf(b, sizeof b, "\\u%04x", c);
            r += b;
        } else r += static_cast<char>(c);
        ++i;
    }
    return r + "\"";
}

std::string numero_json(double v) { return std::isfinite(v) ? numero_csv(v) : std::string("null"); }

std::string valor_json(tipo_coluna tipo, const std::string& valor) {
    if (valor.empty()) return "null"; // não se aplica, ou não é finito
    switch (tipo) {
    case tipo_coluna::inteiro:
    case tipo_coluna::real: return numero_valido(valor) ? valor : std::string("null");
    case tipo_coluna::numero_ou_texto: return numero_valido(valor) ? valor : texto_json(valor);
    case tipo_coluna::texto: break;
    }
    return texto_json(valor);
}
