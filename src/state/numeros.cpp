// A regra dos números escritos por pessoas, a mesma no arquivo de entrada e na linha de comando.
#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "state/numeros.h"

texto_de_numero separar_numero(const std::string& texto) {
    std::size_t i = texto.find_first_not_of(" \t");
    if (i == std::string::npos) i = texto.size();
    const std::size_t fim = texto.find_first_of(" \t,/", i);
    if (fim == std::string::npos) return {texto.substr(i), {}};
    return {texto.substr(i, fim - i), texto.substr(fim)};
}

leitura_numero ler_inteiro_decimal(const std::string& s, int& v) {
    constexpr std::int64_t maximo = 2147483647;
    std::size_t i = 0;
    const bool negativo = !s.empty() && s[0] == '-';
    if (!s.empty() && (s[0] == '+' || s[0] == '-')) ++i;
    if (i == s.size()) return leitura_numero::sintaxe;
    std::int64_t x = 0;
    bool grande = false;
    for (; i < s.size(); ++i) {
        if (s[i] < '0' || s[i] > '9') return leitura_numero::sintaxe;
        if (!grande) x = x * 10 + (s[i] - '0');
        if (x > maximo + 1) grande = true;
    }
    if (grande || x > maximo + (negativo ? 1 : 0)) return leitura_numero::faixa;
    v = static_cast<int>(negativo ? -x : x);
    return leitura_numero::certo;
}

leitura_numero ler_real_decimal(const std::string& s, double& v) {
    std::string c = s;
    std::size_t i = 0, digitos = 0;
    if (i < c.size() && (c[i] == '+' || c[i] == '-')) ++i;
    while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++digitos;
    if (i < c.size() && c[i] == '.') {
        ++i;
        while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++digitos;
    }
    bool valido = digitos > 0;
    if (valido && i < c.size()) {
        if (c[i] == 'E' || c[i] == 'e' || c[i] == 'D' || c[i] == 'd') {
            c[i++] = 'e';
            if (i < c.size() && (c[i] == '+' || c[i] == '-')) ++i;
            std::size_t expo = 0;
            while (i < c.size() && c[i] >= '0' && c[i] <= '9') ++i, ++expo;
            valido = expo > 0 && i == c.size();
        } else {
            valido = false;
        }
    }
    if (!valido) return leitura_numero::sintaxe;
    const double x = std::strtod(c.c_str(), nullptr);
    if (!std::isfinite(x)) return leitura_numero::faixa;
    v = x;
    return leitura_numero::certo;
}
