// Valores da entrada pelas regras da leitura (inteiro de 32 bits, real com E ou D, texto cortado em n caracteres),
// sem o arquivo: a leitura e a opção --set convertem e conferem do mesmo modo.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "report/listagem.h"
#include "run/leitor.h"
#include "state/numeros.h"

namespace {

constexpr std::int64_t max_int32 = 2147483647;

// Os primeiros n caracteres de s (UTF-8 válido: pontos de código; senão, bytes).
std::string primeiros(const std::string& s, std::size_t n) {
    std::size_t i = 0;
    for (std::size_t k = 0; k < n && i < s.size(); ++k) {
        unsigned v = 0;
        const int m = static_cast<unsigned char>(s[i]) < 0x80 ? 1 : sequencia_utf8(s, i, v);
        if (m == 0) return s.substr(0, n); // não é UTF-8
        i += static_cast<std::size_t>(m);
    }
    return s.substr(0, i);
}

} // namespace

falha_valor converter_inteiro(const std::string& s, const char* nome, int& v) {
    switch (ler_inteiro_decimal(s, v)) {
    case leitura_numero::certo: return {};
    case leitura_numero::faixa:
        return {"value out of range",
                std::string(nome) + " = " + mostrar(s) + " does not fit a 32-bit integer (-2147483648 to 2147483647)"};
    case leitura_numero::sintaxe: break;
    }
    return {"list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not an integer"};
}

// Real: sinal opcional, dígitos com ponto opcional, expoente opcional com E ou D.
falha_valor converter_real(const std::string& s, const char* nome, double& v) {
    switch (ler_real_decimal(s, v)) {
    case leitura_numero::certo: return {};
    case leitura_numero::faixa:
        return {"value out of range", std::string(nome) + " = " + mostrar(s) + " is beyond the largest double"};
    case leitura_numero::sintaxe: break;
    }
    return {"list-directed input syntax error", std::string(nome) + " = \"" + mostrar(s) + "\" is not a real number"};
}

// Um texto escrito em UTF-8 (um editor de hoje) vira Latin-1; `bruto` vem lido até 4 bytes por caractere, para que
// o corte em n conte caracteres e não bytes.
std::string converter_texto(const std::string& bruto, std::size_t n, valor_lido& r, std::string* escrito) {
    if (escrito) *escrito = sem_brancos_finais(primeiros(bruto, n));
    std::string v = latin1_de(bruto, &r.perdidos);
    if (v.size() > n) {
        v.resize(n);
        r.cortado = true;
    }
    r.usado = v;
    v.resize(n, ' ');
    return v;
}

std::string excesso_de_tamanho(int nm, int nx1, int ny1) {
    std::int64_t total = 0;
    for (int k = 1; k <= nm; ++k) {
        const std::int64_t nx = (static_cast<std::int64_t>(nx1) - 1) * (std::int64_t{1} << (k - 1)) + 1;
        const std::int64_t ny = (static_cast<std::int64_t>(ny1) - 1) * (std::int64_t{1} << (k - 1)) + 1;
        if (nx > max_int32) return "nxg(" + std::to_string(k) + ") = " + std::to_string(nx);
        if (ny > max_int32) return "nyg(" + std::to_string(k) + ") = " + std::to_string(ny);
        if (nx * ny > max_int32) return "nxyg(" + std::to_string(k) + ") = " + std::to_string(nx * ny);
        if ((total += nx * ny) > max_int32) return "nxyt = " + std::to_string(total);
    }
    return {};
}
