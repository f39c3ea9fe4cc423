// O cabeçalho de um arquivo .npy: a magia, a versão e o dicionário literal do Python com descr, fortran_order e
// shape, conferidos um a um contra o que um campo do placa é (float64 little-endian, ordem C, duas dimensões).
#include <cctype>
#include <cstdint>

#include "run/reinicio.h"

namespace {

// Leitor do dicionário: posição e texto; cada leitura pula os brancos antes.
struct leitor_dicionario {
    const std::string& s;
    std::size_t p = 0;
    void brancos() {
        while (p < s.size() && std::isspace(static_cast<unsigned char>(s[p]))) ++p;
    }
    bool ler(char c) {
        brancos();
        if (p < s.size() && s[p] == c) {
            ++p;
            return true;
        }
        return false;
    }
    // Um texto entre aspas simples ou duplas (sem escapes: os do numpy não os têm).
    bool texto(std::string& r) {
        brancos();
        if (p >= s.size() || (s[p] != '\'' && s[p] != '"')) return false;
        const char aspa = s[p];
        const std::size_t fim = s.find(aspa, p + 1);
        if (fim == std::string::npos) return false;
        r = s.substr(p + 1, fim - p - 1);
        p = fim + 1;
        return true;
    }
    // Uma palavra (True, False) ou um inteiro.
    std::string palavra() {
        brancos();
        const std::size_t a = p;
        while (p < s.size() && (std::isalnum(static_cast<unsigned char>(s[p])) || s[p] == '_')) ++p;
        return s.substr(a, p - a);
    }
};

bool inteiro(const std::string& t, long long& v) {
    if (t.empty() || t.size() > 15) return false;
    v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return false;
        v = v * 10 + (c - '0');
    }
    return true;
}

// A forma "(a, b)" (ou com vírgula final); as dimensões lidas em `dims`.
std::string ler_forma(leitor_dicionario& l, std::vector<long long>& dims) {
    if (!l.ler('(')) return "'shape' is not a tuple";
    while (!l.ler(')')) {
        long long v = 0;
        if (!inteiro(l.palavra(), v)) return "'shape' holds something that is not a whole number";
        dims.push_back(v);
        if (!l.ler(',') && !(l.brancos(), l.p < l.s.size() && l.s[l.p] == ')')) return "'shape' is not a tuple";
    }
    return {};
}

// O dicionário inteiro; vazio quando serve.
std::string ler_dicionario(const std::string& d, cabecalho_npy_lido& c) {
    leitor_dicionario l{d, 0};
    if (!l.ler('{')) return "the header is not a dictionary";
    std::string descr, ordem;
    std::vector<long long> dims;
    bool tem_descr = false, tem_ordem = false, tem_forma = false;
    while (!l.ler('}')) {
        std::string chave;
        if (!l.texto(chave) || !l.ler(':')) return "the header is not a dictionary";
        if (chave == "descr") {
            if (!l.texto(descr)) return "'descr' is not a text";
            tem_descr = true;
        } else if (chave == "fortran_order") {
            ordem = l.palavra();
            tem_ordem = true;
        } else if (chave == "shape") {
            if (std::string erro = ler_forma(l, dims); !erro.empty()) return erro;
            tem_forma = true;
        } else {
            return "the header has the unknown key '" + chave + "'";
        }
        if (!l.ler(',') && !(l.brancos(), l.p < d.size() && d[l.p] == '}')) return "the header is not a dictionary";
    }
    if (!tem_descr || !tem_ordem || !tem_forma) return "the header lacks 'descr', 'fortran_order' or 'shape'";
    if (descr != "<f8")
        return "its values are '" + descr + "', not float64 little-endian ('<f8'); convert with "
               "a.astype('<f8')";
    if (ordem != "False")
        return ordem == "True" ? "it is in Fortran order; save np.ascontiguousarray(a)"
                               : "'fortran_order' is neither True nor False";
    if (dims.size() != 2) return "it has " + std::to_string(dims.size()) + " dimensions, not 2 (ny, nx)";
    c.ny = dims[0];
    c.nx = dims[1];
    return {};
}

} // namespace

std::string ler_cabecalho_npy(const std::string& bytes, cabecalho_npy_lido& c) {
    if (bytes.size() < 10 || bytes.compare(0, 6, "\x93NUMPY") != 0)
        return "it is not a NumPy .npy file (no \\x93NUMPY at its start)";
    const int maior = static_cast<unsigned char>(bytes[6]), menor = static_cast<unsigned char>(bytes[7]);
    if ((maior != 1 && maior != 2 && maior != 3) || menor != 0)
        return "its .npy format version " + std::to_string(maior) + "." + std::to_string(menor) +
               " is not 1.0, 2.0 or 3.0";
    const auto byte = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(bytes[i])); };
    const std::size_t fixo = maior == 1 ? 10 : 12;
    if (bytes.size() < fixo) return "it is truncated inside its header";
    const std::size_t tamanho =
        maior == 1 ? byte(8) | byte(9) << 8 : byte(8) | byte(9) << 8 | byte(10) << 16 | byte(11) << 24;
    if (bytes.size() < fixo + tamanho) return "it is truncated inside its header";
    if (std::string erro = ler_dicionario(bytes.substr(fixo, tamanho), c); !erro.empty()) return erro;
    c.inicio = fixo + tamanho;
    if (c.ny < 1 || c.nx < 1) return "its shape is empty";
    if (c.ny > (1LL << 31) || c.nx > (1LL << 31)) return "its shape is larger than any grid";
    const std::uint64_t dados = bytes.size() - c.inicio;
    const std::uint64_t esperados = static_cast<std::uint64_t>(c.ny) * static_cast<std::uint64_t>(c.nx) * 8;
    if (dados < esperados)
        return "it is truncated: " + std::to_string(dados) + " bytes of values where its shape (" +
               std::to_string(c.ny) + ", " + std::to_string(c.nx) + ") needs " + std::to_string(esperados);
    if (dados > esperados)
        return "it has " + std::to_string(dados - esperados) + " bytes after the values its shape (" +
               std::to_string(c.ny) + ", " + std::to_string(c.nx) + ") holds";
    return {};
}
