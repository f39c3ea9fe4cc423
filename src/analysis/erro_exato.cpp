// O campo final contra a solução exata do problema: erro máximo e médio, e uma amostra do campo e do erro para
// os gráficos. A solução exata é calculada ponto a ponto como em solucao_analitica (nenhum campo auxiliar).
#include <cmath>

#include "analysis/analise.h"
#include "solver/solver.h"

namespace {

constexpr double pi = 3.141592653589793;
constexpr double inv_sinh_pi = 0.08658953753004696;

// Solução exata em (x, y), com sinh(pi y) já calculado.
double exata(int problema, double x, double y, double sinh_y) {
    return problema == 1 ? y * x : (std::sin(x * pi) * sinh_y) * inv_sinh_pi;
}

// Índices 1, 1+s, 1+2s, ... e sempre o último, n.
std::vector<int> indices(int n, int s) {
    std::vector<int> v;
    for (int i = 1; i <= n; i += s) v.push_back(i);
    if (v.empty() || v.back() != n) v.push_back(n);
    return v;
}

} // namespace

erro_exato calcular_erro_exato(const estado_execucao& e) {
    const int nx = e.nxk, ny = e.nyk;
    const double dx = e.dx, dy = e.dy;
    erro_exato r;
    double soma = 0.0;
    for (int j = 1; j <= ny; ++j) {
        const double y = static_cast<double>(j - 1) * dy;
        const double sy = std::sinh(y * pi);
        for (int i = 1; i <= nx; ++i) {
            const double x = static_cast<double>(i - 1) * dx;
            const double d = std::fabs(e.T[i + (j - 1L) * nx] - exata(e.problema, x, y, sy));
            if (!(d <= r.maximo)) r.maximo = d; // um NaN fica no máximo
            soma += d;
        }
    }
    const double n = static_cast<double>(nx) * static_cast<double>(ny);
    r.medio = n > 0 ? soma / n : 0.0;
    return r;
}

amostra_campo amostrar_campo(const estado_execucao& e, int lado) {
    const int maior = e.nxk > e.nyk ? e.nxk : e.nyk;
    const int passo = maior > lado ? (maior - 1 + lado - 2) / (lado - 1) : 1;
    amostra_campo a;
    const std::vector<int> is = indices(e.nxk, passo), js = indices(e.nyk, passo);
    for (int i : is) a.x.push_back(static_cast<double>(i - 1) * e.dx);
    for (int j : js) a.y.push_back(static_cast<double>(j - 1) * e.dy);
    for (std::size_t b = 0; b < js.size(); ++b) {
        const double sy = std::sinh(a.y[b] * pi);
        for (std::size_t c = 0; c < is.size(); ++c) {
            const double t = e.T[is[c] + (js[b] - 1L) * e.nxk];
            a.T.push_back(t);
            a.erro.push_back(std::fabs(t - exata(e.problema, a.x[c], a.y[b], sy)));
        }
    }
    return a;
}
