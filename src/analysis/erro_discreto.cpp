// Divisão do erro de T: algébrico (contra a solução exata das equações discretas) e de discretização.
#include <cmath>
#include <numbers>
#include <limits>

#include "analysis/analise.h"

// Solução exata das equações de cinco pontos com os valores de contorno que contornos escreve.
// Linear: x*y, pois as segundas diferenças de x*y são nulas nas duas direções.
// Senoidal: u(i,j) = sin(pi x_i) g(y_j). Como sin(pi x_{i-1}) + sin(pi x_{i+1}) = 2 cos(pi dx) sin(pi x_i),
// a equação ap u = ae (W + E) + an (S + N) no ponto (i,j) fica
//     2 (ae + an) g_j = 2 ae cos(pi dx) g_j + an (g_{j-1} + g_{j+1}),
// isto é, g_{j-1} + g_{j+1} = 2 c g_j com c = 1 + (ae/an)(1 - cos(pi dx)) >= 1, cujas soluções são
// cosh(m y_j) e sinh(m y_j) com cosh(m dy) = c. g(0) = 0 e g(1) = 1 (contornos sul e norte) dão
// g(y) = sinh(m y)/sinh(m). Vale para dx != dy e qualquer eps: só a razão ae/an = eps (dy/dx)^2 entra.
// sin:KX:KY: s(i,j) = sin(kx x_i) sin(ky y_j) é autovetor do operador de cinco pontos com autovalor
// lambda = 4 ae sin^2(kx dx/2) + 4 an sin^2(ky dy/2) e some no contorno; a fonte é c s, então u = (c/lambda) s.

namespace {

using std::numbers::pi;

// Valor discreto no ponto (i, j): no contorno, o de contornos; no interior, a solução acima.
double valor_discreto(const solucao_discreta& s, int i, int j) {
    const double x = static_cast<double>(i - 1) * s.dx;
    const bool linear = s.tipo == tipo_problema::linear, senos = s.tipo == tipo_problema::senos;
    if (i == 1) return 0.0;
    if (i == s.nx) return linear ? static_cast<double>(j - 1) * s.dy : 0.0;
    if (j == 1) return 0.0;
    if (j == s.ny) return linear ? x : senos ? 0.0 : std::sin(x * pi);
    if (senos) return s.amplitude * (s.fx[i] * s.gy[j]);
    return linear ? (static_cast<double>(j - 1) * s.dy) * x : s.fx[i] * s.gy[j];
}

double valor_exato(const solucao_discreta& s, int i, int j) { return s.exata.combinar(s.fx[i], s.hy[j]); }

void acumular(double d, double& maximo, double& soma) {
    if (!(d <= maximo)) maximo = d; // um NaN fica no máximo
    soma += d;
}

enum class partes { algebrico, ambos };

erro_dividido medir(const solucao_discreta& s, std::span<const double> T, partes quais) {
    erro_dividido r;
    const long n = static_cast<long>(s.nx) * s.ny;
    if (!s.existe || n <= 0 || static_cast<long>(T.size()) < n + 1) {
        const double nan_ = std::numeric_limits<double>::quiet_NaN();
        return {nan_, nan_, nan_, nan_};
    }
    const bool com_discretizacao = quais == partes::ambos;
    double soma_a = 0.0, soma_d = 0.0;
    for (int j = 1; j <= s.ny; ++j)
        for (int i = 1; i <= s.nx; ++i) {
            const double td = valor_discreto(s, i, j);
            acumular(std::fabs(T[i + (j - 1L) * s.nx] - td), r.algebrico_max, soma_a);
            if (com_discretizacao) acumular(std::fabs(td - valor_exato(s, i, j)), r.discretizacao_max, soma_d);
        }
    r.algebrico_medio = soma_a / static_cast<double>(n);
    r.discretizacao_medio = soma_d / static_cast<double>(n);
    if (!com_discretizacao) r.discretizacao_max = r.discretizacao_medio = std::numeric_limits<double>::quiet_NaN();
    return r;
}

} // namespace

// acosh(1 + d) = ln(1 + d + sqrt(d (2 + d))), por log1p; 1 - cos(pi dx) = 2 sin^2(pi dx / 2).
double expoente_discreto(double dx, double dy, double eps) {
    const double ae = eps * (1.0 / (dx * dx)), an = 1.0 / (dy * dy);
    const double s = std::sin(0.5 * pi * dx);
    const double d = (ae / an) * (2.0 * (s * s));
    return std::log1p(d + std::sqrt(d * (2.0 + d))) / dy;
}

// sinh(m y)/sinh(m) = exp(m (y - 1)) (1 - exp(-2 m y)) / (1 - exp(-2 m)), com expm1 (y pequeno).
double razao_sinh(double m, double y) {
    if (!(m > 0.0)) return y; // limite m -> 0
    return std::exp(m * (y - 1.0)) * (std::expm1(-2.0 * m * y) / std::expm1(-2.0 * m));
}

solucao_discreta preparar_solucao_discreta(const metodo_efetivo& m, int nx, int ny) {
    solucao_discreta s;
    s.nx = nx;
    s.ny = ny;
    s.existe = m.solucao_exata;
    if (!s.existe) return s;
    s.tipo = m.problema.tipo;
    s.exata = solucao_exata_de(m);
    s.dx = 1.0 / static_cast<double>(nx - 1);
    s.dy = 1.0 / static_cast<double>(ny - 1);
    s.fx.assign(static_cast<std::size_t>(nx > 0 ? nx : 0) + 1, 0.0);
    s.gy.assign(static_cast<std::size_t>(ny > 0 ? ny : 0) + 1, 0.0);
    s.hy.assign(s.gy.size(), 0.0);
    // os fatores da solução exata por coluna (fx) e por linha (hy), como solucao_analitica os calcula
    for (int i = 1; i <= nx; ++i) s.fx[i] = s.exata.fator_x(static_cast<double>(i - 1) * s.dx);
    for (int j = 1; j <= ny; ++j) s.hy[j] = s.exata.fator_y(static_cast<double>(j - 1) * s.dy);
    if (s.tipo == tipo_problema::senoidal) {
        s.m = expoente_discreto(s.dx, s.dy, m.eps);
        for (int j = 1; j <= ny; ++j) s.gy[j] = razao_sinh(s.m, static_cast<double>(j - 1) * s.dy);
    } else if (s.tipo == tipo_problema::senos) {
        const double ae = m.eps * (1.0 / (s.dx * s.dx)), an = 1.0 / (s.dy * s.dy);
        const double sx = std::sin(0.5 * (s.exata.kx * s.dx)), sy = std::sin(0.5 * (s.exata.ky * s.dy));
        const double lambda = 4.0 * ae * (sx * sx) + 4.0 * an * (sy * sy);
        const double c = m.eps * (s.exata.kx * s.exata.kx) + s.exata.ky * s.exata.ky;
        s.amplitude = c / lambda;
        s.gy = s.hy;
    }
    return s;
}

erro_dividido erro_algebrico(const solucao_discreta& s, std::span<const double> T) { return medir(s, T, partes::algebrico); }

erro_dividido dividir_erro(const solucao_discreta& s, std::span<const double> T) { return medir(s, T, partes::ambos); }

std::vector<double> campo_erro_algebrico(const solucao_discreta& s, std::span<const double> T) {
    const long n = static_cast<long>(s.nx) * s.ny;
    std::vector<double> r(static_cast<std::size_t>(n > 0 ? n : 0) + 1, std::numeric_limits<double>::quiet_NaN());
    if (!s.existe || static_cast<long>(T.size()) < n + 1) return r;
    for (int j = 1; j <= s.ny; ++j)
        for (int i = 1; i <= s.nx; ++i) {
            const long P = i + (j - 1L) * s.nx;
            r[static_cast<std::size_t>(P)] = T[static_cast<std::size_t>(P)] - valor_discreto(s, i, j);
        }
    return r;
}
