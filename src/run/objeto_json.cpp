// Um objeto JSON de um nível, como a descrição de um campo (FILE.npy.json): chaves e valores simples ou listas de
// valores simples, lidos sem biblioteca; o que não for isso é recusado com o porquê.
#include <cctype>

#include "run/reinicio.h"

namespace {

struct leitor_json {
    const std::string& s;
    std::size_t p = 0;
    std::string erro;

    void brancos() {
        while (p < s.size() && (s[p] == ' ' || s[p] == '\t' || s[p] == '\n' || s[p] == '\r')) ++p;
    }
    bool ler(char c) {
        brancos();
        if (p < s.size() && s[p] == c) return ++p, true;
        return false;
    }
    bool falhar(const std::string& porque) {
        if (erro.empty()) erro = porque + " (byte " + std::to_string(p + 1) + ")";
        return false;
    }
    // Um texto entre aspas, com os escapes do JSON (\uXXXX em UTF-8, sem pares de substitutos).
    bool texto(std::string& r) {
        if (!ler('"')) return falhar("a text was expected");
        r.clear();
        while (p < s.size() && s[p] != '"') {
            const unsigned char c = static_cast<unsigned char>(s[p++]);
            if (c < 32) return falhar("a control character inside a text");
            if (c != '\\') {
                r += static_cast<char>(c);
                continue;
            }
            if (p >= s.size()) break;
            const char e = s[p++];
            const std::string simples = "\"\\/bfnrt", valores = "\"\\/\b\f\n\r\t";
            if (const std::size_t k = simples.find(e); k != std::string::npos) {
                r += valores[k];
            } else if (e == 'u' && p + 4 <= s.size()) {
                unsigned u = 0;
                for (int i = 0; i < 4; ++i) {
                    const char h = s[p++];
                    if (!std::isxdigit(static_cast<unsigned char>(h))) return falhar("a bad \\u escape");
                    u = u * 16 + static_cast<unsigned>(std::isdigit(static_cast<unsigned char>(h)) ? h - '0' : (h | 32) - 'a' + 10);
                }
                if (u < 0x80) r += static_cast<char>(u);
                else if (u < 0x800) r += {static_cast<char>(0xc0 | u >> 6), static_cast<char>(0x80 | (u & 0x3f))};
                else r += {static_cast<char>(0xe0 | u >> 12), static_cast<char>(0x80 | ((u >> 6) & 0x3f)),
                           static_cast<char>(0x80 | (u & 0x3f))};
            } else {
                return falhar("a bad escape in a text");
            }
        }
        if (!ler('"')) return falhar("a text is not closed");
        return true;
    }
    // Um valor simples: texto, número ou palavra.
    bool simples(valor_objeto_json& v) {
        brancos();
        if (p < s.size() && s[p] == '"') return v.qual = valor_objeto_json::tipo::texto, texto(v.texto);
        const std::size_t a = p;
        while (p < s.size() && (std::isalnum(static_cast<unsigned char>(s[p])) || s[p] == '-' || s[p] == '+' || s[p] == '.'))
            ++p;
        v.texto = s.substr(a, p - a);
        if (v.texto == "true" || v.texto == "false" || v.texto == "null")
            return v.qual = valor_objeto_json::tipo::outro, true;
        if (v.texto.empty() || !(std::isdigit(static_cast<unsigned char>(v.texto[0])) || v.texto[0] == '-'))
            return falhar("a value was expected");
        v.qual = valor_objeto_json::tipo::numero;
        return true;
    }
    bool valor(valor_objeto_json& v) {
        if (!ler('[')) return simples(v);
        v.qual = valor_objeto_json::tipo::lista;
        if (ler(']')) return true;
        do {
            valor_objeto_json item;
            if (!simples(item)) return false;
            v.itens.push_back(item.texto);
        } while (ler(','));
        return ler(']') || falhar("a list is not closed");
    }
};

} // namespace

std::string ler_objeto_json(const std::string& texto, std::map<std::string, valor_objeto_json>& objeto) {
    leitor_json l{texto, 0, {}};
    if (!l.ler('{')) return "it is not a JSON object";
    if (!l.ler('}')) {
        do {
            std::string chave;
            valor_objeto_json v;
            if (!l.texto(chave)) return l.erro;
            if (!l.ler(':')) return l.falhar("':' was expected"), l.erro;
            if (!l.valor(v)) return l.erro;
            objeto[chave] = v;
        } while (l.ler(','));
        if (!l.ler('}')) return l.falhar("',' or '}' was expected"), l.erro;
    }
    l.brancos();
    if (l.p != texto.size()) return l.falhar("something follows the object"), l.erro;
    return {};
}
