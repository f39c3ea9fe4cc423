// Campos de largura fixa da listagem: inteiro, científico, fixo e texto, sobre o valor binário exato.
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "report/listagem.h"

namespace {

std::string alinhar(const std::string& s, int w) {
    if (static_cast<int>(s.size()) > w) return std::string(w, '*');
    return std::string(w - s.size(), ' ') + s;
}

} // namespace

std::string inteiro(long v, int w) { return alinhar(std::to_string(v), w); }

std::string cientifico(double v, int w, int d) {
    if (std::isnan(v)) return (" NaN" + std::string(w > 4 ? w - 4 : 0, ' ')).substr(0, w);
    if (std::isinf(v)) {
        const std::string p = v < 0 ? " -Infinity" : " Infinity";
        return (p + std::string(w > static_cast<int>(p.size()) ? w - p.size() : 0, ' ')).substr(0, w);
    }
    if (v == 0.0) v = 0.0; // zero negativo sai sem sinal
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*e", d, v);
    std::string s(buf);
    const std::size_t pe = s.find('e');
    const std::string mant = s.substr(0, pe);
    const int x = std::atoi(s.c_str() + pe + 1);
    const int ax = std::abs(x);
    char ex[16];
    if (ax <= 99)
        std::snprintf(ex, sizeof ex, "E%c%02d", x < 0 ? '-' : '+', ax);
    else if (ax <= 999)
        std::snprintf(ex, sizeof ex, "%c%03d", x < 0 ? '-' : '+', ax);
    else
        return std::string(w, '*');
    return alinhar(mant + ex, w);
}

std::string fixo(double v, int w, int d) {
    if (!std::isfinite(v)) return std::string(w, '*');
    char buf[512];
    std::snprintf(buf, sizeof buf, "%.*f", d, std::fabs(v));
    std::string s(buf);
    if (std::signbit(v) && v != 0.0) s = "-" + s;
    return alinhar(s, w);
}

std::string sem_brancos_finais(std::string s) {
    s.erase(s.find_last_not_of(' ') + 1);
    return s;
}

std::string texto_simples(const std::string& s) {
    const std::size_t a = s.find_first_not_of(' ');
    if (a == std::string::npos) return "";
    const std::size_t b = s.find_last_not_of(' ');
    return s.substr(a, b - a + 1);
}
